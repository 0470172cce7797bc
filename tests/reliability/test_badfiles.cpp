#include "../report/ReportTestSupport.h"
#include "Operations.h"
#include "TemplateLoader.h"
#include "frmReport.h"

#include <QProcess>
#include <QtEndian>

using Operations::Kind;
using Operations::Operation;
using namespace SlipTesting;

namespace {

bool writable(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite);
}

// Makes a file read-only for as long as it lives, also for root (whom file
// permissions do not stop): then the file is made immutable.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path) : m_path(path), m_permissions(QFile::permissions(path)) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (writable(path))
            m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~ReadOnlyFile() {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        QFile::setPermissions(m_path, m_permissions);
    }
    bool holds() const { return !writable(m_path); }

private:
    QString m_path;
    QFile::Permissions m_permissions;
    bool m_immutable = false;
};

// A BMP header announcing a picture far beyond what a slip form needs.
QByteArray hugeBitmapHeader() {
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(54, bmp.data() + 10);   // pixel data offset
    qToLittleEndian<quint32>(40, bmp.data() + 14);   // info header size
    qToLittleEndian<qint32>(20000, bmp.data() + 18); // width
    qToLittleEndian<qint32>(100, bmp.data() + 22);   // height
    qToLittleEndian<quint16>(1, bmp.data() + 26);    // planes
    qToLittleEndian<quint16>(24, bmp.data() + 28);   // bits per pixel
    return bmp;
}

QByteArray templateWith(const std::function<void(QJsonObject&)>& change) {
    QJsonObject layout = ReportTest::slipTemplate({ReportTest::text(10, 10, QStringLiteral("Slip"))});
    change(layout);
    return QJsonDocument(layout).toJson(QJsonDocument::Compact);
}

} // namespace

class TestBadFiles : public QObject {
    Q_OBJECT
private slots:
    void aReadOnlyDatabaseRefusesEveryWriteClearly_data() { Operations::addRows(); }
    void aReadOnlyDatabaseRefusesEveryWriteClearly() {
        QFETCH(Kind, kind);
        TestEnv env;
        // Read-only before the program opens it, as it is found at start.
        std::unique_ptr<ReadOnlyFile> readOnly;
        Operation operation(env, kind,
                            [&] { readOnly = std::make_unique<ReadOnlyFile>(env.databasePath()); });
        if (!readOnly->holds())
            QSKIP("this system cannot make a file read-only for this user");
        QVERIFY(operation.ready());
        const QStringList stored = dumpDatabase(env);
        const QStringList shown = operation.contents();
        MsgBox::clearShown();

        operation.run();
        QVERIFY(!shownTexts().isEmpty());
        QVERIFY2(shownTexts().last().startsWith(QStringLiteral(
                     "The database file is read-only: nothing can be stored in it. Nothing was stored.")),
                 qPrintable(shownTexts().last()));
        QCOMPARE(dumpDatabase(env), stored);
        QVERIFY(operation.stillOpen());
        QCOMPARE(operation.contents(), shown);
    }

    void aDamagedTemplateIsDescribedAndTheSlipStaysSaved_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("problem");
        const QByteArray valid = templateWith([](QJsonObject&) {});
        QTest::newRow("empty") << QByteArray() << "the file is empty";
        QTest::newRow("truncated") << valid.left(valid.size() / 3) << "not valid JSON";
        QTest::newRow("not JSON") << QByteArray("RPT\x00\x01\x02\xff binary", 14) << "not valid JSON";
        QTest::newRow("absurd paper") << templateWith([](QJsonObject& o) {
            o["paper"] = QJsonObject{{"width", 1e9}, {"height", 99}};
        }) << "\"width\" is 1000000000";
        QTest::newRow("absurd element") << templateWith([](QJsonObject& o) {
            o["elements"] = QJsonArray{ReportTest::text(10, 10, "x", 1e12, 1e12)};
        }) << "\"width\" is 1e+12";
        QJsonArray many;
        for (int i = 0; i < 10000; ++i)
            many.append(ReportTest::text(1, 1, "x", 5, 5));
        QTest::newRow("10,000 elements") << templateWith([&](QJsonObject& o) { o["elements"] = many; })
                                         << "\"elements\" holds 10000 entries";
        QTest::newRow("missing background image") << templateWith([](QJsonObject& o) {
            o["background"] = QJsonObject{{"image", "gone.png"}};
        }) << "gone.png\" does not exist";
        QTest::newRow("huge background image") << templateWith([](QJsonObject& o) {
            o["background"] = QJsonObject{{"image", "huge.bmp"}};
        }) << "is 20000 x 100 pixels";
        QTest::newRow("%2 in the image's name") << templateWith([](QJsonObject& o) {
            o["background"] = QJsonObject{{"image", "huge%2.bmp"}};
        }) << "huge%2.bmp\" is 20000 x 100 pixels";
        QTest::newRow("the folder as image") << templateWith([](QJsonObject& o) {
            o["background"] = QJsonObject{{"image", "."}};
        }) << "\" is not an image file";
        QTest::newRow("a device as image") << templateWith([](QJsonObject& o) {
            o["background"] = QJsonObject{{"image", "/dev/null"}};
        }) << "the image \"/dev/null\" is not an image file";
        QTest::newRow("a count with a tiny fraction") << templateWith([](QJsonObject& o) {
            o["lines"] =
                QJsonObject{{"y", 40}, {"pitch", 6}, {"count", 5.0000000001}, {"elements", QJsonArray()}};
        }) << "\"count\" must be a whole number, not 5.0000000001";
        QTest::newRow("larger than a template can be")
            << QByteArray(TemplateLoader::kMaxFileBytes * 2, '{') << "a template is at most";
    }
    void aDamagedTemplateIsDescribedAndTheSlipStaysSaved() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, problem);
        TestEnv env;
        Operation operation(env, Kind::NewSlip);
        QVERIFY(operation.ready());
        for (const QString& image : {QStringLiteral("huge.bmp"), QStringLiteral("huge%2.bmp")})
            ReportTest::writeFile(env, image, hugeBitmapHeader());
        const QString path = ReportTest::writeFile(env, QStringLiteral("pv1.rpt"), contents);

        frmSlip& form = Forms::get<frmSlip>();
        saveAndAnswer(form, MsgBox::Button::Yes);
        QCOMPARE(shownTexts().size(), 2);
        QCOMPARE(shownTexts()[0], QStringLiteral("Do you want to print"));
        const QString description = shownTexts()[1];
        QVERIFY2(description.startsWith(
                     QStringLiteral("Report template '%1': ").arg(QDir::toNativeSeparators(path))),
                 qPrintable(description));
        QVERIFY2(description.contains(problem), qPrintable(description));
        // The slip is stored and stays on screen; no preview opened.
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 2);
        QCOMPARE(form.lblRef->text(), env.scalar(QStringLiteral("SELECT max(sid) FROM tblSlip")).toString());
        QVERIFY(form.isVisible());
        QVERIFY(!Forms::isLoaded<frmReport>() || !Forms::get<frmReport>().isVisible());

        // "Print" in the slip list says the same.
        MsgBox::clearShown();
        frmSlipList& list = Forms::get<frmSlipList>();
        QVERIFY(showActive(&list));
        list.Command5_Click();
        const int row = list.FG->textMatrix(1, 0) == form.lblRef->text() ? 1 : 2;
        QTest::mouseClick(list.FG->viewport(), Qt::LeftButton, {}, list.FG->cellRect(row, 3).center());
        click(list.Command6);
        QCOMPARE(shownTexts(), QStringList{description});
    }
};

QTEST_MAIN(TestBadFiles)
#include "test_badfiles.moc"
