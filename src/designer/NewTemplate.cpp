#include "NewTemplate.h"
#include "SlipData.h"
#include "TemplateLoader.h"
#include "modData.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace NewTemplate {

const std::vector<Paper>& presets() {
    static const std::vector<Paper> papers = {
        {QStringLiteral("Slip 210 x 99 mm (as pv1.rpt)"), {210, 99}},
        {QStringLiteral("Slip 203 x 95 mm (as pv2.rpt)"), {203, 95}},
        {QStringLiteral("Slip 210 x 90 mm (as pv3.rpt)"), {210, 90}},
        {QStringLiteral("A4 portrait, 210 x 297 mm"), {210, 297}},
        {QStringLiteral("A4 landscape, 297 x 210 mm"), {297, 210}},
        {QStringLiteral("A5 portrait, 148 x 210 mm"), {148, 210}},
        {QStringLiteral("A5 landscape, 210 x 148 mm"), {210, 148}},
    };
    return papers;
}

ReportTemplate empty(const QSizeF& paper, const QString& filePath) {
    ReportTemplate t;
    t.filePath = filePath;
    t.paper = paper;
    t.orientation = paper.width() > paper.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    t.tables.push_back({SlipColumns::kSlipTable, SlipData::kDataSource, QString()});
    t.parameters.push_back({QStringLiteral("slipKey"), 0, QString(), {}});
    t.selection = QStringLiteral("{tblSlip.sid} = {?slipKey}");
    return t;
}

ReportTemplate copyOf(const QString& sourcePath, const QString& filePath) {
    ReportTemplate t = TemplateLoader::load(sourcePath);
    t.filePath = filePath;
    return t;
}

qint64 accountKeyOf(const QString& filePath) {
    static const QRegularExpression name(QStringLiteral("^pv(\\d{1,9})\\.rpt$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = name.match(QFileInfo(filePath).fileName());
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

QString templatePath(qint64 accountKey) {
    return applicationFolder() + QStringLiteral("/Reports/pv%1.rpt").arg(accountKey);
}

} // namespace NewTemplate
