#include "PgLink.h"
#include "Connection.h"
#include "DbError.h"
#include "NullBinding.h"

#include <QDate>
#include <QRegularExpression>
#include <cstring>
#include <libpq-fe.h>
#include <vector>

namespace {

// Writers take turns on a transaction-level lock (see beginWrite): this key
// with the schema's oid, so the databases of several schemas on one server
// (the tests' and the benchmark's) do not wait for one another.
constexpr qint32 kWriterLockKey = 0x43686571; // "Cheq"

// Type oids of the server's built-in types (pg_type.h).
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kNumeric = 1700
};

struct ResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

QString lostMessage() {
    return QStringLiteral("The connection to the database server was lost. Nothing was stored; please try "
                          "again.");
}

// The server's error as the operator reads it: the common causes in plain
// words first, the server's own text after them.
DbError describe(const PGresult* result, pg_conn* conn) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    QString text = QString::fromUtf8(primary ? primary : PQerrorMessage(conn)).trimmed();
    if (text.isEmpty())
        text = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    const QByteArray code(state ? state : "");
    QString cause;
    if (PQstatus(conn) == CONNECTION_BAD || code.startsWith("08") || code.startsWith("57P"))
        cause = lostMessage();
    else if (code == "55P03" || code == "40P01" || code == "40001")
        // Another PC holds what this save needs for longer than we waited.
        cause = DbMessages::busy();
    else if (code == "25006")
        cause = QStringLiteral("The database is read-only: nothing can be stored in it. Nothing was stored.");
    else if (code == "53100")
        cause = DbMessages::diskFull();
    if (cause.isEmpty())
        return DbError(text);
    return DbError(cause + QStringLiteral("\n(%1)").arg(text));
}

// "?" placeholders become "$1", "$2"...; quoted text, quoted names and comments
// are left alone. A second statement after a ";" is refused, as SQLite refuses it.
QByteArray numberedPlaceholders(const QByteArray& sql, int& count) {
    QByteArray out;
    out.reserve(sql.size() + 16);
    count = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const qsizetype close = sql.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? sql.size() - 1 : close;
            out += sql.mid(i, end - i + 1);
            i = end; // a doubled quote simply opens the next quoted piece
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const qsizetype lineEnd = sql.indexOf('\n', i);
            const qsizetype end = lineEnd < 0 ? sql.size() - 1 : lineEnd;
            out += sql.mid(i, end - i + 1);
            i = end;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            const qsizetype close = sql.indexOf("*/", i + 2);
            const qsizetype end = close < 0 ? sql.size() - 1 : close + 1;
            out += sql.mid(i, end - i + 1);
            i = end;
        } else if (c == '?') {
            out += '$' + QByteArray::number(++count);
        } else if (c == ';') {
            if (!sql.mid(i + 1).trimmed().isEmpty())
                throw DbError(QStringLiteral("Unable to execute multiple statements at a time"));
            break;
        } else {
            out += c;
        }
    }
    return out;
}

// A numeric column reads as a whole number when it holds one (as SQLite's
// NUMERIC column stores 100.00 as 100), otherwise as a double: amounts carry
// at most fifteen significant digits, which a double keeps.
QVariant numericValue(const char* text) {
    const char* point = std::strchr(text, '.');
    bool whole = !std::strpbrk(text, "eEN"); // no exponent, no NaN
    if (whole && point) {
        for (const char* p = point + 1; *p; ++p)
            whole = whole && *p == '0';
    }
    if (whole) {
        bool ok = false;
        const qlonglong value =
            QByteArray(text, point ? point - text : qsizetype(std::strlen(text))).toLongLong(&ok);
        if (ok)
            return value;
    }
    return QByteArray(text).toDouble();
}

// A value as the text the server reads for it; the server gives it the type
// the statement needs there.
QByteArray parameterText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? "1" : "0";
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate).toUtf8();
    default:
        return value.toString().toUtf8();
    }
}

class PgStatement : public PreparedStatement {
public:
    PgStatement(PgLink& link, const QString& sql) : m_link(link) {
        m_sql = numberedPlaceholders(sql.toUtf8(), m_parameterCount);
        if (m_sql.trimmed().isEmpty())
            throw DbError(QStringLiteral("The statement is empty."));
    }

    ~PgStatement() override {
        if (!m_prepared.isEmpty() && PQstatus(m_link.handle()) == CONNECTION_OK &&
            PQtransactionStatus(m_link.handle()) != PQTRANS_INERROR)
            PQclear(PQexec(m_link.handle(), ("DEALLOCATE " + m_prepared).constData()));
    }

    void bind(const QVariantList& values) override {
        if (values.size() != m_parameterCount)
            throw DbError(QStringLiteral("Parameter count mismatch"));
        m_result.reset();
        m_row = -1;
        m_values.clear();
        m_null.clear();
        m_binary.clear();
        for (const QVariant& value : values) {
            m_null.push_back(isNullBinding(value));
            m_binary.push_back(!m_null.back() && value.typeId() == QMetaType::QByteArray);
            m_values.push_back(m_null.back()     ? QByteArray()
                               : m_binary.back() ? value.toByteArray()
                                                 : parameterText(value));
        }
        m_bound = true;
    }

    bool next() override {
        execute();
        if (m_row + 1 >= PQntuples(m_result.get()))
            return false;
        ++m_row;
        return true;
    }

    QStringList columnNames() override {
        execute();
        QStringList names;
        for (int i = 0; i < PQnfields(m_result.get()); ++i)
            names << QString::fromUtf8(PQfname(m_result.get(), i));
        return names;
    }

    QVariant value(int column) const override {
        PGresult* result = m_result.get();
        if (!result || m_row < 0 || column < 0 || column >= PQnfields(result))
            return QVariant(QMetaType::fromType<QString>());
        if (PQgetisnull(result, m_row, column))
            return QVariant(QMetaType::fromType<QString>());
        const char* text = PQgetvalue(result, m_row, column);
        switch (PQftype(result, column)) {
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid:
            return QByteArray(text).toLongLong();
        case kFloat4:
        case kFloat8:
            return QByteArray(text).toDouble();
        case kNumeric:
            return numericValue(text);
        case kBool:
            return qlonglong(text[0] == 't' ? 1 : 0);
        case kBytea: {
            size_t length = 0;
            unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
            QByteArray copy(reinterpret_cast<const char*>(bytes), qsizetype(length));
            PQfreemem(bytes);
            return copy;
        }
        default:
            return QString::fromUtf8(text, PQgetlength(result, m_row, column));
        }
    }

    qint64 lastInsertId() override {
        Result result(PQexec(m_link.handle(), "SELECT lastval()"));
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
            throw describe(result.get(), m_link.handle());
        return QByteArray(PQgetvalue(result.get(), 0, 0)).toLongLong();
    }

private:
    void execute() {
        if (m_result)
            return;
        if (!m_bound && m_parameterCount > 0)
            throw DbError(QStringLiteral("Parameter count mismatch"));
        m_link.restoreIfLost();
        Result result = send();
        // A read outside a transaction whose link the server closed while it
        // was idle runs once more over a new link: it changed nothing.
        if (!succeeded(result.get()) && PQstatus(m_link.handle()) != CONNECTION_OK &&
            !m_link.inTransaction() && isRead()) {
            m_link.restoreIfLost();
            result = send();
        }
        if (!succeeded(result.get()))
            throw describe(result.get(), m_link.handle());
        m_result = std::move(result);
        m_row = -1;
    }

    Result send() {
        std::vector<const char*> values;
        std::vector<int> lengths, formats;
        for (size_t i = 0; i < m_values.size(); ++i) {
            values.push_back(m_null[i] ? nullptr : m_values[i].constData());
            lengths.push_back(int(m_values[i].size()));
            formats.push_back(m_binary[i] ? 1 : 0);
        }
        // A statement run again and again (a bulk copy) is prepared on the
        // server once; a window's statement runs once, in one round trip.
        if (++m_runs == 2 && m_link.inTransaction()) {
            static int prepared = 0;
            const QByteArray name = "cheqora_" + QByteArray::number(++prepared);
            Result made(
                PQprepare(m_link.handle(), name.constData(), m_sql.constData(), m_parameterCount, nullptr));
            if (PQresultStatus(made.get()) == PGRES_COMMAND_OK)
                m_prepared = name;
        }
        if (!m_prepared.isEmpty())
            return Result(PQexecPrepared(m_link.handle(), m_prepared.constData(), m_parameterCount,
                                         values.data(), lengths.data(), formats.data(), 0));
        return Result(PQexecParams(m_link.handle(), m_sql.constData(), m_parameterCount, nullptr,
                                   values.data(), lengths.data(), formats.data(), 0));
    }

    static bool succeeded(const PGresult* result) {
        const ExecStatusType status = PQresultStatus(result);
        return status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK;
    }

    bool isRead() const {
        static const QRegularExpression read(QStringLiteral(R"(^\s*(select|with)\b)"),
                                             QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression write(QStringLiteral(R"(\b(insert|update|delete)\b)"),
                                              QRegularExpression::CaseInsensitiveOption);
        const QString text = QString::fromUtf8(m_sql);
        return read.match(text).hasMatch() && !write.match(text).hasMatch();
    }

    PgLink& m_link;
    QByteArray m_sql;
    QByteArray m_prepared; // the server's name for it, once prepared there
    int m_runs = 0;
    int m_parameterCount = 0;
    bool m_bound = false;
    std::vector<QByteArray> m_values;
    std::vector<bool> m_null, m_binary;
    Result m_result;
    int m_row = -1;
};

// Server sessions of links that were dropped while idle, kept for the next
// link to the same address: every window connects anew when it loads, and
// starting a session on the server costs tens of milliseconds, where
// taking a kept one (and setting it up again) costs a fraction of one.
class IdleSessions {
public:
    pg_conn* take(const QString& address) {
        for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
            if (it->first == address) {
                pg_conn* conn = it->second;
                m_sessions.erase(it);
                return conn;
            }
        }
        return nullptr;
    }
    // Keeps conn when it is sound and idle and there is room; closes it otherwise.
    void keep(const QString& address, pg_conn* conn) {
        if (PQstatus(conn) == CONNECTION_OK && PQtransactionStatus(conn) == PQTRANS_IDLE &&
            m_sessions.size() < kKept)
            m_sessions.emplace_back(address, conn);
        else
            PQfinish(conn);
    }

private:
    static constexpr size_t kKept = 4;
    std::vector<std::pair<QString, pg_conn*>> m_sessions;
};

// Never destroyed: a link may be dropped while the program ends (the kept
// sessions end with the process).
IdleSessions& idleSessions() {
    static auto* sessions = new IdleSessions;
    return *sessions;
}

} // namespace

PgLink::PgLink(const QString& uri) : m_address(uri) {
    m_conn = idleSessions().take(uri);
    if (m_conn) {
        try {
            setUpSession();
            return;
        } catch (const DbError&) {
            PQfinish(m_conn); // a kept session the server has closed since: a new one
        }
    }
    // Given first, so that the address may set its own.
    const QByteArray address = uri.toUtf8();
    const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"10", "cheqora", address.constData(), nullptr};
    m_conn = PQconnectdbParams(keys, values, 1);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString error = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        PQfinish(m_conn);
        m_conn = nullptr;
        throw DbError(QStringLiteral("The database server cannot be reached: %1").arg(error));
    }
    try {
        setUpSession();
    } catch (...) {
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

PgLink::~PgLink() {
    if (m_conn)
        idleSessions().keep(m_address, m_conn);
}

void PgLink::setUpSession() {
    // A save meeting another PC's lock waits as long as on a shared file, and
    // every commit is written through to the disk before it is reported, as
    // on a file. One round trip: a kept session is set up at every connect.
    const QString timeout = QStringLiteral("SET lock_timeout = %1").arg(kBusyTimeoutMs);
    const QString encoding = QStringLiteral("SET client_encoding = 'UTF8'");
    const QString durability = QStringLiteral("SET synchronous_commit = on");
    const QString readBack =
        QStringLiteral("SELECT current_setting('synchronous_commit'), current_setting('fsync')");
    Connection::checkFault(timeout);
    Connection::checkFault(encoding);
    QStringList sent{timeout, encoding};
    QString reason;
    try {
        Connection::checkFault(durability);
        Connection::checkFault(readBack);
        sent << durability << readBack;
    } catch (const DbError& error) {
        reason = error.description();
    }
    Result result(PQexec(m_conn, sent.join(QStringLiteral("; ")).toUtf8().constData()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw describe(result.get(), m_conn);
    if (reason.isEmpty()) {
        const QString commit = QString::fromUtf8(PQgetvalue(result.get(), 0, 0));
        const QString fsync = QString::fromUtf8(PQgetvalue(result.get(), 0, 1));
        if (commit != QLatin1String("on") || fsync != QLatin1String("on"))
            reason = QStringLiteral("synchronous_commit is %1, fsync is %2").arg(commit, fsync);
    }
    m_writeRefusal.clear();
    if (!reason.isEmpty())
        m_writeRefusal = DbMessages::notDurable(reason);
}

bool PgLink::inTransaction() const {
    return m_inTransaction;
}

void PgLink::restoreIfLost() {
    if (PQstatus(m_conn) == CONNECTION_OK)
        return;
    // What a transaction had done is gone with the link; its next statements
    // must not run on a new link as if nothing happened.
    if (m_inTransaction)
        throw DbError(lostMessage());
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw DbError(lostMessage() +
                      QStringLiteral("\n(%1)").arg(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed()));
    setUpSession();
}

void PgLink::execute(const QString& sql) {
    Connection::checkFault(sql);
    restoreIfLost();
    Result result(PQexec(m_conn, sql.toUtf8().constData()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw describe(result.get(), m_conn);
}

std::unique_ptr<PreparedStatement> PgLink::prepare(const QString& sql) {
    return std::make_unique<PgStatement>(*this, sql);
}

void PgLink::beginWrite() {
    // A server left since the last statement is found here, before any change,
    // and the link is opened again: a save after the server came back stores.
    restoreIfLost();
    try {
        execute(QStringLiteral("BEGIN"));
    } catch (const DbError&) {
        // Found only now that the server closed the link while it was idle:
        // BEGIN changed nothing, so it runs once more over a new link.
        if (PQstatus(m_conn) == CONNECTION_OK)
            throw;
        restoreIfLost();
        execute(QStringLiteral("BEGIN"));
    }
    m_inTransaction = true;
    try {
        // Writers take turns, as they do on a SQLite file: what a save checks
        // inside its transaction (the slip still there, the serial number still
        // free) stays true until it commits. lock_timeout bounds the wait.
        execute(QStringLiteral("SELECT pg_advisory_xact_lock(%1, current_schema()::regnamespace::oid::int)")
                    .arg(kWriterLockKey));
        // A link opened again above may have found the server no longer
        // writing each commit through to the disk.
        if (!m_writeRefusal.isEmpty())
            throw DbError(m_writeRefusal);
    } catch (...) {
        rollback();
        throw;
    }
}

void PgLink::beginSnapshot() {
    execute(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    m_inTransaction = true;
}

void PgLink::commit() {
    Connection::checkFault(QStringLiteral("COMMIT"));
    Result result(PQexec(m_conn, "COMMIT"));
    m_inTransaction = false;
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
        if (PQstatus(m_conn) != CONNECTION_OK)
            // The answer never came: the commit may or may not have been made.
            throw DbError(QStringLiteral("The connection to the database server was lost while the save "
                                         "was being stored: it may or may not have been stored. Look for it "
                                         "in the slip list before saving again.\n(%1)")
                              .arg(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed()));
        throw describe(result.get(), m_conn);
    }
    // A transaction that failed earlier ends in a rollback that reports no error.
    if (qstrcmp(PQcmdStatus(result.get()), "COMMIT") != 0)
        throw DbError(QStringLiteral("The database rolled the save back: nothing was stored."));
}

void PgLink::rollback() noexcept {
    m_inTransaction = false;
    if (PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        PQclear(PQexec(m_conn, "ROLLBACK"));
}

QString PgLink::tableColumnsSql() const {
    // The tables of the schema the connection works in.
    return QStringLiteral("SELECT lower(c.relname), a.attname FROM pg_class c JOIN pg_attribute a ON "
                          "a.attrelid = c.oid WHERE c.relnamespace = current_schema()::regnamespace AND "
                          "c.relkind IN ('r', 'p') AND a.attnum > 0 AND NOT a.attisdropped "
                          "ORDER BY c.relname, a.attnum");
}

QStringList PgLink::integrityProblems() {
    // The server keeps its own files sound; what Cheqora adds to the schema is checked here.
    QStringList problems;
    auto functions = prepare(QStringLiteral(
        "SELECT (SELECT count(*) FROM pg_proc WHERE proname = 'format' AND pronargs = 2 AND "
        "pronamespace = current_schema()::regnamespace), (SELECT count(*) FROM pg_proc WHERE proname = "
        "'cents' AND pronamespace = current_schema()::regnamespace)"));
    functions->bind({});
    if (functions->next()) {
        if (functions->value(0).toInt() == 0)
            problems << QStringLiteral("The function format(text, text) the slip list needs is missing.");
        if (functions->value(1).toInt() == 0)
            problems << QStringLiteral("The function cents(numeric) the slip list needs is missing.");
    }
    return problems;
}

qint64 PgLink::lastKey(const QString& table, const QString& keyColumn) {
    auto query =
        prepare(QStringLiteral("SELECT coalesce(pg_sequence_last_value(pg_get_serial_sequence(lower(?), "
                               "lower(?))::regclass), 0)"));
    query->bind({table, keyColumn});
    return query->next() ? query->value(0).toLongLong() : 0;
}

void PgLink::keepKeysAbove(const QString& table, const QString& keyColumn, qint64 key) {
    // Never below what the sequence gave already: a key is not given twice.
    auto query = prepare(QStringLiteral("SELECT setval(pg_get_serial_sequence(lower(?), lower(?)), v) FROM "
                                        "(SELECT greatest(?, max(%1), coalesce(pg_sequence_last_value("
                                        "pg_get_serial_sequence(lower(?), lower(?))::regclass), 0)) AS v "
                                        "FROM %2) AS highest WHERE v > 0")
                             .arg(keyColumn, table));
    query->bind({table, keyColumn, key, table, keyColumn});
    query->next();
}

bool isServerAddress(const QString& target) {
    return target.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive);
}
