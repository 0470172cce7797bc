#include "AmountInWords.h"
#include "FieldFormat.h"

#include <QDate>
#include <QTest>
#include <limits>

using AmountInWords::Numbering;
using FieldFormat::AmountPattern;

class TestAmountWords : public QObject {
    Q_OBJECT
private slots:
    void indianAmounts_data() {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0") << qint64(0) << "Rupees Zero Only";
        QTest::newRow("1") << qint64(100) << "Rupees One Only";
        QTest::newRow("15") << qint64(1500) << "Rupees Fifteen Only";
        QTest::newRow("100") << qint64(10000) << "Rupees One Hundred Only";
        QTest::newRow("1,00,000") << qint64(10000000) << "Rupees One Lakh Only";
        QTest::newRow("12,34,56,789.50") << qint64(12345678950)
                                         << "Rupees Twelve Crore Thirty Four Lakh Fifty Six Thousand Seven "
                                            "Hundred Eighty Nine and Fifty Paise "
                                            "Only";
        QTest::newRow("paise only") << qint64(5) << "Rupees Zero and Five Paise Only";
        QTest::newRow("teens and tens") << qint64(1911) << "Rupees Nineteen and Eleven Paise Only";
        QTest::newRow("1,001") << qint64(100100) << "Rupees One Thousand One Only";
        QTest::newRow("99,99,999")
            << qint64(999999900)
            << "Rupees Ninety Nine Lakh Ninety Nine Thousand Nine Hundred Ninety Nine Only";
        QTest::newRow("1 crore") << qint64(1000000000) << "Rupees One Crore Only";
        QTest::newRow("1,00,00,00,000 (hundred crore)")
            << qint64(100000000000) << "Rupees One Hundred Crore Only";
        QTest::newRow("1 lakh crore") << qint64(100000000000000) << "Rupees One Lakh Crore Only";
        QTest::newRow("negative") << qint64(-2550) << "Minus Rupees Twenty Five and Fifty Paise Only";
    }
    void indianAmounts() {
        QFETCH(qint64, cents);
        QFETCH(QString, expected);
        QCOMPARE(AmountInWords::amount(cents, Numbering::Indian), expected);
    }

    void internationalAmounts_data() {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0") << qint64(0) << "Rupees Zero Only";
        QTest::newRow("15") << qint64(1500) << "Rupees Fifteen Only";
        QTest::newRow("100,000") << qint64(10000000) << "Rupees One Hundred Thousand Only";
        QTest::newRow("1,000,000") << qint64(100000000) << "Rupees One Million Only";
        QTest::newRow("123,456,789.50") << qint64(12345678950)
                                        << "Rupees One Hundred Twenty Three Million Four Hundred Fifty Six "
                                           "Thousand Seven Hundred Eighty Nine "
                                           "and Fifty Paise Only";
        QTest::newRow("2 billion 5") << qint64(200000000500) << "Rupees Two Billion Five Only";
        QTest::newRow("1 trillion") << qint64(100000000000000) << "Rupees One Trillion Only";
    }
    void internationalAmounts() {
        QFETCH(qint64, cents);
        QFETCH(QString, expected);
        QCOMPARE(AmountInWords::amount(cents, Numbering::International), expected);
    }

    void currencyWordsAreTheTemplates() {
        QCOMPARE(AmountInWords::amount(123456, Numbering::International, {"Dollars", "Cents"}),
                 QString("Dollars One Thousand Two Hundred Thirty Four and Fifty Six Cents Only"));
        QCOMPARE(AmountInWords::amount(50, Numbering::Indian, {"", ""}), QString("Zero and Fifty Only"));
    }

    void extremeNumbersDoNotOverflow() {
        const qint64 lowest = std::numeric_limits<qint64>::min();
        QVERIFY(AmountInWords::number(lowest, Numbering::Indian).startsWith("Minus Nine"));
        QVERIFY(AmountInWords::number(std::numeric_limits<qint64>::max(), Numbering::International)
                    .startsWith("Nine Million"));
        QCOMPARE(AmountInWords::number(0, Numbering::Indian), QString("Zero"));
    }

    void amountFormats_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "0.00" << qint64(123456750) << "1234567.50";
        QTest::newRow("plain zero") << "0.00" << qint64(0) << "0.00";
        QTest::newRow("plain small") << "0.00" << qint64(5) << "0.05";
        QTest::newRow("thousands") << "#,##0.00" << qint64(123456750) << "1,234,567.50";
        QTest::newRow("thousands below 1000") << "#,##0.00" << qint64(99999) << "999.99";
        QTest::newRow("thousands exactly 1000") << "#,##0.00" << qint64(100000) << "1,000.00";
        QTest::newRow("indian") << "#,##,##0.00" << qint64(123456750) << "12,34,567.50";
        QTest::newRow("indian crore") << "#,##,##0.00" << qint64(12345678950) << "12,34,56,789.50";
        QTest::newRow("indian lakh") << "#,##,##0.00" << qint64(10000000) << "1,00,000.00";
        QTest::newRow("indian negative") << "#,##,##0.00" << qint64(-123456750) << "-12,34,567.50";
        QTest::newRow("thousands negative") << "#,##0.00" << qint64(-100000) << "-1,000.00";
        QTest::newRow("plain negative") << "0.00" << qint64(-5) << "-0.05";
    }
    void amountFormats() {
        QFETCH(QString, pattern);
        QFETCH(qint64, cents);
        QFETCH(QString, expected);
        const auto parsed = FieldFormat::amountPattern(pattern);
        QVERIFY(parsed);
        QCOMPARE(FieldFormat::formatCents(cents, *parsed), expected);
    }

    void unknownAmountFormats() {
        for (const char* text : {"", "0.0", "#,##0", "##,##0.00", "0.000", "#,###.00"})
            QVERIFY2(!FieldFormat::amountPattern(text), text);
    }

    void dates_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dashes") << QVariant("2024-03-05") << "dd-MM-yyyy"
                                << "05-03-2024";
        QTest::newRow("boxes") << QVariant("2024-03-05") << "ddMMyyyy"
                               << "05032024";
        QTest::newRow("short year") << QVariant("2024-03-05") << "dd/MM/yy"
                                    << "05/03/24";
        QTest::newRow("date value") << QVariant(QDate(2023, 12, 31)) << "dd.MM.yyyy"
                                    << "31.12.2023";
        QTest::newRow("not a date") << QVariant("soon") << "ddMMyyyy"
                                    << "soon";
    }
    void dates() {
        QFETCH(QVariant, stored);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QVERIFY(FieldFormat::datePatternProblem(pattern).isEmpty());
        QCOMPARE(FieldFormat::formatDate(stored, pattern), expected);
    }

    void badDatePatterns() {
        QVERIFY(FieldFormat::datePatternProblem("hh:mm").contains("'h'"));
        QVERIFY(FieldFormat::datePatternProblem("'on' dd").contains("'''"));
        QVERIFY(FieldFormat::datePatternProblem("--").contains("no day"));
        QVERIFY(FieldFormat::datePatternProblem("").contains("empty"));
    }
};

QTEST_GUILESS_MAIN(TestAmountWords)
#include "test_amountwords.moc"
