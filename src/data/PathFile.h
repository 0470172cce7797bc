#pragma once
#include <QByteArray>
#include <QString>

// Reads the items of a path.txt file and returns the last one.
// Items are separated by commas and line ends (CR, LF or CR LF); blanks before
// an item are skipped; a double-quoted item loses its quotes and may hold
// commas; an empty line is an empty item. An empty file gives empty text.
QString lastPathItem(const QByteArray& contents);
