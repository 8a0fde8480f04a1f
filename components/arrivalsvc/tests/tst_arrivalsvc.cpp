#include "arrivalsvc/CheckInClass.h"
#include "arrivalsvc/CheckInDesk.h"
#include "roomsvc/RoomStore.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "testsupport/RefuseWrites.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <functional>
#include <map>
#include <memory>

using arrivalsvc::CheckInClass;
using desk::test::TempDataDir;
using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<CheckInClass> connected(const TempDataDir& dir) {
    auto store = std::make_unique<CheckInClass>();
    store->setDirPath(dir.path());
    store->CntDB();
    return store;
}

void fill(CheckInClass& s, const QString& number, const QString& name) {
    s.setCheckInNO(number);
    s.setCheckInDate(QDate(2002, 3, 1));
    s.setCheckInName(name);
    s.setCheckInRoomNo(QStringLiteral("201"));
    s.setCheckInRemarks(QStringLiteral("夕食18時"));
    s.setCheckInAdrs1(QStringLiteral("長野県"));
    s.setCheckInAdrs2(QStringLiteral("松本市"));
    s.setCheckInAdrs3(QStringLiteral("大手4-1"));
    s.setCheckInTelNo(QStringLiteral("0263-00-1234"));
    s.setCheckInEMAdrs(QStringLiteral("guest@example.jp"));
    s.setCheckInFaxNo(QStringLiteral("0263-00-9999"));
    s.setCheckInGroupe(QStringLiteral("山の会"));
    s.setCheckInCName(QStringLiteral("山田花子"));
    s.setCheckInTravelAg(QStringLiteral("旅行社A"));
    s.setUserClass(QStringLiteral("U1"));
    s.setAgeClass(QStringLiteral("A2"));
    s.setPayClass(QStringLiteral("P1"));
    s.setGroupeClass(QStringLiteral("G3"));
    s.setChoiceClass(QStringLiteral("C1"));
    s.setQuantity(2);
    s.setBathExempt(1);
    s.setLodgingExempt(2);
    s.setBadget(15000);
}

QVariantList properties(const CheckInClass& s) {
    return {s.CheckInNO(),    s.CheckInDate(),   s.CheckInName(),  s.CheckInRoomNo(),   s.CheckInRemarks(),
            s.CheckInAdrs1(), s.CheckInAdrs2(),  s.CheckInAdrs3(), s.CheckInTelNo(),    s.CheckInEMAdrs(),
            s.CheckInFaxNo(), s.CheckInGroupe(), s.CheckInCName(), s.CheckInTravelAg(), s.UserClass(),
            s.AgeClass(),     s.PayClass(),      s.GroupeClass(),  s.ChoiceClass(),     s.Quantity(),
            s.Badget(),       s.CheckOutFlag(),  s.ReserveNo(),    s.BathExempt(),      s.LodgingExempt()};
}

void addCheckIn(const TempDataDir& dir, const QString& number, const QString& name = QStringLiteral("山田太郎")) {
    auto store = connected(dir);
    fill(*store, number, name);
    store->setReserveNo(12);
    store->setRecieveDate(QStringLiteral("2002/2/14"));
    store->setArvTime(QStringLiteral("17:00"));
    store->setArvTimeChkIn(QStringLiteral("17:20"));
    store->Msave();
}

std::shared_ptr<desk::Connection> raw(const TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::DaySalesCliants));
}

// Every stored column of check-in `number` as "Table.Column=value", all six tables and the
// guest list.
QStringList stored(const TempDataDir& dir, const QString& number) {
    QStringList values;
    auto connection = raw(dir);
    for (const char* table : {"CheckInCliants", "CheckInAdrs", "CheckInClasify", "CheckInGroupe", "CheckInCliantDetail",
                              "CheckInBadget", "CheckInGuests"}) {
        desk::RowSet rs(connection, QStringLiteral("SELECT * FROM %1 WHERE CheckInNO = %2")
                                        .arg(QLatin1String(table), desk::Sql::quote(number)));
        for (rs.moveFirst(); !rs.isEmpty() && !rs.eof(); rs.moveNext())
            for (const QString& c : rs.columnNames())
                if (c.compare(QStringLiteral("CheckInNO"), Qt::CaseInsensitive) != 0)
                    values << QLatin1String(table) + QLatin1Char('.') + c.toLower() + QLatin1Char('=') +
                                  rs.value(c).toString();
    }
    return values;
}

// A party of three: the representative, a companion at the same address, a guest from abroad.
QList<arrivalsvc::CheckInGuest> partyOfThree() {
    return {{QStringLiteral("山田太郎"), QStringLiteral("長野県 松本市 大手4-1"), QStringLiteral("0263-00-1234")},
            {QStringLiteral("山田花子"), QStringLiteral("同上"), QString()},
            {QStringLiteral("John Smith"), QString(), QStringLiteral("+1-555-0100"), true, QStringLiteral("USA"),
             QStringLiteral("X1234567")}};
}

QStringList registerLines(const TempDataDir& dir, const QDate& first, const QDate& last) {
    QStringList lines;
    const std::unique_ptr<desk::RowSet> rs = connected(dir)->RsGuestRegister(first, last);
    for (; !rs->isEmpty() && !rs->eof(); rs->moveNext()) {
        QStringList cells;
        for (const char* c : {"CheckInDate", "Nights", "CheckInRoomNo", "GuestName", "GuestAdrs", "GuestTelNo",
                              "Nationality", "PassportNo"}) {
            const QVariant v = rs->value(QLatin1String(c));
            cells << (v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate) : v.toString());
        }
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

} // namespace

class TestArrivalSvc : public QObject {
    Q_OBJECT

private slots:
    void roomsFollowTheStay_data();
    void roomsFollowTheStay();
    void saveWritesDefaultCodes_data();
    void saveWritesDefaultCodes();
    void receptionDate_data();
    void receptionDate();
    void saveAndSearch();
    void searchNamesAMissingRow_data();
    void searchNamesAMissingRow();
    void numberLookUps_data();
    void numberLookUps();
    void editRenumbersAllSixRows();
    void writesThatFailChangeNothing_data();
    void writesThatFailChangeNothing();
    void inTheHouseUntilCheckOut();
    void quantityIsSixteenBits();
    void partyTravelsWithItsCheckIn();
    void guestRegister_data();
    void guestRegister();
    void historyConditionWithQuote();
};

void TestArrivalSvc::saveWritesDefaultCodes_data() {
    QTest::addColumn<QString>("given"); // user, age, payment, group, choice
    QTest::addColumn<QString>("expected");
    QTest::newRow("all empty") << QStringLiteral(",,,,") << QStringLiteral("U0,A0,P0,G0,");
    QTest::newRow("all given") << QStringLiteral("U2,A3,P1,G4,C2") << QStringLiteral("U2,A3,P1,G4,C2");
    QTest::newRow("some given") << QStringLiteral("U2,,P1,,") << QStringLiteral("U2,A0,P1,G0,");
}

void TestArrivalSvc::saveWritesDefaultCodes() {
    QFETCH(QString, given);
    QFETCH(QString, expected);
    TempDataDir dir;
    auto store = connected(dir);
    fill(*store, QStringLiteral("101"), QStringLiteral("鈴木"));
    const QStringList codes = given.split(QLatin1Char(','));
    store->setUserClass(codes[0]);
    store->setAgeClass(codes[1]);
    store->setPayClass(codes[2]);
    store->setGroupeClass(codes[3]);
    store->setChoiceClass(codes[4]);
    store->Msave();
    auto joined = [](const CheckInClass& s) {
        return QStringList{s.UserClass(), s.AgeClass(), s.PayClass(), s.GroupeClass(), s.ChoiceClass()}.join(
            QLatin1Char(','));
    };
    QCOMPARE(joined(*store), expected);
    auto reader = connected(dir);
    reader->setCheckInNO(QStringLiteral("101"));
    reader->EDsearch();
    QCOMPARE(joined(*reader), expected);
}

void TestArrivalSvc::receptionDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored"); // "refused" when nothing may be written
    QTest::newRow("empty leaves null") << QString() << QString();
    QTest::newRow("day text") << QStringLiteral("2002/3/1") << QStringLiteral("2002-03-01");
    QTest::newRow("no such day") << QStringLiteral("2002/2/30") << QStringLiteral("refused");
    QTest::newRow("not a date") << QStringLiteral("昨日") << QStringLiteral("refused");
}

void TestArrivalSvc::receptionDate() {
    QFETCH(QString, text);
    QFETCH(QString, stored);
    TempDataDir dir;
    auto store = connected(dir);
    fill(*store, QStringLiteral("7"), QStringLiteral("田中"));
    store->setRecieveDate(text);
    if (stored == QStringLiteral("refused")) {
        QVERIFY_THROWS_EXCEPTION(desk::ConversionError, store->Msave());
        QCOMPARE(::stored(dir, QStringLiteral("7")), QStringList());
        return;
    }
    store->Msave();
    const QVariant value = raw(dir)->scalar(QStringLiteral("SELECT RvDate FROM CheckInCliantDetail"));
    QCOMPARE(value.isNull(), stored.isEmpty());
    QCOMPARE(value.toDate(), QDate::fromString(stored, Qt::ISODate));
}

void TestArrivalSvc::saveAndSearch() {
    TempDataDir dir;
    addCheckIn(dir, QStringLiteral("100"));
    addCheckIn(dir, QStringLiteral("A-17"));
    CheckInClass expected;
    fill(expected, QStringLiteral("A-17"), QStringLiteral("山田太郎"));
    // The fax number and the reservation link are not read back.
    expected.setCheckInFaxNo(QString());

    auto store = connected(dir);
    store->setCheckInNO(QStringLiteral("A-17"));
    store->setCheckOutFlag(true); // the search tells the truth: still in the house
    store->EDsearch();
    QCOMPARE(properties(*store), properties(expected));

    store->setCheckInNO2(QStringLiteral("A-17"));
    store->CheckOut();
    auto reader = connected(dir);
    reader->setCheckInNO(QStringLiteral("A-17"));
    reader->EDsearch();
    QCOMPARE(reader->CheckOutFlag(), true);

    // Not found: "X", every other property stays.
    auto missing = connected(dir);
    fill(*missing, QStringLiteral("2"), QStringLiteral("未登録"));
    QVariantList before = properties(*missing);
    missing->EDsearch();
    before[0] = QStringLiteral("X");
    QCOMPARE(properties(*missing), before);
}

// A check-in whose row in one of the other tables is gone is an error naming that table, and
// the search changes no property; typed in another case, the number still finds it.
void TestArrivalSvc::searchNamesAMissingRow_data() {
    QTest::addColumn<QString>("table");
    for (const char* table : {"CheckInAdrs", "CheckInGroupe", "CheckInClasify", "CheckInBadget"})
        QTest::newRow(table) << QString::fromLatin1(table);
    QTest::newRow("none missing") << QString();
}

void TestArrivalSvc::searchNamesAMissingRow() {
    QFETCH(QString, table);
    TempDataDir dir;
    addCheckIn(dir, QStringLiteral("A-17"));
    if (!table.isEmpty())
        raw(dir)->exec(u"DELETE FROM %1 WHERE CheckInNO = 'A-17'"_s.arg(table));
    auto store = connected(dir);
    fill(*store, QStringLiteral("a-17"), QStringLiteral("入力中"));
    const QVariantList before = properties(*store);
    try {
        store->EDsearch();
        QVERIFY2(table.isEmpty(), "found without its row");
        QCOMPARE(store->CheckInNO(), QStringLiteral("A-17"));
        QCOMPARE(store->CheckInName(), QStringLiteral("山田太郎"));
    } catch (const desk::DbError& e) {
        QVERIFY2(!table.isEmpty() && e.message().contains(table), qPrintable(e.message()));
        QCOMPARE(properties(*store), before);
    }
}

void TestArrivalSvc::numberLookUps_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("duplicate");
    QTest::addColumn<QString>("name");
    QTest::newRow("existing") << QStringLiteral("101") << QStringLiteral("x") << QStringLiteral("山田太郎");
    QTest::newRow("free") << QStringLiteral("102") << QString() << QStringLiteral("x");
    QTest::newRow("quote in number") << QStringLiteral("1'2") << QStringLiteral("x") << QStringLiteral("O'Hara");
    QTest::newRow("injection") << QStringLiteral("1' OR '1'='1") << QString() << QStringLiteral("x");
}

void TestArrivalSvc::numberLookUps() {
    QFETCH(QString, number);
    QFETCH(QString, duplicate);
    QFETCH(QString, name);
    TempDataDir dir;
    addCheckIn(dir, QStringLiteral("101"));
    addCheckIn(dir, QStringLiteral("1'2"), QStringLiteral("O'Hara"));
    QCOMPARE(connected(dir)->CheckInNoCheck(number), duplicate);
    QCOMPARE(connected(dir)->DispCheckInName(number), name);
}

void TestArrivalSvc::editRenumbersAllSixRows() {
    TempDataDir dir;
    addCheckIn(dir, QStringLiteral("301"));
    addCheckIn(dir, QStringLiteral("302"), QStringLiteral("隣の客"));
    const QStringList neighbour = stored(dir, QStringLiteral("302"));
    QStringList expected = stored(dir, QStringLiteral("301"));
    {
        auto store = connected(dir);
        fill(*store, QStringLiteral("305"), QStringLiteral("山田次郎"));
        store->setCheckInNO2(QStringLiteral("301"));
        store->setCheckInFaxNo(QStringLiteral("changed"));
        store->setReserveNo(99);
        store->setRecieveDate(QStringLiteral("2003/1/1"));
        store->setArvTime(QStringLiteral("09:00"));
        store->setUserClass(QString()); // a correction writes codes as they stand
        store->setQuantity(5);
        store->Medit();
    }
    expected.replaceInStrings(QStringLiteral("=山田太郎"), QStringLiteral("=山田次郎"));
    expected.replaceInStrings(QStringLiteral("rvuseclass=U1"), QStringLiteral("rvuseclass="));
    expected.replaceInStrings(QStringLiteral("rvclnumber=2"), QStringLiteral("rvclnumber=5"));
    QCOMPARE(stored(dir, QStringLiteral("305")), expected);
    QCOMPARE(stored(dir, QStringLiteral("301")), QStringList());
    QCOMPARE(stored(dir, QStringLiteral("302")), neighbour);
}

void TestArrivalSvc::writesThatFailChangeNothing_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("number");  // CheckInNO
    QTest::addColumn<QString>("stored");  // CheckInNO2
    QTest::addColumn<QString>("refusal"); // trigger on the last of the six tables, or none
    QTest::newRow("save, last table refuses") << "save"
                                              << "502"
                                              << ""
                                              << "INSERT";
    QTest::newRow("save, number in use") << "save"
                                         << "502"
                                         << ""
                                         << "";
    QTest::newRow("correct, last table refuses") << "edit"
                                                 << "509"
                                                 << "501"
                                                 << "UPDATE";
    QTest::newRow("correct onto a number in use") << "edit"
                                                  << "502"
                                                  << "501"
                                                  << "";
    QTest::newRow("correct, unknown number") << "edit"
                                             << "509"
                                             << "599"
                                             << "";
    QTest::newRow("delete, last table refuses") << "delete"
                                                << ""
                                                << "501"
                                                << "DELETE";
    QTest::newRow("delete, unknown number") << "delete"
                                            << ""
                                            << "599"
                                            << "";
    QTest::newRow("save, more exempt than guests") << "save"
                                                   << "509"
                                                   << ""
                                                   << "exempt";
    QTest::newRow("correct, more exempt than guests") << "edit"
                                                      << "509"
                                                      << "501"
                                                      << "exempt";
    QTest::newRow("check out, unknown number") << "checkout"
                                               << ""
                                               << "599"
                                               << "";
}

void TestArrivalSvc::writesThatFailChangeNothing() {
    QFETCH(QString, operation);
    QFETCH(QString, number);
    QFETCH(QString, stored);
    QFETCH(QString, refusal);
    TempDataDir dir;
    addCheckIn(dir, QStringLiteral("501"), QStringLiteral("一人目"));
    addCheckIn(dir, QStringLiteral("502"), QStringLiteral("二人目"));
    const QStringList first = ::stored(dir, QStringLiteral("501"));
    const QStringList second = ::stored(dir, QStringLiteral("502"));
    if (!refusal.isEmpty() && refusal != QStringLiteral("exempt"))
        desk::test::refuseWrites(*raw(dir), refusal, QStringLiteral("CheckInBadget"));
    auto store = connected(dir);
    fill(*store, number, QStringLiteral("変更後"));
    store->setCheckInNO2(stored);
    if (refusal == QStringLiteral("exempt"))
        store->setLodgingExempt(3);
    const std::map<QString, std::function<void()>> ops{{QStringLiteral("save"),
                                                        [&] {
                                                            store->Msave();
                                                        }},
                                                       {QStringLiteral("edit"),
                                                        [&] {
                                                            store->Medit();
                                                        }},
                                                       {QStringLiteral("delete"),
                                                        [&] {
                                                            store->Mdelete();
                                                        }},
                                                       {QStringLiteral("checkout"), [&] {
                                                            store->CheckOut();
                                                        }}};
    QVERIFY_THROWS_EXCEPTION(desk::DbError, ops.at(operation)());
    QCOMPARE(::stored(dir, QStringLiteral("501")), first);
    QCOMPARE(::stored(dir, QStringLiteral("502")), second);
    QCOMPARE(::stored(dir, QStringLiteral("509")), QStringList());
}

void TestArrivalSvc::inTheHouseUntilCheckOut() {
    TempDataDir dir;
    addCheckIn(dir, QStringLiteral("601"));
    addCheckIn(dir, QStringLiteral("602"));
    auto inHouse = [&dir] {
        QStringList numbers;
        std::unique_ptr<desk::RowSet> rs = connected(dir)->RsNotChkOut();
        for (rs->moveFirst(); !rs->isEmpty() && !rs->eof(); rs->moveNext())
            numbers << rs->value(QStringLiteral("CheckInNO")).toString();
        return numbers.join(QLatin1Char(' '));
    };
    QCOMPARE(inHouse(), QStringLiteral("601 602"));
    auto store = connected(dir);
    store->setCheckInNO2(QStringLiteral("601"));
    store->CheckOut();
    store->CheckOut(); // the bill printed twice changes nothing further
    QCOMPARE(inHouse(), QStringLiteral("602"));
}

// The guest list is saved, called up, moved to a new number and deleted with the six rows.
void TestArrivalSvc::partyTravelsWithItsCheckIn() {
    TempDataDir dir;
    addCheckIn(dir, QStringLiteral("802"), QStringLiteral("隣の客"));
    const QStringList neighbour = stored(dir, QStringLiteral("802"));
    {
        auto store = connected(dir);
        fill(*store, QStringLiteral("801"), QStringLiteral("山田太郎"));
        store->setCheckInGuests(partyOfThree());
        store->Msave();
    }
    const auto calledUp = [&dir](const QString& number) {
        auto store = connected(dir);
        store->setCheckInNO(number);
        store->EDsearch();
        return store->CheckInGuests();
    };
    QCOMPARE(calledUp(QStringLiteral("801")), partyOfThree());
    // Saved without a list, a check-in still names its representative.
    QCOMPARE(calledUp(QStringLiteral("802")),
             (QList<arrivalsvc::CheckInGuest>{
                 {QStringLiteral("隣の客"), QStringLiteral("長野県 松本市 大手4-1"), QStringLiteral("0263-00-1234")}}));

    QList<arrivalsvc::CheckInGuest> corrected = partyOfThree();
    corrected[2].passportNo = QStringLiteral("Y7654321");
    {
        auto store = connected(dir);
        fill(*store, QStringLiteral("805"), QStringLiteral("山田太郎"));
        store->setCheckInNO2(QStringLiteral("801"));
        store->setCheckInGuests(corrected);
        store->Medit();
    }
    QCOMPARE(calledUp(QStringLiteral("805")), corrected);
    QCOMPARE(stored(dir, QStringLiteral("801")), QStringList());

    {
        auto store = connected(dir);
        store->setCheckInNO2(QStringLiteral("805"));
        store->Mdelete();
    }
    QCOMPARE(stored(dir, QStringLiteral("805")), QStringList());
    QCOMPARE(raw(dir)->scalar(QStringLiteral("SELECT COUNT(*) FROM CheckInGuests")).toInt(), 1);
    QCOMPARE(stored(dir, QStringLiteral("802")), neighbour);
}

void TestArrivalSvc::guestRegister_data() {
    QTest::addColumn<int>("fromDay"); // days after the check-in
    QTest::addColumn<int>("toDay");
    QTest::addColumn<bool>("checkedOut");
    QTest::addColumn<int>("lines");
    QTest::newRow("the month, in the house") << -10 << 20 << false << 3;
    QTest::newRow("the day itself, checked out") << 0 << 0 << true << 3;
    QTest::newRow("before the check-in") << -10 << -1 << false << 0;
    QTest::newRow("after the check-in") << 1 << 30 << true << 0;
}

// One line per guest of the parties checked in within the period, "同上" read as the
// representative's address, nights once the party has checked out.
void TestArrivalSvc::guestRegister() {
    QFETCH(int, fromDay);
    QFETCH(int, toDay);
    QFETCH(bool, checkedOut);
    QFETCH(int, lines);
    TempDataDir dir;
    const QDate day = QDate::currentDate().addDays(-2);
    {
        auto store = connected(dir);
        fill(*store, QStringLiteral("901"), QStringLiteral("山田太郎"));
        store->setCheckInDate(day);
        store->setCheckInGuests(partyOfThree());
        store->Msave();
        if (checkedOut) {
            store->setCheckInNO2(QStringLiteral("901"));
            store->CheckOut();
        }
    }
    const QString date = day.toString(Qt::ISODate);
    const QString nights = checkedOut ? QStringLiteral("2") : QString();
    const QStringList all{
        QStringList{date, nights, u"201"_s, u"山田太郎"_s, u"長野県 松本市 大手4-1"_s, u"0263-00-1234"_s, {}, {}}.join(
            QLatin1Char('|')),
        QStringList{date, nights, u"201"_s, u"山田花子"_s, u"長野県 松本市 大手4-1"_s, {}, {}, {}}.join(
            QLatin1Char('|')),
        QStringList{date, nights, u"201"_s, u"John Smith"_s, {}, u"+1-555-0100"_s, u"USA"_s, u"X1234567"_s}.join(
            QLatin1Char('|'))};
    QCOMPARE(registerLines(dir, day.addDays(fromDay), day.addDays(toDay)), all.mid(0, lines));
}

void TestArrivalSvc::quantityIsSixteenBits() {
    CheckInClass store;
    store.setQuantity(-32768);
    store.setQuantity(32767);
    for (int value : {40000, 32768, -32769}) {
        try {
            store.setQuantity(value);
            QFAIL("no overflow raised");
        } catch (const desk::ConversionError& e) {
            QCOMPARE(e.kind(), desk::ConversionError::Kind::Overflow);
        }
    }
    QCOMPARE(store.Quantity(), qint16(32767));
}

void TestArrivalSvc::historyConditionWithQuote() {
    TempDataDir dir;
    addCheckIn(dir, QStringLiteral("801"), QStringLiteral("O'Hara"));
    addCheckIn(dir, QStringLiteral("802"), QStringLiteral("O"));
    auto store = connected(dir);
    store->setSQL1(QStringLiteral("CheckInName = ") + desk::Sql::quote(QStringLiteral("O'Hara")));
    std::unique_ptr<desk::RowSet> rs = store->RsCliantR();
    QCOMPARE(rs->recordCount(), 1);
    rs->moveFirst();
    QCOMPARE(rs->value(QStringLiteral("checkinno")).toString(), QStringLiteral("801"));
}

void TestArrivalSvc::roomsFollowTheStay_data() {
    QTest::addColumn<int>("nights");          // at check-in
    QTest::addColumn<int>("correctedNights"); // then corrected to
    QTest::addColumn<QString>("refusal");     // of the correction; empty: corrected
    QTest::addColumn<int>("heldNights");      // the stay's nights after the correction

    // Another party has room 301 from the night of 5/5 on.
    QTest::newRow("extended") << 1 << 2 << QString() << 2;
    QTest::newRow("shortened") << 2 << 1 << QString() << 1;
    QTest::newRow("extended into the next party")
        << 2 << 3 << u"301号室の5/5の夜はほかのお客様が泊まっています。"_s << 2;
}

// A walk-in in room 301 from 5/3: its nights corrected with the room checked, then the check-out
// on 5/4 ends the stay after one night.
void TestArrivalSvc::roomsFollowTheStay() {
    QFETCH(int, nights);
    QFETCH(int, correctedNights);
    QFETCH(QString, refusal);
    QFETCH(int, heldNights);
    TempDataDir dir;
    QVERIFY(dir.isValid());
    desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Option))
        ->exec(u"INSERT INTO Rooms (RoomCode, RoomName, Capacity, SortOrder) VALUES ('301', '月', 2, 1)"_s);
    QList<roomsvc::RoomStay> next{roomsvc::RoomStay()};
    next[0].room = u"301"_s;
    next[0].firstNight = QDate(2024, 5, 5);
    next[0].guests = 1;
    const roomsvc::RoomStore rooms(dir.path());
    QCOMPARE(rooms.save(next), QString());

    arrivalsvc::CheckIn entry;
    entry.number = u"2001"_s;
    entry.date = QDate(2024, 5, 3);
    entry.name = u"佐藤 花子"_s;
    entry.roomNo = u"301"_s;
    entry.guests = 2;
    entry.nights = qint16(nights);
    const arrivalsvc::CheckInDesk desk(dir.path());
    QCOMPARE(desk.registerCheckIn(entry, u"2001"_s).outcome,
             arrivalsvc::CheckInDesk::Registration::Outcome::Registered);

    entry.nights = qint16(correctedNights);
    QString told;
    const auto corrected = desk.correct(u"2001"_s, entry, &told);
    QCOMPARE(corrected, refusal.isEmpty() ? arrivalsvc::CheckInDesk::Correction::Corrected
                                          : arrivalsvc::CheckInDesk::Correction::RoomRefused);
    QCOMPARE(told, refusal);
    QCOMPARE(desk.callUp(u"2001"_s)->nights, refusal.isEmpty() ? correctedNights : nights);
    QList<roomsvc::RoomStay> held = rooms.staysOfCheckIn(u"2001"_s);
    QCOMPARE(held.size(), 1);
    QCOMPARE(held[0].nights, heldNights);
    QCOMPARE(held[0].guests, 2);

    desk.markCheckedOut(u"2001"_s, QDate(2024, 5, 4));
    held = rooms.staysOfCheckIn(u"2001"_s);
    QCOMPARE(held.size(), 1);
    QCOMPARE(held[0].state, roomsvc::RoomStay::CheckedOut);
    QCOMPARE(held[0].nights, 1);
    // Free again from the settlement day.
    QCOMPARE(rooms.freeRooms(QDate(2024, 5, 4), 1).size(), 1);
}

QTEST_GUILESS_MAIN(TestArrivalSvc)
#include "tst_arrivalsvc.moc"
