#pragma once
// Shared by the report tests: templates written on the fly, slips stored in
// the test database, and the words of an exported PDF with their positions.
#include "PageRenderer.h"
#include "ReportEngine.h"
#include "TestEnv.h"
#include "modData.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <vector>

namespace ReportTest {

// A small valid template: 210 x 99 mm, the three tables, one parameter field
// slipKey (kind 0) selecting the slip, and the given elements.
inline QJsonObject slipTemplate(const QJsonArray& elements = {}) {
    QJsonArray tables;
    for (const char* name : {"tblSlip", "tblSlipDetails", "tblAcc"})
        tables.append(
            QJsonObject{{"name", name}, {"connection", QJsonObject{{"DSN", ""}, {"Password", ""}}}});
    return QJsonObject{
        {"format", "cheqora-report"},
        {"version", 1},
        {"paper", QJsonObject{{"width", 210}, {"height", 99}}},
        {"tables", tables},
        {"parameters", QJsonArray{QJsonObject{{"name", "slipKey"}, {"kind", 0}}}},
        {"selection", "{tblSlip.sid} = {?slipKey}"},
        {"elements", elements},
    };
}

inline QJsonObject text(double x, double y, const QString& value, double width = 60, double height = 6) {
    return QJsonObject{{"type", "text"}, {"x", x},           {"y", y},
                       {"width", width}, {"height", height}, {"text", value}};
}

inline QString writeFile(const TestEnv& env, const QString& name, const QByteArray& contents) {
    QDir().mkpath(env.folder() + "/Reports");
    const QString path = env.folder() + "/Reports/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(contents);
    return path;
}

inline QString writeTemplate(const TestEnv& env, const QString& name, const QJsonObject& layout) {
    return writeFile(env, name, QJsonDocument(layout).toJson());
}

// Stores a slip with its lines (cheque number, amount) and returns its key.
inline int addSlip(TestEnv& env, const QString& accno, const QList<QPair<QString, double>>& lines,
                   int sid = 0) {
    const QString key = sid > 0 ? QString::number(sid) : QStringLiteral("NULL");
    env.exec(
        QStringLiteral("INSERT INTO tblSlip (sid, sno, accno, accName, branch, sdate, depositedBy, remarks) "
                       "VALUES (%1, 7, '%2', 'Sharma Traders', 'MG Road', '2024-03-05', 'Ramesh Kumar', "
                       "'counter')")
            .arg(key, accno));
    const int slip = env.scalar(QStringLiteral("SELECT max(sid) FROM tblSlip")).toInt();
    for (const auto& [chqno, amount] : lines)
        env.exec(QStringLiteral("INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) "
                                "VALUES (%1, '%2', '2024-03-04', 'HDFC Bank', 'Noida', %3)")
                     .arg(slip)
                     .arg(chqno)
                     .arg(amount, 0, 'f', 2));
    return slip;
}

// Opens a template and logs every table on, as the report runner does.
inline std::shared_ptr<Report> openLoggedOn(const QString& path, const QString& password = kDatabasePassword,
                                            const QString& dataSource = "slipODBC") {
    auto report = ReportEngine().openReport(path);
    for (DatabaseTable& t : report->database().tables()) {
        t.connectionProperties().item("DSN").setValue(dataSource);
        t.connectionProperties().item("Password").setValue(password);
    }
    return report;
}

struct PdfWord {
    QString text;
    double xMin, yMin, xMax, yMax; // millimetres from the page's top-left corner
};

struct PdfPage {
    double width, height; // millimetres
    std::vector<PdfWord> words;
};

// The pages of a PDF as pdftotext -bbox reads them.
inline std::vector<PdfPage> pdfPages(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qFatal("pdftotext failed on %s", qPrintable(path));
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    constexpr double kMmPerPoint = PageRenderer::kMmPerInch / 72.0;
    std::vector<PdfPage> pages;
    static const QRegularExpression token(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
        R"re(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            pages.push_back(
                {m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint, {}});
        } else if (!pages.empty()) {
            QString word = m.captured(7);
            for (const auto& [entity, character] :
                 {std::pair{"&quot;", "\""}, std::pair{"&apos;", "'"}, std::pair{"&lt;", "<"},
                  std::pair{"&gt;", ">"}, std::pair{"&amp;", "&"}})
                word.replace(QLatin1String(entity), QLatin1String(character));
            pages.back().words.push_back(
                {word, m.captured(3).toDouble() * kMmPerPoint, m.captured(4).toDouble() * kMmPerPoint,
                 m.captured(5).toDouble() * kMmPerPoint, m.captured(6).toDouble() * kMmPerPoint});
        }
    }
    return pages;
}

inline const PdfWord* findWord(const PdfPage& page, const QString& text) {
    for (const PdfWord& w : page.words) {
        if (w.text == text)
            return &w;
    }
    return nullptr;
}

// All words of a page joined by blanks, in reading order.
inline QString pageText(const PdfPage& page) {
    QStringList words;
    for (const PdfWord& w : page.words)
        words << w.text;
    return words.join(QLatin1Char(' '));
}

} // namespace ReportTest
