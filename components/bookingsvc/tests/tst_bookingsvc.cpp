#include "bookingsvc/ReservationClass.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <functional>
#include <memory>

using bookingsvc::ReservationClass;
using desk::test::TempDataDir;

namespace {

std::unique_ptr<ReservationClass> connected(const TempDataDir& dir) {
    auto store = std::make_unique<ReservationClass>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

void fill(ReservationClass& s, qint32 number, const QDate& useDate, const QString& name) {
    s.setReserveNo(number);
    s.setReserveDate(useDate);
    s.setRecieveDate(QDate(2002, 2, 14));
    s.setCliantName(name);
    s.setZipCode(QStringLiteral("390-0874"));
    s.setAddress1(QStringLiteral("長野県"));
    s.setAddress2(QStringLiteral("松本市"));
    s.setAddress3(QStringLiteral("大手4-1"));
    s.setTelNo(QStringLiteral("0263-00-1234"));
    s.setQuantity(3);
    s.setBadget(12000);
    s.setArvTime(QStringLiteral("17:00"));
    s.setArvTimeChkIn(QStringLiteral("17:20"));
    s.setClRemarks(QStringLiteral("禁煙室"));
    s.setClGroupeName(QStringLiteral("山の会"));
    s.setClTravelAg(QStringLiteral("旅行社A"));
}

QVariantList properties(const ReservationClass& s) {
    return {s.ReserveNo(),  s.ReserveDate(), s.RecieveDate(),  s.CliantName(), s.ZipCode(),
            s.Address1(),   s.Address2(),    s.Address3(),     s.TelNo(),      s.Quantity(),
            s.Badget(),     s.ArvTime(),     s.ArvTimeChkIn(), s.ClRemarks(),  s.ClGroupeName(),
            s.ClTravelAg(), s.CheckInFlg(),  s.QuantityA(),    s.HtPayment()};
}

void addReservation(const TempDataDir& dir, qint32 number, const QDate& useDate = QDate(2002, 3, 1)) {
    auto store = connected(dir);
    fill(*store, number, useDate, QStringLiteral("山田太郎"));
    store->Msave();
}

// The stored row itself, read past the store.
QVariant column(const TempDataDir& dir, qint32 number, const QString& name) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Reservation))
        ->scalar(QStringLiteral("SELECT %1 FROM Reserve WHERE RvNo = %2").arg(name).arg(number));
}

} // namespace

class TestBookingSvc : public QObject {
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void lookUpsSearchForward_data();
    void lookUpsSearchForward();
    void checkInFlag_data();
    void checkInFlag();
    void saveAndSearch();
    void reservationsOfOneDay_data();
    void reservationsOfOneDay();
    void writesNeedAnExistingNumber_data();
    void writesNeedAnExistingNumber();
};

void TestBookingSvc::numbering_data() {
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty table") << QList<int>{} << 1;
    QTest::newRow("gap not reused") << QList<int>{1, 2, 7} << 8;
    QTest::newRow("highest not last") << QList<int>{9, 3} << 10;
}

void TestBookingSvc::numbering() {
    QFETCH(QList<int>, existing);
    QFETCH(int, expected);
    TempDataDir dir;
    for (int n : existing)
        addReservation(dir, n);
    auto store = connected(dir);
    store->SendReserveNo();
    QCOMPARE(store->ReserveNo(), expected);
    // The maximum query runs only when there is something to take the maximum of.
    QCOMPARE(store->RsSLNo() != nullptr, !existing.isEmpty());
}

// ReserveNoCheck answers 0 for a number in use; a look-up continues from where the
// previous one on the same store stopped.
void TestBookingSvc::lookUpsSearchForward_data() {
    QTest::addColumn<QList<int>>("asked");
    QTest::addColumn<QList<int>>("answers");
    QTest::newRow("taken") << QList<int>{7} << QList<int>{0};
    QTest::newRow("free") << QList<int>{9} << QList<int>{9};
    QTest::newRow("later row still found") << QList<int>{1, 7} << QList<int>{0, 0};
    QTest::newRow("same row found again") << QList<int>{2, 2} << QList<int>{0, 0};
    QTest::newRow("earlier row passed") << QList<int>{7, 1} << QList<int>{0, 1};
    QTest::newRow("nothing after a miss") << QList<int>{9, 2} << QList<int>{9, 2};
}

void TestBookingSvc::lookUpsSearchForward() {
    QFETCH(QList<int>, asked);
    QFETCH(QList<int>, answers);
    TempDataDir dir;
    for (int n : {1, 2, 7})
        addReservation(dir, n);
    auto store = connected(dir);
    QList<int> got;
    for (int n : asked)
        got << store->ReserveNoCheck(n);
    QCOMPARE(got, answers);
}

void TestBookingSvc::checkInFlag_data() {
    QTest::addColumn<bool>("flagOnSave");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("flagOnEdit");
    QTest::addColumn<bool>("stored");
    QTest::newRow("save ignores a set flag") << true << false << false << false;
    QTest::newRow("edit stores True") << false << true << true << true;
    QTest::newRow("edit stores False") << true << true << false << false;
}

void TestBookingSvc::checkInFlag() {
    QFETCH(bool, flagOnSave);
    QFETCH(bool, edit);
    QFETCH(bool, flagOnEdit);
    QFETCH(bool, stored);
    TempDataDir dir;
    for (bool editing : {false, true}) {
        if (editing && !edit)
            break;
        auto store = connected(dir);
        fill(*store, 5, QDate(2002, 3, editing ? 2 : 1), QStringLiteral("佐藤"));
        store->setCheckInFlg(editing ? flagOnEdit : flagOnSave);
        editing ? store->Medit() : store->Msave();
    }
    QCOMPARE(column(dir, 5, QStringLiteral("Rvchkflg")).toBool(), stored);
    QCOMPARE(column(dir, 5, QStringLiteral("RvProc")).toString(), QStringLiteral("o"));
    QCOMPARE(column(dir, 5, QStringLiteral("Count(*)")).toInt(), 1);
}

void TestBookingSvc::saveAndSearch() {
    TempDataDir dir;
    addReservation(dir, 1);
    ReservationClass expected;
    fill(expected, 42, QDate(2002, 3, 9), QStringLiteral("O'Hara 花子"));
    {
        auto store = connected(dir);
        fill(*store, 42, QDate(2002, 3, 9), QStringLiteral("O'Hara 花子"));
        store->setQuantityA(9); // kept in the object only
        store->Msave();
    }
    auto store = connected(dir);
    store->setReserveNo(42);
    store->EDsearch();
    QCOMPARE(properties(*store), properties(expected));

    // Not found: the number says so, every other property stays.
    auto missing = connected(dir);
    fill(*missing, 99, QDate(2010, 1, 1), QStringLiteral("未登録"));
    QVariantList before = properties(*missing);
    missing->EDsearch();
    before[0] = 0;
    QCOMPARE(properties(*missing), before);
}

void TestBookingSvc::reservationsOfOneDay_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("two that day") << QStringLiteral("2002/3/1") << QList<int>{1, 3};
    QTest::newRow("iso text") << QStringLiteral("2002-03-02") << QList<int>{2};
    QTest::newRow("none that day") << QStringLiteral("2002/3/5") << QList<int>{};
}

void TestBookingSvc::reservationsOfOneDay() {
    QFETCH(QString, day);
    QFETCH(QList<int>, expected);
    TempDataDir dir;
    addReservation(dir, 1, QDate(2002, 3, 1));
    addReservation(dir, 2, QDate(2002, 3, 2));
    addReservation(dir, 3, QDate(2002, 3, 1));
    auto store = connected(dir);
    store->setReserveDate(day);
    std::unique_ptr<desk::RowSet> rs = store->RsResv();
    store.reset(); // the caller's row set outlives the store
    QList<int> found;
    for (rs->moveFirst(); !rs->isEmpty() && !rs->eof(); rs->moveNext())
        found << rs->value(QStringLiteral("RvNo")).toInt();
    QCOMPARE(found, expected);
}

void TestBookingSvc::writesNeedAnExistingNumber_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("name"); // of reservation 2 afterwards
    QTest::addColumn<bool>("checkedIn");
    QTest::addColumn<int>("rows");
    for (int op = 0; op < 3; ++op)
        QTest::addRow("missing number, operation %d", op) << 8 << op << QStringLiteral("山田太郎") << false << 3;
    QTest::newRow("ChkIn") << 2 << 0 << QStringLiteral("山田太郎") << true << 3;
    QTest::newRow("Medit") << 2 << 1 << QStringLiteral("別人") << false << 3;
    QTest::newRow("Mdelete") << 2 << 2 << QString() << false << 2;
}

void TestBookingSvc::writesNeedAnExistingNumber() {
    QFETCH(int, number);
    QFETCH(int, operation);
    QFETCH(QString, name);
    QFETCH(bool, checkedIn);
    QFETCH(int, rows);
    TempDataDir dir;
    for (int n : {1, 2, 3})
        addReservation(dir, n);
    auto store = connected(dir);
    fill(*store, number, QDate(2002, 3, 1), QStringLiteral("別人"));
    const std::function<void()> ops[] = {[&] { store->ChkIn(); }, [&] { store->Medit(); },
                                         [&] {
                                             store->Mdelete();
                                         }};
    if (number == 8)
        QVERIFY_THROWS_EXCEPTION(desk::DbError, ops[operation]());
    else
        ops[operation]();
    QCOMPARE(column(dir, 2, QStringLiteral("RvName")).toString(), name);
    QCOMPARE(column(dir, 2, QStringLiteral("Rvchkflg")).toBool(), checkedIn);
    QCOMPARE(column(dir, 3, QStringLiteral("Rvchkflg")).toBool(), false);
    QCOMPARE(desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Reservation))
                 ->scalar(QStringLiteral("SELECT Count(*) FROM Reserve"))
                 .toInt(),
             rows);
}

QTEST_GUILESS_MAIN(TestBookingSvc)
#include "tst_bookingsvc.moc"
