#pragma once
#include <QList>
#include <QString>

// Cheque lines whose slip does not exist: a save of an earlier version stored
// lines under the key of a slip another operator had deleted. No window shows
// them; these find them and give each old key a slip again.
namespace OrphanLines {

struct Group {
    qint64 oldKey = 0; // the slip key the lines carry
    int lines = 0;
};

// The lines grouped by the key they carry, by key. Throws DbError.
QList<Group> find(const QString& path, const QString& password);

struct Repair {
    Group group;
    qint64 newKey = 0;
    qint64 serialNumber = 0;
};

// In one transaction, a new slip per old key - dated today, the next serial
// number, a remark naming the old key - and the lines moved under it. Nothing
// is deleted. Throws DbError.
QList<Repair> repair(const QString& path, const QString& password);

} // namespace OrphanLines
