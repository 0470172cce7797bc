#pragma once
#include "PageSet.h"

#include <QList>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

// Several stored slips, one page each in the order given, each drawn with the
// template of its own account (Reports/pv<account key>.rpt), so accounts and
// paper sizes may be mixed. A page is read as the report runner reads one
// slip: the template's tables log on and its first parameter is the slip key.
class SlipBatch : public PageSet {
public:
    // An account of the chosen slips that has no template; its slips are left out.
    struct MissingTemplate {
        QString accountNumber;
        QString accountName;
        QString templatePath; // empty: no account has that number
        int slips = 0;
    };

    // Looks the slips up on g_Connection; templates are found in reportsFolder.
    // Throws DbError.
    SlipBatch(const QList<qint32>& slipKeys, const QString& reportsFolder);

    // The accounts without a template, in the order their first slip came.
    const std::vector<MissingTemplate>& missingTemplates() const { return m_missing; }
    // The keys of the chosen slips that were no longer stored; they are left out.
    const QList<qint32>& goneSlips() const { return m_gone; }

    int count() const override { return static_cast<int>(m_entries.size()); }
    Page page(int index) override;
    QString slipName(int index) const override;
    QString templatePath(int index) const override;
    QString documentName() const override;

private:
    struct Entry {
        qint32 sid = 0;
        QString name;
        QString templatePath;
        std::optional<SlipRecord> slip; // once read
        bool gone = false;              // found deleted when read
    };

    const ReportTemplate& templateAt(const QString& path);
    SlipRecord readSlip(const Entry& entry, const ReportTemplate& layout);
    static bool stillStored(qint32 sid);

    std::vector<Entry> m_entries;
    std::vector<MissingTemplate> m_missing;
    QList<qint32> m_gone;
    std::map<QString, ReportTemplate> m_templates; // by file, loaded when first drawn
};
