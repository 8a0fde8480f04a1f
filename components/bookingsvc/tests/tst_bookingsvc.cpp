#include "bookingsvc/ReservationClass.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using bookingsvc::ReservationClass;

namespace {

std::unique_ptr<ReservationClass> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<ReservationClass>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

void fill(ReservationClass& store, qint32 number, const QDate& useDate, const QString& name) {
    store.setReserveNo(number);
    store.setReserveDate(useDate);
    store.setRecieveDate(QDate(2002, 2, 14));
    store.setCliantName(name);
    store.setZipCode(QStringLiteral("390-0874"));
    store.setAddress1(QStringLiteral("長野県"));
    store.setAddress2(QStringLiteral("松本市"));
    store.setAddress3(QStringLiteral("大手4-1"));
    store.setTelNo(QStringLiteral("0263-00-1234"));
    store.setQuantity(3);
    store.setBadget(12000);
    store.setArvTime(QStringLiteral("17:00"));
    store.setArvTimeChkIn(QStringLiteral("17:20"));
    store.setClRemarks(QStringLiteral("禁煙室"));
    store.setClGroupeName(QStringLiteral("山の会"));
    store.setClTravelAg(QStringLiteral("旅行社A"));
}

void addReservation(const desk::test::TempDataDir& dir, qint32 number, const QDate& useDate = QDate(2002, 3, 1),
                    const QString& name = QStringLiteral("山田太郎")) {
    auto store = connected(dir);
    fill(*store, number, useDate, name);
    store->Msave();
}

// The stored row itself, read past the store.
QVariant column(const desk::test::TempDataDir& dir, qint32 number, const QString& name) {
    auto connection = desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Reservation));
    return connection->scalar(QStringLiteral("SELECT %1 FROM Reserve WHERE RvNo = %2").arg(name).arg(number));
}

} // namespace

class TestBookingSvc : public QObject {
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void reserveNoCheck_data();
    void reserveNoCheck();
    void checkInFlag_data();
    void checkInFlag();
    void saveAndSearchRoundTrip();
    void searchMissingLeavesProperties();
    void reservationsOfOneDay_data();
    void reservationsOfOneDay();
    void chkInAndDelete();
    void secondLookUpStartsWhereTheFirstStopped_data();
    void secondLookUpStartsWhereTheFirstStopped();
    void writesNeedAnExistingNumber_data();
    void writesNeedAnExistingNumber();
    void refusesUseBeforeConnect();
};

void TestBookingSvc::numbering_data() {
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty table") << QList<int>{} << 1;
    QTest::newRow("one row") << QList<int>{1} << 2;
    QTest::newRow("gap not reused") << QList<int>{1, 2, 7} << 8;
    QTest::newRow("highest not last") << QList<int>{9, 3} << 10;
}

void TestBookingSvc::numbering() {
    QFETCH(QList<int>, existing);
    QFETCH(int, expected);
    desk::test::TempDataDir dir;
    for (int n : existing)
        addReservation(dir, n);
    auto store = connected(dir);
    store->SendReserveNo();
    QCOMPARE(store->ReserveNo(), expected);
    // The maximum query runs only when there is something to take the maximum of.
    QCOMPARE(store->RsSLNo() != nullptr, !existing.isEmpty());
}

void TestBookingSvc::reserveNoCheck_data() {
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("expected");
    QTest::newRow("taken") << 7 << 0;
    QTest::newRow("free") << 9 << 9;
    QTest::newRow("first row") << 1 << 0;
}

void TestBookingSvc::reserveNoCheck() {
    QFETCH(int, asked);
    QFETCH(int, expected);
    desk::test::TempDataDir dir;
    for (int n : {1, 2, 7})
        addReservation(dir, n);
    QCOMPARE(connected(dir)->ReserveNoCheck(asked), expected);
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
    desk::test::TempDataDir dir;
    {
        auto store = connected(dir);
        fill(*store, 5, QDate(2002, 3, 1), QStringLiteral("佐藤"));
        store->setCheckInFlg(flagOnSave);
        store->Msave();
    }
    if (edit) {
        auto store = connected(dir);
        fill(*store, 5, QDate(2002, 3, 2), QStringLiteral("佐藤"));
        store->setCheckInFlg(flagOnEdit);
        store->Medit();
    }
    auto store = connected(dir);
    store->setReserveNo(5);
    store->setCheckInFlg(!stored);
    store->EDsearch();
    QCOMPARE(store->CheckInFlg(), stored);
    QCOMPARE(column(dir, 5, QStringLiteral("RvProc")).toString(), QStringLiteral("o"));
    QCOMPARE(store->RsResv()->recordCount(), 1); // the edit rewrote, not added
}

void TestBookingSvc::saveAndSearchRoundTrip() {
    desk::test::TempDataDir dir;
    {
        auto store = connected(dir);
        fill(*store, 42, QDate(2002, 3, 1), QStringLiteral("O'Hara 花子"));
        store->setQuantityA(9);
        store->setBadgetA(9);
        store->setHtPayment(QStringLiteral("現金"));
        store->Msave();
    }
    ReservationClass expected;
    fill(expected, 42, QDate(2002, 3, 1), QStringLiteral("O'Hara 花子"));
    auto store = connected(dir);
    store->setReserveNo(42);
    store->EDsearch();
    QCOMPARE(store->ReserveNo(), 42);
    QCOMPARE(store->ReserveDate(), expected.ReserveDate());
    QCOMPARE(store->RecieveDate(), expected.RecieveDate());
    QCOMPARE(store->CliantName(), expected.CliantName());
    QCOMPARE(store->ZipCode(), expected.ZipCode());
    QCOMPARE(store->Address1(), expected.Address1());
    QCOMPARE(store->Address2(), expected.Address2());
    QCOMPARE(store->Address3(), expected.Address3());
    QCOMPARE(store->TelNo(), expected.TelNo());
    QCOMPARE(store->Quantity(), expected.Quantity());
    QCOMPARE(store->Badget(), expected.Badget());
    QCOMPARE(store->ArvTime(), expected.ArvTime());
    QCOMPARE(store->ArvTimeChkIn(), expected.ArvTimeChkIn());
    QCOMPARE(store->ClRemarks(), expected.ClRemarks());
    QCOMPARE(store->ClGroupeName(), expected.ClGroupeName());
    QCOMPARE(store->ClTravelAg(), expected.ClTravelAg());
    // Kept in the object only.
    QCOMPARE(store->QuantityA(), 0);
    QCOMPARE(store->HtPayment(), QString());
}

void TestBookingSvc::searchMissingLeavesProperties() {
    desk::test::TempDataDir dir;
    addReservation(dir, 1);
    auto store = connected(dir);
    fill(*store, 99, QDate(2010, 1, 1), QStringLiteral("未登録"));
    store->EDsearch();
    QCOMPARE(store->ReserveNo(), 0);
    QCOMPARE(store->CliantName(), QStringLiteral("未登録"));
    QCOMPARE(store->ReserveDate(), QDate(2010, 1, 1));
    QCOMPARE(store->Quantity(), 3);
}

void TestBookingSvc::reservationsOfOneDay_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("two that day") << QStringLiteral("2002/3/1") << QList<int>{1, 3};
    QTest::newRow("iso text") << QStringLiteral("2002-03-02") << QList<int>{2};
    QTest::newRow("none that day") << QStringLiteral("2002/3/5") << QList<int>{};
    QTest::newRow("month end") << QStringLiteral("2002/2/28") << QList<int>{4};
}

void TestBookingSvc::reservationsOfOneDay() {
    QFETCH(QString, day);
    QFETCH(QList<int>, expected);
    desk::test::TempDataDir dir;
    addReservation(dir, 1, QDate(2002, 3, 1));
    addReservation(dir, 2, QDate(2002, 3, 2));
    addReservation(dir, 3, QDate(2002, 3, 1));
    addReservation(dir, 4, QDate(2002, 2, 28));
    auto store = connected(dir);
    store->setReserveDate(day);
    std::unique_ptr<desk::RowSet> rs = store->RsResv();
    store.reset(); // the caller's row set outlives the store
    QList<int> found;
    for (rs->moveFirst(); !rs->isEmpty() && !rs->eof(); rs->moveNext())
        found << rs->value(QStringLiteral("RvNo")).toInt();
    QCOMPARE(found, expected);
}

void TestBookingSvc::chkInAndDelete() {
    desk::test::TempDataDir dir;
    for (int n : {1, 2, 3})
        addReservation(dir, n);
    {
        auto store = connected(dir);
        store->setReserveNo(2);
        store->ChkIn();
    }
    QCOMPARE(column(dir, 2, QStringLiteral("Rvchkflg")).toBool(), true);
    QCOMPARE(column(dir, 1, QStringLiteral("Rvchkflg")).toBool(), false);
    {
        auto store = connected(dir);
        store->setReserveNo(2);
        store->Mdelete();
    }
    QCOMPARE(connected(dir)->ReserveNoCheck(2), 2);
    QCOMPARE(connected(dir)->ReserveNoCheck(3), 0);
}

void TestBookingSvc::secondLookUpStartsWhereTheFirstStopped_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("expected");
    QTest::newRow("later row still found") << 1 << 7 << 0;
    QTest::newRow("same row found again") << 2 << 2 << 0;
    QTest::newRow("earlier row passed") << 7 << 1 << 1;
    QTest::newRow("after a miss nothing is found") << 9 << 2 << 2;
}

void TestBookingSvc::secondLookUpStartsWhereTheFirstStopped() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, expected);
    desk::test::TempDataDir dir;
    for (int n : {1, 2, 7})
        addReservation(dir, n);
    auto store = connected(dir);
    store->ReserveNoCheck(first);
    QCOMPARE(store->ReserveNoCheck(second), expected);
}

void TestBookingSvc::writesNeedAnExistingNumber_data() {
    QTest::addColumn<int>("operation");
    QTest::newRow("Medit") << 0;
    QTest::newRow("ChkIn") << 1;
    QTest::newRow("Mdelete") << 2;
}

void TestBookingSvc::writesNeedAnExistingNumber() {
    QFETCH(int, operation);
    desk::test::TempDataDir dir;
    addReservation(dir, 1);
    auto store = connected(dir);
    fill(*store, 8, QDate(2002, 3, 1), QStringLiteral("別人"));
    switch (operation) {
    case 0:
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Medit());
        break;
    case 1:
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->ChkIn());
        break;
    default:
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Mdelete());
        break;
    }
    QCOMPARE(column(dir, 1, QStringLiteral("RvName")).toString(), QStringLiteral("山田太郎"));
    QCOMPARE(column(dir, 1, QStringLiteral("Count(*)")).toInt(), 1);
}

void TestBookingSvc::refusesUseBeforeConnect() {
    desk::test::TempDataDir dir;
    ReservationClass store;
    store.setDirPath(dir.path());
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store.SendReserveNo());
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store.connection());
    QVERIFY_THROWS_EXCEPTION(desk::ConversionError, store.setReserveDate(QStringLiteral("2002/2/30")));
    ReservationClass missing;
    missing.setDirPath(dir.path() + QStringLiteral("nowhere/"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, missing.CntDb());
}

QTEST_GUILESS_MAIN(TestBookingSvc)
#include "tst_bookingsvc.moc"
