#include "arrivalsvc/CheckInClass.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using arrivalsvc::CheckInClass;

namespace {

const QStringList sixTables = {QStringLiteral("CheckInCliants"),      QStringLiteral("CheckInAdrs"),
                               QStringLiteral("CheckInClasify"),      QStringLiteral("CheckInGroupe"),
                               QStringLiteral("CheckInCliantDetail"), QStringLiteral("CheckInBadget")};

std::unique_ptr<CheckInClass> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<CheckInClass>();
    store->setDirPath(dir.path());
    store->CntDB();
    return store;
}

void fill(CheckInClass& store, const QString& number, const QString& name) {
    store.setCheckInNO(number);
    store.setCheckInDate(QDate(2002, 3, 1));
    store.setCheckInName(name);
    store.setCheckInRoomNo(QStringLiteral("201"));
    store.setCheckInRemarks(QStringLiteral("夕食18時"));
    store.setCheckInAdrs1(QStringLiteral("長野県"));
    store.setCheckInAdrs2(QStringLiteral("松本市"));
    store.setCheckInAdrs3(QStringLiteral("大手4-1"));
    store.setCheckInTelNo(QStringLiteral("0263-00-1234"));
    store.setCheckInEMAdrs(QStringLiteral("guest@example.jp"));
    store.setCheckInFaxNo(QStringLiteral("0263-00-9999"));
    store.setCheckInGroupe(QStringLiteral("山の会"));
    store.setCheckInCName(QStringLiteral("山田花子"));
    store.setCheckInTravelAg(QStringLiteral("旅行社A"));
    store.setUserClass(QStringLiteral("U1"));
    store.setAgeClass(QStringLiteral("A2"));
    store.setPayClass(QStringLiteral("P1"));
    store.setGroupeClass(QStringLiteral("G3"));
    store.setChoiceClass(QStringLiteral("C1"));
    store.setQuantity(2);
    store.setBadget(15000);
}

void addCheckIn(const desk::test::TempDataDir& dir, const QString& number,
                const QString& name = QStringLiteral("山田太郎")) {
    auto store = connected(dir);
    fill(*store, number, name);
    store->setReserveNo(12);
    store->setRecieveDate(QStringLiteral("2002/2/14"));
    store->setArvTime(QStringLiteral("17:00"));
    store->setArvTimeChkIn(QStringLiteral("17:20"));
    store->Msave();
}

std::shared_ptr<desk::Connection> raw(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::DaySalesCliants));
}

QVariant column(const desk::test::TempDataDir& dir, const QString& table, const QString& name, const QString& number) {
    return raw(dir)->scalar(
        QStringLiteral("SELECT %1 FROM %2 WHERE CheckInNO = %3").arg(name, table, desk::Sql::quote(number)));
}

// Rows of one number in each of the six tables.
QList<int> rowsOf(const desk::test::TempDataDir& dir, const QString& number) {
    QList<int> counts;
    for (const QString& table : sixTables)
        counts << column(dir, table, QStringLiteral("Count(*)"), number).toInt();
    return counts;
}

const QList<int> allSix{1, 1, 1, 1, 1, 1};
const QList<int> none{0, 0, 0, 0, 0, 0};

} // namespace

class TestArrivalSvc : public QObject {
    Q_OBJECT

private slots:
    void saveWritesDefaultCodes_data();
    void saveWritesDefaultCodes();
    void receptionDate_data();
    void receptionDate();
    void saveAndSearchRoundTrip();
    void searchMissingLeavesProperties();
    void numberLookUps_data();
    void numberLookUps();
    void editRenumbersAllSixRows();
    void editRefusesANumberInUse();
    void failurePartWayWritesNothing_data();
    void failurePartWayWritesNothing();
    void inTheHouseUntilCheckOut();
    void writesNeedAnExistingNumber_data();
    void writesNeedAnExistingNumber();
    void quantityIsSixteenBits_data();
    void quantityIsSixteenBits();
    void historyConditionWithQuote();
};

void TestArrivalSvc::saveWritesDefaultCodes_data() {
    QTest::addColumn<QStringList>("given"); // user, age, payment, group, choice
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("all empty") << QStringList{{}, {}, {}, {}, {}}
                               << QStringList{QStringLiteral("U0"), QStringLiteral("A0"), QStringLiteral("P0"),
                                              QStringLiteral("G0"), QString()};
    QTest::newRow("all given") << QStringList{QStringLiteral("U2"), QStringLiteral("A3"), QStringLiteral("P1"),
                                              QStringLiteral("G4"), QStringLiteral("C2")}
                               << QStringList{QStringLiteral("U2"), QStringLiteral("A3"), QStringLiteral("P1"),
                                              QStringLiteral("G4"), QStringLiteral("C2")};
    QTest::newRow("some given") << QStringList{QStringLiteral("U2"), {}, QStringLiteral("P1"), {}, {}}
                                << QStringList{QStringLiteral("U2"), QStringLiteral("A0"), QStringLiteral("P1"),
                                               QStringLiteral("G0"), QString()};
}

void TestArrivalSvc::saveWritesDefaultCodes() {
    QFETCH(QStringList, given);
    QFETCH(QStringList, stored);
    desk::test::TempDataDir dir;
    auto store = connected(dir);
    fill(*store, QStringLiteral("101"), QStringLiteral("鈴木"));
    store->setUserClass(given[0]);
    store->setAgeClass(given[1]);
    store->setPayClass(given[2]);
    store->setGroupeClass(given[3]);
    store->setChoiceClass(given[4]);
    store->Msave();
    const QStringList afterSave{store->UserClass(), store->AgeClass(), store->PayClass(), store->GroupeClass(),
                                store->ChoiceClass()};
    QCOMPARE(afterSave, stored);

    auto reader = connected(dir);
    reader->setCheckInNO(QStringLiteral("101"));
    reader->EDsearch();
    const QStringList read{reader->UserClass(), reader->AgeClass(), reader->PayClass(), reader->GroupeClass(),
                           reader->ChoiceClass()};
    QCOMPARE(read, stored);
}

void TestArrivalSvc::receptionDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("stored");
    QTest::addColumn<bool>("refused");
    QTest::newRow("empty leaves null") << QString() << QDate() << false;
    QTest::newRow("day text") << QStringLiteral("2002/3/1") << QDate(2002, 3, 1) << false;
    QTest::newRow("iso text") << QStringLiteral("2002-12-31") << QDate(2002, 12, 31) << false;
    QTest::newRow("no such day") << QStringLiteral("2002/2/30") << QDate() << true;
    QTest::newRow("not a date") << QStringLiteral("昨日") << QDate() << true;
}

void TestArrivalSvc::receptionDate() {
    QFETCH(QString, text);
    QFETCH(QDate, stored);
    QFETCH(bool, refused);
    desk::test::TempDataDir dir;
    auto store = connected(dir);
    fill(*store, QStringLiteral("7"), QStringLiteral("田中"));
    store->setRecieveDate(text);
    if (refused) {
        QVERIFY_THROWS_EXCEPTION(desk::ConversionError, store->Msave());
        QCOMPARE(rowsOf(dir, QStringLiteral("7")), none);
        return;
    }
    store->Msave();
    const QVariant value =
        column(dir, QStringLiteral("CheckInCliantDetail"), QStringLiteral("RvDate"), QStringLiteral("7"));
    QCOMPARE(value.isNull(), !stored.isValid());
    if (stored.isValid())
        QCOMPARE(value.toDate(), stored);
}

void TestArrivalSvc::saveAndSearchRoundTrip() {
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("A-17"));
    CheckInClass expected;
    fill(expected, QStringLiteral("A-17"), QStringLiteral("山田太郎"));

    auto store = connected(dir);
    store->setCheckInNO(QStringLiteral("A-17"));
    store->setCheckOutFlag(true);
    store->EDsearch();
    QCOMPARE(store->CheckInNO(), QStringLiteral("A-17"));
    QCOMPARE(store->CheckInDate(), expected.CheckInDate());
    QCOMPARE(store->CheckInName(), expected.CheckInName());
    QCOMPARE(store->CheckInRoomNo(), expected.CheckInRoomNo());
    QCOMPARE(store->CheckInRemarks(), expected.CheckInRemarks());
    QCOMPARE(store->CheckInAdrs1(), expected.CheckInAdrs1());
    QCOMPARE(store->CheckInAdrs2(), expected.CheckInAdrs2());
    QCOMPARE(store->CheckInAdrs3(), expected.CheckInAdrs3());
    QCOMPARE(store->CheckInTelNo(), expected.CheckInTelNo());
    QCOMPARE(store->CheckInEMAdrs(), expected.CheckInEMAdrs());
    QCOMPARE(store->CheckInGroupe(), expected.CheckInGroupe());
    QCOMPARE(store->CheckInCName(), expected.CheckInCName());
    QCOMPARE(store->CheckInTravelAg(), expected.CheckInTravelAg());
    QCOMPARE(store->Quantity(), expected.Quantity());
    QCOMPARE(store->Badget(), expected.Badget());
    // The flag tells the truth: a new check-in is in the house.
    QCOMPARE(store->CheckOutFlag(), false);
    // The fax number and the reservation link are not read back.
    QCOMPARE(store->CheckInFaxNo(), QString());
    QCOMPARE(store->ReserveNo(), 0);

    store->setCheckInNO2(QStringLiteral("A-17"));
    store->CheckOut();
    auto reader = connected(dir);
    reader->setCheckInNO(QStringLiteral("A-17"));
    reader->EDsearch();
    QCOMPARE(reader->CheckOutFlag(), true);
}

void TestArrivalSvc::searchMissingLeavesProperties() {
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("1"));
    auto store = connected(dir);
    fill(*store, QStringLiteral("2"), QStringLiteral("未登録"));
    store->EDsearch();
    QCOMPARE(store->CheckInNO(), QStringLiteral("X"));
    QCOMPARE(store->CheckInName(), QStringLiteral("未登録"));
    QCOMPARE(store->Badget(), 15000);
    QCOMPARE(store->UserClass(), QStringLiteral("U1"));
}

void TestArrivalSvc::numberLookUps_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("duplicate");
    QTest::addColumn<QString>("name");
    QTest::newRow("existing") << QStringLiteral("101") << QStringLiteral("x") << QStringLiteral("山田太郎");
    QTest::newRow("free") << QStringLiteral("102") << QString() << QStringLiteral("x");
    QTest::newRow("quote in number") << QStringLiteral("1'2") << QStringLiteral("x") << QStringLiteral("O'Hara");
    QTest::newRow("quote not stored") << QStringLiteral("1' OR '1'='1") << QString() << QStringLiteral("x");
}

void TestArrivalSvc::numberLookUps() {
    QFETCH(QString, number);
    QFETCH(QString, duplicate);
    QFETCH(QString, name);
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("101"));
    addCheckIn(dir, QStringLiteral("1'2"), QStringLiteral("O'Hara"));
    QCOMPARE(connected(dir)->CheckInNoCheck(number), duplicate);
    QCOMPARE(connected(dir)->DispCheckInName(number), name);
}

void TestArrivalSvc::editRenumbersAllSixRows() {
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("301"));
    addCheckIn(dir, QStringLiteral("302"), QStringLiteral("隣の客"));
    {
        auto store = connected(dir);
        fill(*store, QStringLiteral("305"), QStringLiteral("山田次郎"));
        store->setCheckInNO2(QStringLiteral("301"));
        store->setCheckInFaxNo(QStringLiteral("changed"));
        store->setReserveNo(99);
        store->setRecieveDate(QStringLiteral("2003/1/1"));
        store->setArvTime(QStringLiteral("09:00"));
        store->setArvTimeChkIn(QStringLiteral("09:30"));
        store->setUserClass(QString()); // written as it stands on a correction
        store->setQuantity(5);
        store->Medit();
    }
    QCOMPARE(rowsOf(dir, QStringLiteral("301")), none);
    QCOMPARE(rowsOf(dir, QStringLiteral("305")), allSix);
    QCOMPARE(rowsOf(dir, QStringLiteral("302")), allSix);

    const QString n = QStringLiteral("305");
    QCOMPARE(column(dir, QStringLiteral("CheckInCliants"), QStringLiteral("CheckInName"), n).toString(),
             QStringLiteral("山田次郎"));
    QCOMPARE(column(dir, QStringLiteral("CheckInBadget"), QStringLiteral("RvClNumber"), n).toInt(), 5);
    QCOMPARE(column(dir, QStringLiteral("CheckInClasify"), QStringLiteral("RvUseClass"), n).toString(), QString());
    QCOMPARE(column(dir, QStringLiteral("CheckInAdrs"), QStringLiteral("CheckInFaxNo"), n).toString(),
             QStringLiteral("0263-00-9999"));
    QCOMPARE(column(dir, QStringLiteral("CheckInCliantDetail"), QStringLiteral("RvNo"), n).toInt(), 12);
    QCOMPARE(column(dir, QStringLiteral("CheckInCliantDetail"), QStringLiteral("RvDate"), n).toDate(),
             QDate(2002, 2, 14));
    QCOMPARE(column(dir, QStringLiteral("CheckInCliantDetail"), QStringLiteral("RvArvtime"), n).toString(),
             QStringLiteral("17:00"));
    QCOMPARE(column(dir, QStringLiteral("CheckInCliantDetail"), QStringLiteral("RvChkInTime"), n).toString(),
             QStringLiteral("17:20"));
    QCOMPARE(
        column(dir, QStringLiteral("CheckInCliants"), QStringLiteral("CheckInName"), QStringLiteral("302")).toString(),
        QStringLiteral("隣の客"));
}

void TestArrivalSvc::editRefusesANumberInUse() {
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("401"), QStringLiteral("一人目"));
    addCheckIn(dir, QStringLiteral("402"), QStringLiteral("二人目"));
    auto store = connected(dir);
    fill(*store, QStringLiteral("401"), QStringLiteral("書き換え"));
    store->setCheckInNO2(QStringLiteral("402"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Medit());
    QCOMPARE(rowsOf(dir, QStringLiteral("401")), allSix);
    QCOMPARE(rowsOf(dir, QStringLiteral("402")), allSix);
    QCOMPARE(connected(dir)->DispCheckInName(QStringLiteral("401")), QStringLiteral("一人目"));
    QCOMPARE(connected(dir)->DispCheckInName(QStringLiteral("402")), QStringLiteral("二人目"));
}

void TestArrivalSvc::failurePartWayWritesNothing_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("event");
    QTest::newRow("save") << QStringLiteral("save") << QStringLiteral("INSERT");
    QTest::newRow("correct") << QStringLiteral("edit") << QStringLiteral("UPDATE");
    QTest::newRow("delete") << QStringLiteral("delete") << QStringLiteral("DELETE");
}

// The last of the six tables refuses the write; the five before it must not keep theirs.
void TestArrivalSvc::failurePartWayWritesNothing() {
    QFETCH(QString, operation);
    QFETCH(QString, event);
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("501"));
    raw(dir)->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON CheckInBadget BEGIN "
                                  "SELECT RAISE(ABORT, 'refused'); END")
                       .arg(event));
    auto store = connected(dir);
    fill(*store, QStringLiteral("502"), QStringLiteral("変更後"));
    store->setCheckInNO2(QStringLiteral("501"));
    if (operation == QStringLiteral("save"))
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    else if (operation == QStringLiteral("edit"))
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Medit());
    else
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Mdelete());
    QCOMPARE(rowsOf(dir, QStringLiteral("501")), allSix);
    QCOMPARE(rowsOf(dir, QStringLiteral("502")), none);
    QCOMPARE(connected(dir)->DispCheckInName(QStringLiteral("501")), QStringLiteral("山田太郎"));
}

void TestArrivalSvc::inTheHouseUntilCheckOut() {
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("601"));
    addCheckIn(dir, QStringLiteral("602"));
    auto numbersInHouse = [&dir] {
        QStringList numbers;
        std::unique_ptr<desk::RowSet> rs = connected(dir)->RsNotChkOut();
        for (rs->moveFirst(); !rs->isEmpty() && !rs->eof(); rs->moveNext())
            numbers << rs->value(QStringLiteral("CheckInNO")).toString();
        return numbers;
    };
    QCOMPARE(numbersInHouse(), (QStringList{QStringLiteral("601"), QStringLiteral("602")}));
    auto store = connected(dir);
    store->setCheckInNO2(QStringLiteral("601"));
    store->CheckOut();
    store->CheckOut(); // the bill printed twice changes nothing further
    QCOMPARE(numbersInHouse(), QStringList{QStringLiteral("602")});
    QCOMPARE(rowsOf(dir, QStringLiteral("601")), allSix);
}

void TestArrivalSvc::writesNeedAnExistingNumber_data() {
    QTest::addColumn<int>("operation");
    QTest::newRow("Medit") << 0;
    QTest::newRow("Mdelete") << 1;
    QTest::newRow("CheckOut") << 2;
}

void TestArrivalSvc::writesNeedAnExistingNumber() {
    QFETCH(int, operation);
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("701"));
    auto store = connected(dir);
    fill(*store, QStringLiteral("701"), QStringLiteral("別人"));
    store->setCheckInNO2(QStringLiteral("799"));
    switch (operation) {
    case 0:
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Medit());
        break;
    case 1:
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Mdelete());
        break;
    default:
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->CheckOut());
        break;
    }
    QCOMPARE(rowsOf(dir, QStringLiteral("701")), allSix);
    QCOMPARE(connected(dir)->DispCheckInName(QStringLiteral("701")), QStringLiteral("山田太郎"));
}

void TestArrivalSvc::quantityIsSixteenBits_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("fits");
    QTest::newRow("40000") << 40000 << false;
    QTest::newRow("32767") << 32767 << true;
    QTest::newRow("32768") << 32768 << false;
    QTest::newRow("-32768") << -32768 << true;
    QTest::newRow("-32769") << -32769 << false;
}

void TestArrivalSvc::quantityIsSixteenBits() {
    QFETCH(int, value);
    QFETCH(bool, fits);
    CheckInClass store;
    store.setQuantity(7);
    if (fits) {
        store.setQuantity(value);
        QCOMPARE(int(store.Quantity()), value);
        return;
    }
    try {
        store.setQuantity(value);
        QFAIL("no overflow raised");
    } catch (const desk::ConversionError& e) {
        QCOMPARE(e.kind(), desk::ConversionError::Kind::Overflow);
    }
    QCOMPARE(int(store.Quantity()), 7);
}

void TestArrivalSvc::historyConditionWithQuote() {
    desk::test::TempDataDir dir;
    addCheckIn(dir, QStringLiteral("801"), QStringLiteral("O'Hara"));
    addCheckIn(dir, QStringLiteral("802"), QStringLiteral("O"));
    auto store = connected(dir);
    store->setSQL1(QStringLiteral("CheckInName = ") + desk::Sql::quote(QStringLiteral("O'Hara")));
    std::unique_ptr<desk::RowSet> rs = store->RsCliantR();
    QCOMPARE(rs->recordCount(), 1);
    rs->moveFirst();
    QCOMPARE(rs->value(QStringLiteral("CheckInNO")).toString(), QStringLiteral("801"));
    QCOMPARE(rs->value(QStringLiteral("checkintelno")).toString(), QStringLiteral("0263-00-1234"));
}

QTEST_GUILESS_MAIN(TestArrivalSvc)
#include "tst_arrivalsvc.moc"
