#include "PageSet.h"

#include <QDate>
#include <QFileInfo>

QString slipLabel(const QString& serialNumber, const QString& shownDate) {
    return QStringLiteral("Sr. No %1 of %2").arg(serialNumber, shownDate);
}

QString storedSlipLabel(const QVariant& serialNumber, const QVariant& storedDate) {
    const QDate day = QDate::fromString(storedDate.toString(), Qt::ISODate);
    return slipLabel(serialNumber.toString(),
                     day.isValid() ? day.toString(QStringLiteral("dd-MM-yyyy")) : storedDate.toString());
}

ReportPages::ReportPages(std::shared_ptr<Report> report)
    : m_report(std::move(report)), m_slips(&m_report->slips()) {}

int ReportPages::count() const {
    return static_cast<int>(m_slips->size());
}

PageSet::Page ReportPages::page(int index) {
    return {&m_report->definition(), &m_slips->at(size_t(index))};
}

QString ReportPages::slipName(int index) const {
    const QVariantMap& slip = m_slips->at(size_t(index)).slip;
    return storedSlipLabel(slip.value(QStringLiteral("sno")), slip.value(QStringLiteral("sdate")));
}

QString ReportPages::templatePath(int) const {
    return m_report->filePath();
}

QString ReportPages::documentName() const {
    return QFileInfo(m_report->filePath()).completeBaseName();
}
