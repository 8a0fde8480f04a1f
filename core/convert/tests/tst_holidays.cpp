#include "convert/Holidays.h"

#include <QTest>

using namespace desk::convert;

class TestHolidays : public QObject {
    Q_OBJECT

private slots:
    void wholeYear_data();
    void wholeYear();
    void singleDay_data();
    void singleDay();
};

// Every holiday of a year as "M/d name", in date order: a day too many fails as surely as a
// day missing.
void TestHolidays::wholeYear_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("2019: the accession, ten days in a row, no emperor's birthday")
        << 2019
        << QStringList{
               QStringLiteral("1/1 元日"),
               QStringLiteral("1/14 成人の日"),
               QStringLiteral("2/11 建国記念の日"),
               QStringLiteral("3/21 春分の日"),
               QStringLiteral("4/29 昭和の日"),
               QStringLiteral("4/30 国民の休日"),
               QStringLiteral("5/1 即位の日"),
               QStringLiteral("5/2 国民の休日"),
               QStringLiteral("5/3 憲法記念日"),
               QStringLiteral("5/4 みどりの日"),
               QStringLiteral("5/5 こどもの日"),
               QStringLiteral("5/6 振替休日"),
               QStringLiteral("7/15 海の日"),
               QStringLiteral("8/11 山の日"),
               QStringLiteral("8/12 振替休日"),
               QStringLiteral("9/16 敬老の日"),
               QStringLiteral("9/23 秋分の日"),
               QStringLiteral("10/14 体育の日"),
               QStringLiteral("10/22 即位礼正殿の儀"),
               QStringLiteral("11/3 文化の日"),
               QStringLiteral("11/4 振替休日"),
               QStringLiteral("11/23 勤労感謝の日"),
           };
    QTest::newRow("2020: the games move three holidays; Sunday 5/3 gives 5/6")
        << 2020
        << QStringList{
               QStringLiteral("1/1 元日"),          QStringLiteral("1/13 成人の日"),
               QStringLiteral("2/11 建国記念の日"), QStringLiteral("2/23 天皇誕生日"),
               QStringLiteral("2/24 振替休日"),     QStringLiteral("3/20 春分の日"),
               QStringLiteral("4/29 昭和の日"),     QStringLiteral("5/3 憲法記念日"),
               QStringLiteral("5/4 みどりの日"),    QStringLiteral("5/5 こどもの日"),
               QStringLiteral("5/6 振替休日"),      QStringLiteral("7/23 海の日"),
               QStringLiteral("7/24 スポーツの日"), QStringLiteral("8/10 山の日"),
               QStringLiteral("9/21 敬老の日"),     QStringLiteral("9/22 秋分の日"),
               QStringLiteral("11/3 文化の日"),     QStringLiteral("11/23 勤労感謝の日"),
           };
    QTest::newRow("2021: the postponed games; 山の日 on a Sunday")
        << 2021
        << QStringList{
               QStringLiteral("1/1 元日"),           QStringLiteral("1/11 成人の日"),
               QStringLiteral("2/11 建国記念の日"),  QStringLiteral("2/23 天皇誕生日"),
               QStringLiteral("3/20 春分の日"),      QStringLiteral("4/29 昭和の日"),
               QStringLiteral("5/3 憲法記念日"),     QStringLiteral("5/4 みどりの日"),
               QStringLiteral("5/5 こどもの日"),     QStringLiteral("7/22 海の日"),
               QStringLiteral("7/23 スポーツの日"),  QStringLiteral("8/8 山の日"),
               QStringLiteral("8/9 振替休日"),       QStringLiteral("9/20 敬老の日"),
               QStringLiteral("9/23 秋分の日"),      QStringLiteral("11/3 文化の日"),
               QStringLiteral("11/23 勤労感謝の日"),
           };
    QTest::newRow("2026: a day between 敬老の日 and 秋分の日")
        << 2026
        << QStringList{
               QStringLiteral("1/1 元日"),          QStringLiteral("1/12 成人の日"),
               QStringLiteral("2/11 建国記念の日"), QStringLiteral("2/23 天皇誕生日"),
               QStringLiteral("3/20 春分の日"),     QStringLiteral("4/29 昭和の日"),
               QStringLiteral("5/3 憲法記念日"),    QStringLiteral("5/4 みどりの日"),
               QStringLiteral("5/5 こどもの日"),    QStringLiteral("5/6 振替休日"),
               QStringLiteral("7/20 海の日"),       QStringLiteral("8/11 山の日"),
               QStringLiteral("9/21 敬老の日"),     QStringLiteral("9/22 国民の休日"),
               QStringLiteral("9/23 秋分の日"),     QStringLiteral("10/12 スポーツの日"),
               QStringLiteral("11/3 文化の日"),     QStringLiteral("11/23 勤労感謝の日"),
           };
}

void TestHolidays::wholeYear() {
    QFETCH(int, year);
    QFETCH(QStringList, expected);

    QStringList found;
    for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1)) {
        const QString name = holidayName(day);
        if (!name.isEmpty()) {
            found << day.toString(QStringLiteral("M/d")) + QLatin1Char(' ') + name;
        }
    }
    QCOMPARE(found, expected);
}

// Days of the older rules: fixed dates before the Monday holidays, the substitute that only
// ever fell on a Monday, the first days of the law.
void TestHolidays::singleDay_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");

    QTest::newRow("before the law") << QDate(1948, 5, 3) << QString();
    QTest::newRow("first 秋分の日") << QDate(1948, 9, 23) << QStringLiteral("秋分の日");
    QTest::newRow("成人の日 still on the 15th") << QDate(1999, 1, 15) << QStringLiteral("成人の日");
    QTest::newRow("体育の日 still on the 10th") << QDate(1999, 10, 10) << QStringLiteral("体育の日");
    QTest::newRow("海の日 on the 20th") << QDate(2002, 7, 20) << QStringLiteral("海の日");
    QTest::newRow("敬老の日 on the 15th") << QDate(2002, 9, 15) << QStringLiteral("敬老の日");
    QTest::newRow("first substitute day") << QDate(1973, 4, 30) << QStringLiteral("振替休日");
    QTest::newRow("Sunday 4/29 before substitutes") << QDate(1962, 4, 30) << QString();
    QTest::newRow("old rule: the Monday only") << QDate(2006, 5, 4) << QStringLiteral("国民の休日");
    QTest::newRow("old rule: no 5/6 after a Sunday 5/3") << QDate(1998, 5, 6) << QString();
    QTest::newRow("old rule: Monday 5/4 after a Sunday 5/3") << QDate(1998, 5, 4) << QStringLiteral("振替休日");
    QTest::newRow("emperor's birthday in Heisei") << QDate(2018, 12, 23) << QStringLiteral("天皇誕生日");
    QTest::newRow("emperor's birthday in Showa") << QDate(1988, 4, 29) << QStringLiteral("天皇誕生日");
    QTest::newRow("みどりの日 on 4/29") << QDate(2006, 4, 29) << QStringLiteral("みどりの日");
    QTest::newRow("the funeral") << QDate(1989, 2, 24) << QStringLiteral("昭和天皇の大喪の礼");
    QTest::newRow("vernal equinox 1960") << QDate(1960, 3, 20) << QStringLiteral("春分の日");
    QTest::newRow("vernal equinox 1978") << QDate(1978, 3, 21) << QStringLiteral("春分の日");
    QTest::newRow("autumnal equinox 2012") << QDate(2012, 9, 22) << QStringLiteral("秋分の日");
    QTest::newRow("a Saturday") << QDate(2026, 12, 5) << QString();
    QTest::newRow("invalid date") << QDate() << QString();
}

void TestHolidays::singleDay() {
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QCOMPARE(holidayName(date), name);
}

QTEST_GUILESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
