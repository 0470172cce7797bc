#include "SlipBatch.h"
#include "ReportError.h"
#include "ReportSetup.h"
#include "Statement.h"
#include "TemplateLoader.h"
#include "modData.h"

#include <QDate>
#include <QFileInfo>
#include <QHash>

namespace {

// Keys per lookup: well below SQLite's limit on bound values.
constexpr int kKeysPerLookup = 500;

struct StoredSlip {
    QString name;
    QString accountNumber;
    QString accountName;
    QVariant accountKey; // null: no account has the slip's number
};

// The slips among keys that are stored, with the key of their account as the
// slip window finds it (the first account with the slip's number).
QHash<qint32, StoredSlip> lookUp(const QList<qint32>& keys) {
    QHash<qint32, StoredSlip> found;
    for (qsizetype start = 0; start < keys.size(); start += kKeysPerLookup) {
        const QList<qint32> chunk = keys.mid(start, kKeysPerLookup);
        QStringList marks;
        QVariantList values;
        for (const qint32 key : chunk) {
            marks << QStringLiteral("?");
            values << key;
        }
        Statement query(*g_Connection,
                        QStringLiteral("SELECT s.sid, s.sno, s.sdate, s.accno, s.accName, "
                                       "(SELECT a.id FROM tblAcc a WHERE a.accno = s.accno LIMIT 1) "
                                       "FROM tblSlip s WHERE s.sid IN (%1)")
                            .arg(marks.join(QLatin1Char(','))));
        query.bind(values);
        while (query.next())
            found.insert(query.value(0).toInt(),
                         {storedSlipLabel(query.value(1), query.value(2)), query.value(3).toString(),
                          query.value(4).toString(), query.value(5)});
    }
    return found;
}

} // namespace

SlipBatch::SlipBatch(const QList<qint32>& slipKeys, const QString& reportsFolder) {
    const QHash<qint32, StoredSlip> stored = lookUp(slipKeys);
    QHash<QString, bool> templateExists;
    for (const qint32 sid : slipKeys) {
        const auto slip = stored.constFind(sid);
        if (slip == stored.cend()) {
            m_gone << sid;
            continue;
        }
        const QString path =
            slip->accountKey.isNull()
                ? QString()
                : reportsFolder + QStringLiteral("/pv%1.rpt").arg(slip->accountKey.toString());
        if (!path.isEmpty() && !templateExists.contains(path))
            templateExists.insert(path, QFileInfo::exists(path));
        if (path.isEmpty() || !templateExists.value(path)) {
            auto missing = std::find_if(m_missing.begin(), m_missing.end(), [&](const MissingTemplate& m) {
                return m.accountNumber == slip->accountNumber && m.templatePath == path;
            });
            if (missing == m_missing.end())
                missing =
                    m_missing.insert(m_missing.end(), {slip->accountNumber, slip->accountName, path, 0});
            ++missing->slips;
            continue;
        }
        m_entries.push_back({sid, slip->name, path, std::nullopt, false});
    }
}

PageSet::Page SlipBatch::page(int index) {
    Entry& entry = m_entries.at(size_t(index));
    const ReportTemplate* layout = nullptr;
    try {
        layout = &templateAt(entry.templatePath);
        if (!entry.slip && !entry.gone) {
            SlipRecord slip = readSlip(entry, *layout);
            if (slip.slip.isEmpty())
                entry.gone = true;
            else
                entry.slip = std::move(slip);
        }
    } catch (const ReportError& error) {
        throw ReportError(QStringLiteral("%1: %2").arg(entry.name, error.description()));
    }
    return {layout, entry.slip ? &*entry.slip : nullptr};
}

const ReportTemplate& SlipBatch::templateAt(const QString& path) {
    auto loaded = m_templates.find(path);
    if (loaded == m_templates.end())
        loaded = m_templates.emplace(path, TemplateLoader::load(path)).first;
    return loaded->second;
}

// The slip as its own print reads it; an empty record when it is no longer stored.
SlipRecord SlipBatch::readSlip(const Entry& entry, const ReportTemplate& layout) {
    Report report(layout);
    ReportSetup::logOn(report, kDatabasePassword);
    report.setPromptForMissingParameterValues(false);
    ReportSetup::fillParameters(report, {entry.sid});
    try {
        for (const SlipRecord& slip : report.slips()) {
            if (slip.slip.value(QStringLiteral("sid")).toInt() == entry.sid)
                return slip;
        }
    } catch (const ReportError&) {
        if (!stillStored(entry.sid))
            return {};
        throw;
    }
    if (!stillStored(entry.sid))
        return {};
    throw ReportError::inTemplate(layout.filePath,
                                  QStringLiteral("its selection does not pick slip %1").arg(entry.sid));
}

bool SlipBatch::stillStored(qint32 sid) {
    Statement query(*g_Connection, QStringLiteral("SELECT 1 FROM tblSlip WHERE sid = ?"));
    query.bind({sid});
    return query.next();
}

QString SlipBatch::slipName(int index) const {
    return m_entries.at(size_t(index)).name;
}

QString SlipBatch::templatePath(int index) const {
    return m_entries.at(size_t(index)).templatePath;
}

QString SlipBatch::documentName() const {
    return QStringLiteral("slips");
}
