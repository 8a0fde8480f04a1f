#include "convert/DateParts.h"

#include <QTest>

using namespace desk::convert;

class TestDateParts : public QObject {
    Q_OBJECT

private slots:
    void refusal_data();
    void refusal();
};

// Each row leaves one part (Y, M or D) of the three typed texts; the expected message is
// empty when the part passes.
void TestDateParts::refusal_data() {
    QTest::addColumn<char>("part");
    QTest::addColumn<int>("yearMode");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("message");

    const QString four = QStringLiteral("4桁で年号を入力してください。");
    const QString two = QStringLiteral("2桁で年号を入力してください。");
    const QString months = QStringLiteral("1から12までの月を入力してください。");
    const QString upTo31 = QStringLiteral("31までの数を入力してください。");
    const QString upTo30 = QStringLiteral("30までの数を入力してください。");
    const QString common = QStringLiteral("うるう年ではありません。28までの数を入力してください。");

    QTest::newRow("four-digit year") << 'Y' << 0 << QStringLiteral("2024") << QStringLiteral("") << QStringLiteral("")
                                     << QString();
    QTest::newRow("two digits where four are asked")
        << 'Y' << 0 << QStringLiteral("24") << QStringLiteral("") << QStringLiteral("") << four;
    QTest::newRow("two-digit year") << 'Y' << 1 << QStringLiteral("24") << QStringLiteral("") << QStringLiteral("")
                                    << QString();
    QTest::newRow("four digits where two are asked")
        << 'Y' << 1 << QStringLiteral("2024") << QStringLiteral("") << QStringLiteral("") << two;
    QTest::newRow("free year mode takes anything")
        << 'Y' << 2 << QStringLiteral("7") << QStringLiteral("") << QStringLiteral("") << QString();
    QTest::newRow("December") << 'M' << 0 << QStringLiteral("") << QStringLiteral("12") << QStringLiteral("")
                              << QString();
    QTest::newRow("month 13") << 'M' << 0 << QStringLiteral("") << QStringLiteral("13") << QStringLiteral("") << months;
    QTest::newRow("month 0") << 'M' << 0 << QStringLiteral("") << QStringLiteral("0") << QStringLiteral("") << months;
    QTest::newRow("empty month") << 'M' << 0 << QStringLiteral("") << QStringLiteral("") << QStringLiteral("")
                                 << months;
    QTest::newRow("January 31") << 'D' << 0 << QStringLiteral("2024") << QStringLiteral("1") << QStringLiteral("31")
                                << QString();
    QTest::newRow("January 32") << 'D' << 0 << QStringLiteral("2024") << QStringLiteral("1") << QStringLiteral("32")
                                << upTo31;
    QTest::newRow("April 31") << 'D' << 0 << QStringLiteral("2024") << QStringLiteral("4") << QStringLiteral("31")
                              << upTo30;
    QTest::newRow("month as written: 04 is not checked")
        << 'D' << 0 << QStringLiteral("2024") << QStringLiteral("04") << QStringLiteral("31") << QString();
    QTest::newRow("2/29 of a leap year") << 'D' << 0 << QStringLiteral("2024") << QStringLiteral("2")
                                         << QStringLiteral("29") << QString();
    QTest::newRow("2/29 of a common year")
        << 'D' << 0 << QStringLiteral("2023") << QStringLiteral("2") << QStringLiteral("29") << common;
    QTest::newRow("1900 is a common year")
        << 'D' << 0 << QStringLiteral("1900") << QStringLiteral("2") << QStringLiteral("29") << common;
    QTest::newRow("2000 is a leap year") << 'D' << 0 << QStringLiteral("2000") << QStringLiteral("2")
                                         << QStringLiteral("29") << QString();
}

void TestDateParts::refusal() {
    QFETCH(char, part);
    QFETCH(int, yearMode);
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(QString, message);

    std::optional<PartRefusal> refusal;
    if (part == 'Y')
        refusal = yearRefusal(year, yearMode);
    else if (part == 'M')
        refusal = monthRefusal(month);
    else
        refusal = dayRefusal(year, month, day);
    QCOMPARE(refusal ? refusal->text : QString(), message);
    // Only the month's message comes untitled.
    if (refusal)
        QCOMPARE(refusal->title.isEmpty(), part == 'M');
}

QTEST_APPLESS_MAIN(TestDateParts)
#include "tst_dateparts.moc"
