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

QTEST_GUILESS_MAIN(TestTallySvc)
#include "tst_tallysvc.moc"
