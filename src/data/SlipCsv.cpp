#include "SlipCsv.h"
#include "Amount.h"
#include "DbError.h"
#include "Statement.h"

#include <QDir>
#include <QSaveFile>

namespace SlipCsv {

const QStringList kHeader = {
    QStringLiteral("Sr. No"),       QStringLiteral("Date"),      QStringLiteral("Account No"),
    QStringLiteral("Account Name"), QStringLiteral("Cheque No"), QStringLiteral("Cheque Date"),
    QStringLiteral("Bank"),         QStringLiteral("City"),      QStringLiteral("Amount"),
    QStringLiteral("Deposited By"), QStringLiteral("Remarks")};

// Slip fields first, then the line's; the range uses the slip list's date index.
const char* const kLinesSql =
    "SELECT s.sid, s.sno, s.sdate, s.accno, s.accName, d.chqno, d.chqdate, d.bank, d.city, d.amount, "
    "s.depositedBy, s.remarks "
    "FROM tblSlip s JOIN tblSlipDetails d ON d.sid = s.sid "
    "WHERE format(s.sdate,'yyyy-MM-dd') BETWEEN ? AND ? ORDER BY s.sid, d.sdid";

namespace {

// A stored date as ISO text; text that is no date is written as it is stored.
QString isoDate(const QVariant& stored) {
    const QString text = stored.toString();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? date.toString(Qt::ISODate) : text;
}

// Two decimals and a dot; a stored value that is no amount is written as it is.
QString amount(const QVariant& stored) {
    const std::optional<qint64> cents = Amount::storedCents(stored);
    return cents ? Amount::formatCents(*cents) : stored.toString();
}

void append(QString& row, const QString& text) {
    if (!row.isEmpty())
        row += QLatin1Char(',');
    row += field(text);
}

void writeRow(QIODevice& out, const QStringList& fields) {
    QString row;
    for (const QString& text : fields)
        append(row, text);
    row += QStringLiteral("\r\n");
    if (out.write(row.toUtf8()) < 0)
        throw DbError(QStringLiteral("The CSV file cannot be written: %1.").arg(out.errorString()));
}

} // namespace

QString field(const QString& text) {
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                        (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

Written write(const Connection& connection, const QDate& from, const QDate& to, QIODevice& out,
              const Progress& progress) {
    Written written;
    if (out.write("\xEF\xBB\xBF") < 0)
        throw DbError(QStringLiteral("The CSV file cannot be written: %1.").arg(out.errorString()));
    writeRow(out, kHeader);
    Statement lines(connection, QString::fromLatin1(kLinesSql));
    lines.bind({from.toString(Qt::ISODate), to.toString(Qt::ISODate)});
    QVariant slip;
    while (lines.next()) {
        if (lines.value(0) != slip) {
            if (progress && !progress(written.slips))
                return {written.slips, written.lines, true};
            slip = lines.value(0);
            ++written.slips;
        }
        writeRow(out, {lines.value(1).toString(), isoDate(lines.value(2)), lines.value(3).toString(),
                       lines.value(4).toString(), lines.value(5).toString(), isoDate(lines.value(6)),
                       lines.value(7).toString(), lines.value(8).toString(), amount(lines.value(9)),
                       lines.value(10).toString(), lines.value(11).toString()});
        ++written.lines;
    }
    if (progress)
        progress(written.slips);
    return written;
}

Written writeFile(const Connection& connection, const QDate& from, const QDate& to, const QString& path,
                  const Progress& progress) {
    QSaveFile file(path);
    const auto failed = [&](const QString& reason) {
        return DbError(QStringLiteral("The CSV file '%1' cannot be written: %2.")
                           .arg(QDir::toNativeSeparators(path), reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failed(file.errorString());
    // Until commit() the rows go to a file of its own beside path, which is
    // removed when anything stops the writing.
    const Written written = write(connection, from, to, file, progress);
    if (written.cancelled)
        return written;
    if (!file.commit())
        throw failed(file.errorString());
    return written;
}

} // namespace SlipCsv
