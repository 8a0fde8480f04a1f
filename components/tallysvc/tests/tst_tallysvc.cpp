#include "data/Connection.h"
#include "data/RowSet.h"
#include "tallysvc/TallyKinds.h"
#include "tallysvc/TallyResult.h"
#include "taxsvc/TaxSettings.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString isoDay(const QDate& d) {
    return d.toString(Qt::ISODate);
}

} // namespace

class TestTallySvc : public QObject {
    Q_OBJECT

private slots:
    void levyReturnOfAYear();
    void occupancyOfThreeNights_data();
    void occupancyOfThreeNights();
};

// A stay settled every day for 300 days: two levies a day make 600 rows, more than a compound
// statement of the file engine holds, and the room lines of 300 stays are read in several
// rounds. Every second stay pays a room above the band's bound, so a line credited to the
// wrong stay, or lost, shows in that day's band. Every third slip names its stay in other
// letter case, as a clerk may type it, and some numbers hold a quote or a backslash.
void TestTallySvc::levyReturnOfAYear() {
    desk::test::TempDataDir dir;
    QVERIFY(dir.isValid());
    using namespace taxsvc;
    const QDate first(2026, 1, 1);
    constexpr int Days = 300;
    writeLevies(
        *desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Option)),
        LevyTable(
            {{LevyKind::Bathing, QDate(2020, 1, 1), LevyMethod::Fixed, 150, 0, {}},
             {LevyKind::LodgingPrefecture, QDate(2020, 1, 1), LevyMethod::Bands, 0, 0, {{0, 100}, {10000, 200}}}}));
    {
        auto sales = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Sales));
        auto guests = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::DaySalesCliants));
        desk::Transaction salesTx(sales);
        desk::Transaction guestsTx(guests);
        sales->exec(u"UPDATE Commodities SET CRoomShare = 100 WHERE Ccode = '101'"_s);
        for (int i = 0; i < Days; ++i) {
            const QString stay = u"S%1%2"_s.arg(i, 3, 10, QLatin1Char('0')).arg(i % 50 == 7 ? u"\"\\"_s : QString());
            const QDate in = first.addDays(i);
            sales->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (?, ?, ?, 0)"_s,
                        {i + 1, isoDay(in), i % 3 ? stay : stay.toLower()});
            sales->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, "
                        u"BTServiceFee, BTSalesTax) VALUES (?, '101', '', 1, ?, 0, 10)"_s,
                        {i + 1, i % 2 ? 15000 : 8000});
            guests->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckOutFlag, CheckOutDate) "
                         u"VALUES (?, ?, 1, ?)"_s,
                         {stay, isoDay(in), isoDay(in.addDays(1))});
            guests->exec(u"INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES (?, 1, 0)"_s, {stay});
        }
        salesTx.commit();
        guestsTx.commit();
    }

    tallysvc::TallyResult result(dir.path(), tallysvc::LevyKind, first, first.addDays(Days));
    desk::RowSet& rows = result.rows();
    QCOMPARE(rows.recordCount(), 2 * Days);
    int row = 0;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext(), ++row) {
        const int stay = row / 2;
        const bool bathing = row % 2 == 0;
        const QString where = u"row %1"_s.arg(row);
        QVERIFY2(rows.value(u"日付"_s).toString() == first.addDays(stay + 1).toString(u"yyyy/MM/dd"_s),
                 qPrintable(where));
        QVERIFY2(rows.value(u"税目"_s).toString() == (bathing ? u"入湯税"_s : u"宿泊税（都道府県）"_s),
                 qPrintable(where));
        const int expected = bathing ? 150 : (stay % 2 ? 200 : 100);
        QVERIFY2(rows.value(u"税額"_s).toInt() == expected,
                 qPrintable(where + u": "_s + rows.value(u"税額"_s).toString()));
    }
}

void TestTallySvc::occupancyOfThreeNights_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>(
        "expected"); // 日付 販売室数 稼働室数 客室稼働率 宿泊人数 定員 定員稼働率 室料 平均室料
    QTest::newRow("two rooms of three") << 0 << QStringList{u"2026/12/08"_s, u"2"_s,    u"3"_s,     u"66.7"_s, u"5"_s,
                                                            u"8"_s,          u"62.5"_s, u"50000"_s, u"25000"_s};
    QTest::newRow("one left") << 1 << QStringList{u"2026/12/09"_s, u"1"_s,    u"3"_s,     u"33.3"_s, u"2"_s,
                                                  u"8"_s,          u"25.0"_s, u"20000"_s, u"20000"_s};
    QTest::newRow("empty house") << 2 << QStringList{u"2026/12/10"_s, u"0"_s,   u"3"_s, u"0.0"_s, u"0"_s,
                                                     u"8"_s,          u"0.0"_s, u"0"_s, u"0"_s};
    QTest::newRow("the period") << 3 << QStringList{u"期間計"_s, u"3"_s,    u"9"_s,     u"33.3"_s, u"7"_s,
                                                    u"24"_s,     u"29.2"_s, u"70000"_s, u"23333"_s};
}

// Three rooms in service (capacity 8) and one under repair; a stay of two nights in 201 and
// one of a night in 202, and a party not yet in a room, which sells none. The room charges
// (the 1泊2食 lines, not the beer) are spread over each stay's nights.
void TestTallySvc::occupancyOfThreeNights() {
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    desk::test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const QDate first(2026, 12, 8);
    {
        auto option = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Option));
        option->exec(u"DELETE FROM Rooms"_s);
        option->exec(u"INSERT INTO Rooms (RoomCode, Capacity, InService) VALUES ('201', 2, 1), ('202', 4, 1), "
                     u"('203', 2, 1), ('204', 2, 0)"_s);
        auto reservations = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Reservation));
        reservations->exec(u"INSERT INTO RoomStays (RoomCode, FirstNight, Nights, Guests, RvNo, CheckInNO, StayState) "
                           u"VALUES ('201', ?, 2, 2, 0, 'C1', 2), ('202', ?, 1, 3, 0, 'C2', 2), "
                           u"('', ?, 1, 2, 7, '', 0)"_s,
                           {isoDay(first), isoDay(first), isoDay(first)});
        auto guests = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::DaySalesCliants));
        guests->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckOutFlag, CheckOutDate) VALUES "
                     u"('C1', ?, 1, ?), ('C2', ?, 1, ?)"_s,
                     {isoDay(first), isoDay(first.addDays(2)), isoDay(first), isoDay(first.addDays(1))});
        auto sales = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Sales));
        sales->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES "
                    u"(1, ?, 'C1', 0), (2, ?, 'C2', 0)"_s,
                    {isoDay(first.addDays(2)), isoDay(first.addDays(1))});
        sales->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, "
                    u"BTSalesTax) VALUES (1, '101', '', 4, 10000, 10, 10), (1, '301', '', 2, 650, 0, 10), "
                    u"(2, '101', '', 3, 10000, 10, 10)"_s);
    }

    tallysvc::TallyResult result(dir.path(), tallysvc::OccupancyKind, first, first.addDays(2));
    desk::RowSet& rows = result.rows();
    QCOMPARE(rows.recordCount(), 4);
    rows.moveFirst();
    for (int i = 0; i < row; ++i)
        rows.moveNext();
    QStringList shown;
    for (const QString& column : {u"日付"_s, u"販売室数"_s, u"稼働室数"_s, u"客室稼働率"_s, u"宿泊人数"_s, u"定員"_s,
                                  u"定員稼働率"_s, u"室料"_s, u"平均室料"_s})
        shown << rows.value(column).toString();
    QCOMPARE(shown, expected);
}

QTEST_GUILESS_MAIN(TestTallySvc)
#include "tst_tallysvc.moc"
