#include "SelectionFormula.h"
#include "ReportError.h"

namespace SelectionFormula {

namespace {

class Parser {
public:
    Parser(const QString& formula, const QString& filePath) : m_text(formula), m_file(filePath) {}

    std::vector<Condition> conditions() {
        std::vector<Condition> result;
        skipBlanks();
        if (atEnd())
            return result;
        result.push_back(condition());
        skipBlanks();
        while (!atEnd()) {
            if (!takeWord(QStringLiteral("and")))
                fail(QStringLiteral("\"and\" or the end of the formula"));
            result.push_back(condition());
            skipBlanks();
        }
        return result;
    }

private:
    Condition condition() {
        skipBlanks();
        if (!take(QLatin1Char('{')) || peek() == QLatin1Char('?'))
            fail(QStringLiteral("a field such as {tblSlip.sid}"));
        const qsizetype start = m_pos;
        const QString name = upTo(QLatin1Char('}'));
        const auto column = SlipColumns::qualified(name);
        if (!column)
            error(QStringLiteral("the selection formula \"%1\" names an unknown field {%2} at character %3")
                      .arg(m_text, name, QString::number(start)));
        skipBlanks();
        if (!take(QLatin1Char('=')))
            fail(QStringLiteral("\"=\""));
        skipBlanks();
        Condition result{*column, QVariant(), QString()};
        if (take(QLatin1Char('{'))) {
            if (!take(QLatin1Char('?')))
                fail(QStringLiteral("a parameter field such as {?slipKey}"));
            result.parameter = upTo(QLatin1Char('}')).trimmed();
            if (result.parameter.isEmpty())
                fail(QStringLiteral("a parameter field's name"));
        } else if (peek() == QLatin1Char('\'') || peek() == QLatin1Char('"')) {
            result.literal = quoted();
        } else {
            result.literal = number();
        }
        return result;
    }

    QVariant number() {
        const qsizetype start = m_pos;
        if (peek() == QLatin1Char('-'))
            ++m_pos;
        while (peek().isDigit())
            ++m_pos;
        if (peek() == QLatin1Char('.')) {
            ++m_pos;
            while (peek().isDigit())
                ++m_pos;
        }
        const QString digits = m_text.mid(start, m_pos - start);
        bool ok = false;
        if (const qlonglong whole = digits.toLongLong(&ok); ok)
            return whole;
        if (const double value = digits.toDouble(&ok); ok && digits.contains(QLatin1Char('.')))
            return value;
        m_pos = start;
        fail(QStringLiteral("a number, a quoted text or a parameter field"));
    }

    QString quoted() {
        const QChar quote = m_text[m_pos++];
        QString value;
        while (!atEnd()) {
            const QChar c = m_text[m_pos++];
            if (c != quote) {
                value += c;
            } else if (peek() == quote) {
                value += quote;
                ++m_pos;
            } else {
                return value;
            }
        }
        fail(QStringLiteral("the closing quote"));
    }

    QString upTo(QChar end) {
        const qsizetype close = m_text.indexOf(end, m_pos);
        if (close < 0)
            fail(QStringLiteral("\"%1\"").arg(end));
        const QString inside = m_text.mid(m_pos, close - m_pos);
        m_pos = close + 1;
        return inside;
    }

    bool takeWord(const QString& word) {
        if (m_text.mid(m_pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        const qsizetype after = m_pos + word.size();
        if (after < m_text.size() && (m_text[after].isLetterOrNumber() || m_text[after] == QLatin1Char('_')))
            return false;
        m_pos = after;
        return true;
    }

    bool take(QChar c) {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }

    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    bool atEnd() const { return m_pos >= m_text.size(); }
    void skipBlanks() {
        while (!atEnd() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    [[noreturn]] void fail(const QString& expected) {
        error(QStringLiteral("the selection formula \"%1\" is not understood at character %2: expected %3. "
                             "A formula is one or more {table.column} = value joined by \"and\".")
                  .arg(m_text, QString::number(m_pos + 1), expected));
    }
    [[noreturn]] void error(const QString& problem) { throw ReportError::inTemplate(m_file, problem); }

    const QString& m_text;
    const QString& m_file;
    qsizetype m_pos = 0;
};

} // namespace

std::vector<Condition> parse(const QString& formula, const QString& filePath) {
    return Parser(formula, filePath).conditions();
}

} // namespace SelectionFormula
