// lock_holder FILE MILLISECONDS: a second copy of the program at work on FILE.
// It opens a write transaction (Transaction, as every save does), stores a
// slip with one cheque line in it and prints "locked". With MILLISECONDS >= 0
// it commits after that long; with -1 it waits for a line on its input:
// "commit" or "rollback". It prints "released" once the lock is gone.
//
// lock_holder FILE --every MILLISECONDS: a copy at steady work instead. It
// stores such a slip in a transaction of its own every MILLISECONDS until it
// is killed, and prints "writing" after the first.
#include "DbError.h"
#include "Recordset.h"
#include "Transaction.h"
#include "modData.h"

#include <QCoreApplication>
#include <QDate>
#include <QThread>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void storeSlip(const std::shared_ptr<Connection>& connection) {
    Recordset rs;
    rs.Open(QStringLiteral("select * from tblslip where sid=1"), connection);
    rs.AddNew();
    rs.SetField(1, 900);
    rs.SetField(2, QStringLiteral("111"));
    rs.SetField(3, QStringLiteral("Other copy"));
    rs.SetField(5, QDate(2020, 1, 1));
    rs.SetField(7, QStringLiteral("lines=1"));
    rs.Update();
    const QVariant sid = rs.Fields(0);
    rs.Open(QStringLiteral("select * From tblslipDetails where sdid=1"), connection);
    rs.AddNew();
    rs.SetField(1, sid);
    rs.SetField(2, QStringLiteral("000900"));
    rs.SetField(6, 9.0);
    rs.Update();
}

[[noreturn]] void writeSteadily(const std::shared_ptr<Connection>& connection, unsigned long pause) {
    for (bool first = true;; first = false) {
        Transaction transaction(connection);
        storeSlip(connection);
        transaction.commit();
        if (first)
            say("writing");
        QThread::msleep(pause);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const bool steady = argc == 4 && qstrcmp(argv[2], "--every") == 0;
    if (argc != 3 && !steady) {
        std::fprintf(stderr,
                     "usage: lock_holder FILE MILLISECONDS | lock_holder FILE --every MILLISECONDS\n");
        return 2;
    }
    const int hold = QString::fromLocal8Bit(argv[argc - 1]).toInt();
    try {
        auto connection = Connection::create();
        connection->open(QString::fromLocal8Bit(argv[1]), kDatabasePassword);
        if (steady)
            writeSteadily(connection, static_cast<unsigned long>(hold));
        Transaction transaction(connection);
        storeSlip(connection);
        say("locked");
        std::string order = "commit";
        if (hold >= 0)
            QThread::msleep(static_cast<unsigned long>(hold));
        else
            std::getline(std::cin, order);
        if (order == "commit")
            transaction.commit();
    } catch (const DbError& error) {
        std::fprintf(stderr, "lock_holder: %s\n", error.what());
        return 1;
    }
    say("released");
    return 0;
}
