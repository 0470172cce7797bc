#include "PathFile.h"
#include "TestEnv.h"
#include "modData.h"

#include <QDir>
#include <QTest>

class TestPathFile : public QObject {
    Q_OBJECT
private slots:
    void lastItem_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one line with break")
            << QByteArray("/srv/data/slips.mdb\r\n") << "/srv/data/slips.mdb";
        QTest::newRow("one line without break") << QByteArray("/srv/data/slips.mdb") << "/srv/data/slips.mdb";
        QTest::newRow("LF only") << QByteArray("/a/b.mdb\n") << "/a/b.mdb";
        QTest::newRow("CR only") << QByteArray("/a/b.mdb\r") << "/a/b.mdb";
        QTest::newRow("blank inside kept") << QByteArray("/srv/My Data/x.mdb\r\n") << "/srv/My Data/x.mdb";
        QTest::newRow("leading blanks skipped") << QByteArray("   /a/b.mdb") << "/a/b.mdb";
        QTest::newRow("trailing blanks kept") << QByteArray("/a/b.mdb  ") << "/a/b.mdb  ";
        QTest::newRow("quoted") << QByteArray("\"/srv/My Data/x.mdb\"\r\n") << "/srv/My Data/x.mdb";
        QTest::newRow("quoted with comma") << QByteArray("\"/srv/a,b/x.mdb\"") << "/srv/a,b/x.mdb";
        QTest::newRow("two lines, second wins") << QByteArray("/one.mdb\r\n/two.mdb\r\n") << "/two.mdb";
        QTest::newRow("unquoted comma splits") << QByteArray("/srv/a,b/x.mdb") << "b/x.mdb";
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("empty line after path") << QByteArray("/a/b.mdb\r\n\r\n") << "";
        QTest::newRow("only a line break") << QByteArray("\r\n") << "";
        QTest::newRow("comma then line end") << QByteArray("/a.mdb,\r\n") << "";
        QTest::newRow("unterminated quote") << QByteArray("\"/a/b.mdb") << "/a/b.mdb";
        QTest::newRow("text after closing quote dropped") << QByteArray("\"/a.mdb\"xyz\r\n") << "/a.mdb";
        QTest::newRow("utf-8 path")
            << QByteArray("/srv/\xe0\xa4\xa1\xe0\xa5\x87\xe0\xa4\x9f\xe0\xa4\xbe/d.mdb")
            << QString::fromUtf8("/srv/\xe0\xa4\xa1\xe0\xa5\x87\xe0\xa4\x9f\xe0\xa4\xbe/d.mdb");
    }
    void lastItem() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, expected);
        QCOMPARE(lastPathItem(contents), expected);
    }

    void databasePathFromFolder() {
        TestEnv env;
        // No path.txt: data.mdb in the application folder.
        QCOMPARE(GetDatabasePath(), env.folder() + "/data.mdb");
        env.writePathFile("/elsewhere/slips.mdb\r\n");
        QCOMPARE(GetDatabasePath(), QString("/elsewhere/slips.mdb"));
        // A path.txt that cannot be read as a file gives empty text, never a failure.
        QFile::remove(env.folder() + "/path.txt");
        QVERIFY(QDir(env.folder()).mkdir("path.txt"));
        QCOMPARE(GetDatabasePath(), QString());
    }
};

QTEST_GUILESS_MAIN(TestPathFile)
#include "test_pathfile.moc"
