#include "SlipData.h"
#include "Connection.h"
#include "DbError.h"
#include "ReportError.h"
#include "Statement.h"
#include "modData.h"

#include <map>
#include <memory>

namespace SlipData {

namespace {

class Reader {
public:
    Reader(const QString& filePath, const std::vector<TableLogon>& tables,
           const std::vector<BoundCondition>& conditions)
        : m_file(filePath), m_tables(tables), m_conditions(conditions) {}

    bool reads(const QString& table) const {
        for (const TableLogon& t : m_tables) {
            if (t.table == table)
                return true;
        }
        return false;
    }

    // The rows of "SELECT * FROM table WHERE <fixed> AND <conditions on table> ORDER BY <order>".
    std::vector<QVariantMap> select(const QString& table, const QString& fixed,
                                    const QVariantList& fixedValues, const QString& order, int limit) {
        QStringList where;
        QVariantList values;
        if (!fixed.isEmpty()) {
            where << fixed;
            values << fixedValues;
        }
        for (const BoundCondition& c : m_conditions) {
            if (c.column.table != table)
                continue;
            QStringList marks;
            for (const QVariant& v : c.values) {
                marks << QStringLiteral("?");
                values << v;
            }
            // Column names come from the fixed catalogue, values are bound.
            where << (marks.size() == 1 ? c.column.column + QStringLiteral(" = ?")
                                        : c.column.column + QStringLiteral(" IN (") +
                                              marks.join(QLatin1Char(',')) + QLatin1Char(')'));
        }
        QString sql = QStringLiteral("SELECT * FROM ") + table;
        if (!where.isEmpty())
            sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
        sql += QStringLiteral(" ORDER BY ") + order + QStringLiteral(" LIMIT ") + QString::number(limit);

        std::shared_ptr<Connection> connection = connectionFor(table);
        std::vector<QVariantMap> rows;
        try {
            Statement query(*connection, sql);
            query.bind(values);
            // The result's column names, as the template spells them, once for all rows.
            QStringList names;
            for (const QString& name : query.columnNames()) {
                const auto known = SlipColumns::column(table, name);
                names << (known ? known->column : name);
            }
            while (query.next()) {
                QVariantMap row;
                for (int i = 0; i < names.size(); ++i)
                    row.insert(names[i], query.value(i));
                rows.push_back(std::move(row));
            }
        } catch (const DbError& e) {
            throw ReportError::inTemplate(
                m_file, QStringLiteral("reading %1 failed: %2").arg(table, e.description()));
        }
        return rows;
    }

    bool hasConditionsOn(const QString& table) const {
        for (const BoundCondition& c : m_conditions) {
            if (c.column.table == table)
                return true;
        }
        return false;
    }

private:
    std::shared_ptr<Connection> connectionFor(const QString& table) {
        for (const TableLogon& t : m_tables) {
            if (t.table != table)
                continue;
            const QString path = databaseFor(t.dataSource, t.table, m_file);
            const QString key = path + QLatin1Char('\n') + t.password;
            auto& connection = m_connections[key];
            if (!connection) {
                try {
                    auto opened = Connection::create();
                    opened->open(path, t.password);
                    connection = std::move(opened);
                } catch (const DbError& e) {
                    throw ReportError::inTemplate(
                        m_file,
                        QStringLiteral("table %1 cannot log on to data source \"%2\" (%3): %4")
                            .arg(t.table, t.dataSource, QDir::toNativeSeparators(path), e.description()));
                }
            }
            return connection;
        }
        throw ReportError::inTemplate(m_file, QStringLiteral("the template does not read %1").arg(table));
    }

    const QString& m_file;
    const std::vector<TableLogon>& m_tables;
    const std::vector<BoundCondition>& m_conditions;
    std::map<QString, std::shared_ptr<Connection>> m_connections;
};

} // namespace

QString databaseFor(const QString& dataSource, const QString& table, const QString& filePath) {
    if (dataSource.trimmed().isEmpty())
        throw ReportError::inTemplate(
            filePath, QStringLiteral("table %1 names no data source (its \"DSN\" is empty)").arg(table));
    if (dataSource.compare(kDataSource, Qt::CaseInsensitive) != 0)
        throw ReportError::inTemplate(
            filePath, QStringLiteral("table %1 names the data source \"%2\", which is unknown; the only data "
                                     "source is \"%3\"")
                          .arg(table, dataSource, kDataSource));
    return GetDatabasePath();
}

std::vector<SlipRecord> read(const QString& filePath, const std::vector<TableLogon>& tables,
                             const std::vector<BoundCondition>& conditions, int maxLines) {
    Reader reader(filePath, tables, conditions);
    const std::vector<QVariantMap> slips =
        reader.select(SlipColumns::kSlipTable, QString(), {}, QStringLiteral("sid"), kMaxSlips + 1);
    if (slips.size() > size_t(kMaxSlips))
        throw ReportError::inTemplate(filePath,
                                      QStringLiteral("the selection picks more than %1 slips; print fewer at "
                                                     "a time")
                                          .arg(kMaxSlips));
    const bool readsLines = reader.reads(SlipColumns::kLineTable);
    const bool readsAccount = reader.reads(SlipColumns::kAccountTable);
    std::vector<SlipRecord> records;
    for (const QVariantMap& slip : slips) {
        SlipRecord record;
        record.slip = slip;
        if (readsAccount) {
            const auto accounts =
                reader.select(SlipColumns::kAccountTable, QStringLiteral("accno = ?"),
                              {slip.value(QStringLiteral("accno"))}, QStringLiteral("id"), 1);
            if (accounts.empty() && reader.hasConditionsOn(SlipColumns::kAccountTable))
                continue;
            if (!accounts.empty())
                record.account = accounts.front();
        }
        if (readsLines) {
            // One line past the most a template prints is enough to tell "too many".
            const int limit = maxLines > 0 ? maxLines + 1 : 1000;
            record.lines = reader.select(SlipColumns::kLineTable, QStringLiteral("sid = ?"),
                                         {slip.value(QStringLiteral("sid"))}, QStringLiteral("sdid"), limit);
            if (record.lines.empty() && reader.hasConditionsOn(SlipColumns::kLineTable))
                continue;
            if (maxLines > 0 && record.lines.size() > size_t(maxLines))
                throw ReportError::inTemplate(
                    filePath,
                    QStringLiteral("slip %1 has more than %2 cheque lines, the most the template prints")
                        .arg(slip.value(QStringLiteral("sid")).toString())
                        .arg(maxLines));
        }
        records.push_back(std::move(record));
    }
    if (records.empty())
        throw ReportError::inTemplate(filePath, QStringLiteral("no slip matches the record selection"));
    return records;
}

} // namespace SlipData
