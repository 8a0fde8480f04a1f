#include "data/Connection.h"
#include "tallysvc/MealSheet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

using namespace Qt::StringLiterals;
using tallysvc::MealChange;
using tallysvc::MealCount;
using tallysvc::MealDay;
using tallysvc::MealSheet;

Q_DECLARE_METATYPE(tallysvc::MealCount)

namespace {

QString iso(const QDate& d) {
    return d.toString(Qt::ISODate);
}

std::shared_ptr<desk::Connection> open(const desk::test::TempDataDir& dir, const char* file) {
    return desk::Connection::open(dir.path(), QString::fromLatin1(file));
}

// The plans of the sample commodities: 101 1泊2食 both meals, 102 1泊朝食 breakfast, 104
// 小人 both; 201 夕食（会席） an extra dinner rung up on a slip.
void givePlansMeals(const desk::test::TempDataDir& dir) {
    auto sales = open(dir, desk::DbFile::Sales);
    sales->exec(u"UPDATE Commodities SET CMealDinner = 1, CMealBreakfast = 1 WHERE Ccode IN ('101', '104')"_s);
    sales->exec(u"UPDATE Commodities SET CMealBreakfast = 1 WHERE Ccode = '102'"_s);
    sales->exec(u"UPDATE Commodities SET CMealDinner = 1 WHERE Ccode = '201'"_s);
}

void addReservation(const desk::test::TempDataDir& dir, int number, const QDate& arrival, int nights, int guests,
                    int children, const QString& plan, const QString& childPlan = {}, const QString& room = {}) {
    auto reservations = open(dir, desk::DbFile::Reservation);
    reservations->exec(u"INSERT INTO Reserve (RvNo, RvUseDate, RvName, RvClNumber, RvNights, RvChildren, RvPlan, "
                       u"RvChildPlan, RvMealNote, Rvchkflg) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"_s,
                       {number, iso(arrival), u"予約%1"_s.arg(number), guests, nights, children, plan, childPlan,
                        u"えびアレルギー"_s});
    if (!room.isEmpty())
        reservations->exec(u"INSERT INTO RoomStays (RoomCode, FirstNight, Nights, Guests, RvNo, CheckInNO, StayState) "
                           u"VALUES (?, ?, ?, ?, ?, '', 0)"_s,
                           {room, iso(arrival), nights, guests, number});
}

void addCheckIn(const desk::test::TempDataDir& dir, const QString& number, const QDate& arrival, int nights, int guests,
                const QString& plan, const QDate& checkedOut = {}) {
    auto clients = open(dir, desk::DbFile::DaySalesCliants);
    clients->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckInNights, CheckInPlan, "
                  u"CheckOutFlag, CheckOutDate) VALUES (?, ?, ?, ?, ?, ?, ?)"_s,
                  {number, iso(arrival), u"宿泊%1"_s.arg(number), nights, plan, checkedOut.isValid() ? 1 : 0,
                   checkedOut.isValid() ? QVariant(iso(checkedOut)) : QVariant()});
    clients->exec(u"INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES (?, ?, 0)"_s, {number, guests});
}

void addSalesLine(const desk::test::TempDataDir& dir, int slip, const QDate& day, const QString& checkIn,
                  const QString& code, int quantity) {
    auto sales = open(dir, desk::DbFile::Sales);
    sales->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (?, ?, ?, 0)"_s,
                {slip, iso(day), checkIn});
    sales->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, "
                u"BTSalesTax) VALUES (?, ?, '', ?, 1000, 0, 10)"_s,
                {slip, code, quantity});
}

const tallysvc::MealParty* partyOf(const MealDay& day, const QString& key) {
    for (const tallysvc::MealParty& p : day.parties) {
        if (p.key == key)
            return &p;
    }
    return nullptr;
}

} // namespace

class TestMealSheet : public QObject {
    Q_OBJECT

private slots:
    void workedDay_data();
    void workedDay();
    void changesSincePrint();
    void pastDayReconciles_data();
    void pastDayReconciles();
};

void TestMealSheet::workedDay_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<MealCount>("expected");
    QTest::addColumn<int>("parties");
    QTest::newRow("yesterday: nobody yet") << -1 << MealCount{} << 0;
    QTest::newRow("today: dinners 2 + 1 child") << 0 << MealCount{2, 1, 0, 0} << 2;
    QTest::newRow("tomorrow: breakfasts 2 + 1 child + 1") << 1 << MealCount{0, 0, 3, 1} << 2;
    QTest::newRow("the day after: gone") << 2 << MealCount{} << 0;
}

// Two parties: a reservation of 1泊2食 for 2 adults and a child arriving today, not checked
// in yet, in room 202; a guest of 1泊朝食 checked in today, leaving tomorrow. A reservation of
// last week that never came is no party; a settled stay of last week none either.
void TestMealSheet::workedDay() {
    QFETCH(int, offset);
    QFETCH(MealCount, expected);
    QFETCH(int, parties);
    desk::test::TempDataDir dir;
    QVERIFY(dir.isValid());
    givePlansMeals(dir);
    const QDate today(2026, 12, 8);
    addReservation(dir, 1, today, 1, 3, 1, u"101"_s, {}, u"202"_s);
    addReservation(dir, 2, today.addDays(-7), 14, 2, 0, u"101"_s);
    addCheckIn(dir, u"1001"_s, today, 1, 1, u"102"_s);
    addCheckIn(dir, u"0900"_s, today.addDays(-7), 10, 4, u"101"_s, today.addDays(-6));

    const MealDay day = MealSheet(dir.path(), today).day(today.addDays(offset));
    QCOMPARE(day.total, expected);
    QCOMPARE(day.parties.size(), parties);
    if (parties == 0)
        return;
    // By room, the unassigned last; the plans' counts add up to the total.
    QCOMPARE(day.parties.at(0).key, u"R1"_s);
    QCOMPARE(day.parties.at(0).rooms, u"202"_s);
    QCOMPARE(day.parties.at(1).key, u"C1001"_s);
    QCOMPARE(day.parties.at(1).rooms, QString());
    MealCount byPlan;
    for (const tallysvc::MealPlanCount& plan : day.plans)
        byPlan += plan.meals;
    QCOMPARE(byPlan, expected);

    const QList<MealSheet::Line> lines = MealSheet::lines({day});
    const auto note = std::find_if(lines.begin(), lines.end(),
                                   [](const MealSheet::Line& l) { return l.note.contains(u"えびアレルギー"_s); });
    QVERIFY(note != lines.end());
    QCOMPARE(note->room, u"202"_s);
}

// Printed with two parties; then one is cancelled, one changes its guests, one is booked:
// each is marked, and printing again clears the marks.
void TestMealSheet::changesSincePrint() {
    desk::test::TempDataDir dir;
    QVERIFY(dir.isValid());
    givePlansMeals(dir);
    const QDate today(2026, 12, 8);
    addReservation(dir, 1, today, 2, 2, 0, u"101"_s);
    addReservation(dir, 2, today, 1, 2, 0, u"101"_s);
    const MealSheet sheet(dir.path(), today);
    const QDate tomorrow = today.addDays(1);
    QVERIFY(!sheet.day(tomorrow).printedAt.isValid());
    sheet.recordPrint(sheet.day(tomorrow), QDateTime(today, QTime(15, 0)));

    auto reservations = open(dir, desk::DbFile::Reservation);
    reservations->exec(u"DELETE FROM Reserve WHERE RvNo = 2"_s);
    reservations->exec(u"UPDATE Reserve SET RvClNumber = 3 WHERE RvNo = 1"_s);
    addReservation(dir, 3, tomorrow, 1, 1, 0, u"102"_s);
    // The sheet of another day was never printed: nothing is marked there.
    QCOMPARE(sheet.day(today).parties.size(), 1);
    QCOMPARE(sheet.day(today).parties.at(0).change, MealChange::None);

    MealDay day = sheet.day(tomorrow);
    QCOMPARE(day.printedAt, QDateTime(today, QTime(15, 0)));
    QCOMPARE(day.parties.size(), 3);
    QVERIFY(partyOf(day, u"R1"_s) && partyOf(day, u"R2"_s) && partyOf(day, u"R3"_s));
    QCOMPARE(partyOf(day, u"R1"_s)->change, MealChange::Changed);
    QCOMPARE(partyOf(day, u"R2"_s)->change, MealChange::Cancelled);
    QCOMPARE(partyOf(day, u"R2"_s)->meals, MealCount{});
    QCOMPARE(partyOf(day, u"R3"_s)->change, MealChange::Added);
    // Checking in is no change: the party keeps its reservation's key.
    reservations->exec(u"UPDATE Reserve SET Rvchkflg = 1 WHERE RvNo = 1"_s);
    addCheckIn(dir, u"1001"_s, today, 2, 3, u"101"_s);
    open(dir, desk::DbFile::DaySalesCliants)->exec(u"UPDATE CheckInCliants SET CheckInRvNo = 1"_s);
    QCOMPARE(partyOf(sheet.day(tomorrow), u"R1"_s)->checkInNo, u"1001"_s);

    sheet.recordPrint(sheet.day(tomorrow), QDateTime(today, QTime(16, 0)));
    day = sheet.day(tomorrow);
    QCOMPARE(day.parties.size(), 2);
    for (const tallysvc::MealParty& p : day.parties)
        QCOMPARE(p.change, MealChange::None);
}

void TestMealSheet::pastDayReconciles_data() {
    QTest::addColumn<int>("charged");
    QTest::addColumn<int>("mismatches");
    // 2 guests × 2 nights of 1泊2食.
    QTest::newRow("charged as counted") << 4 << 0;
    QTest::newRow("a night short") << 2 << 1;
}

// A settled stay of two nights on last week's days: its plan lines against the guest-nights
// the sheet counts, and the extra dinner rung up that day counted apart.
void TestMealSheet::pastDayReconciles() {
    QFETCH(int, charged);
    QFETCH(int, mismatches);
    desk::test::TempDataDir dir;
    QVERIFY(dir.isValid());
    givePlansMeals(dir);
    const QDate today(2026, 12, 8);
    const QDate arrival = today.addDays(-7);
    // The slips name the stay in other letter case, as the files let a clerk type it.
    addCheckIn(dir, u"K900"_s, arrival, 2, 2, u"101"_s, arrival.addDays(2));
    addSalesLine(dir, 1, arrival.addDays(2), u"k900"_s, u"101"_s, charged);
    addSalesLine(dir, 2, arrival.addDays(1), u"k900"_s, u"201"_s, 2);

    const MealDay day = MealSheet(dir.path(), today).day(arrival.addDays(1));
    QCOMPARE(day.total, (MealCount{2, 0, 2, 0}));
    QVERIFY(day.reconciled);
    QCOMPARE(day.mismatches.size(), mismatches);
    QCOMPARE(day.settledMatching, 1 - mismatches);
    QCOMPARE(day.extras.size(), 1);
    QCOMPARE(day.extras.at(0).dinners, 2);
    QCOMPARE(day.extras.at(0).breakfasts, 0);
    // Today is not checked against slips.
    QVERIFY(!MealSheet(dir.path(), today).day(today).reconciled);
}

QTEST_GUILESS_MAIN(TestMealSheet)
#include "tst_mealsheet.moc"
