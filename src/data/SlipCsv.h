#pragma once
#include "Connection.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

class QIODevice;

// The cheque lines of a date range as CSV, for spreadsheets and other
// programs: UTF-8 (with a byte order mark, so spreadsheets take it as UTF-8),
// a header row, one row per cheque line with its slip's fields, fields quoted
// as RFC 4180 has it, rows ended by CR LF. Amounts have two decimals and a
// dot, dates are ISO (yyyy-MM-dd). The slip list's "Export" and
// `cheqora-db export` write the same file.
namespace SlipCsv {

extern const QStringList kHeader;
// What is read: the lines of the slips dated between two ISO dates, with their slip's fields.
extern const char* const kLinesSql;

// One field: in double quotes, with its quotes doubled, when it holds a
// comma, a quote, a line break or blanks at either end; as it is otherwise.
QString field(const QString& text);

// Told how many slips are written so far; returning false cancels.
using Progress = std::function<bool(int slipsWritten)>;

struct Written {
    int slips = 0;
    int lines = 0;
    bool cancelled = false;
};

// Writes the lines of the slips dated from..to (both days included), slip by
// slip in key order and each slip's lines in the order they were stored, as
// the slip list lists them. Throws DbError.
Written write(const Connection& connection, const QDate& from, const QDate& to, QIODevice& out,
              const Progress& progress = {});

// The same into the file at path, which appears only when complete: a
// failure or a cancel leaves whatever was at path untouched. Throws DbError,
// also when the file cannot be written.
Written writeFile(const Connection& connection, const QDate& from, const QDate& to, const QString& path,
                  const Progress& progress = {});

} // namespace SlipCsv
