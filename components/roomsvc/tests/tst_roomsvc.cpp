#include "roomsvc/RoomStore.h"

#include "data/Connection.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

using desk::test::TempDataDir;
using roomsvc::Room;
using roomsvc::RoomStay;
using roomsvc::RoomStore;

Q_DECLARE_METATYPE(QList<RoomStay>)

namespace {

const QDate May1(2031, 5, 1);

void exec(const TempDataDir& dir, const char* file, const QString& statement, const QVariantList& binds = {}) {
    desk::Connection::open(dir.path(), QLatin1String(file))->exec(statement, binds);
}

void addRoom(const TempDataDir& dir, const QString& code, int capacity, int sortOrder, bool inService = true) {
    exec(dir, desk::DbFile::Option,
         QStringLiteral("INSERT INTO Rooms (RoomCode, RoomName, RoomType, Capacity, MinGuests, Floor, SortOrder, "
                        "InService) VALUES (?, '桜', '和室', ?, 1, '1階', ?, ?)"),
         {code, capacity, sortOrder, inService ? 1 : 0});
}

RoomStay stay(const QString& room, const QDate& first, int nights, int reservationNo = 0) {
    RoomStay s;
    s.room = room;
    s.firstNight = first;
    s.nights = nights;
    s.guests = 2;
    s.reservationNo = reservationNo;
    return s;
}

// Rooms 101 (for 2), 102 (for 4), 203 (under repair); 佐藤 花子 (reservation 7, plan 101)
// in 102 for the nights of 5/1 to 5/3.
struct Inn {
    TempDataDir dir;
    RoomStore store{dir.path()};
    qint64 satoId = 0;
    Inn() {
        addRoom(dir, QStringLiteral("102"), 4, 20);
        addRoom(dir, QStringLiteral("101"), 2, 10);
        addRoom(dir, QStringLiteral("203"), 4, 30, false);
        exec(dir, desk::DbFile::Reservation,
             QStringLiteral("INSERT INTO Reserve (RvNo, RvName, RvPlan) VALUES (7, '佐藤 花子', '101')"));
        QList<RoomStay> sato{stay(QStringLiteral("102"), May1, 3, 7)};
        if (!store.save(sato).isEmpty())
            qFatal("the first stay was refused");
        satoId = sato.constFirst().id;
    }
    int stayCount() const {
        return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Reservation))
            ->scalar(QStringLiteral("SELECT COUNT(*) FROM RoomStays"))
            .toInt();
    }
};

QStringList codes(const QList<Room>& rooms) {
    QStringList list;
    for (const Room& r : rooms)
        list << r.code;
    return list;
}

} // namespace

class TestRoomSvc : public QObject {
    Q_OBJECT

private slots:
    void saveChecksTheNights_data();
    void saveChecksTheNights();
    void swapInOneSave();
    void freeRooms_data();
    void freeRooms();
    void staysShowTheirParty();
    void checkInAndOut();
    void sampleInn();
};

void TestRoomSvc::saveChecksTheNights_data() {
    QTest::addColumn<QList<RoomStay>>("stays");
    QTest::addColumn<QString>("refusal");
    const QString sato = QStringLiteral("102号室の5/2の夜は佐藤 花子様が泊まっています。");
    QTest::newRow("a night inside") << QList<RoomStay>{stay(QStringLiteral("102"), May1.addDays(1), 1)} << sato;
    QTest::newRow("over her arrival") << QList<RoomStay>{stay(QStringLiteral("102"), May1.addDays(-1), 3)}
                                      << QStringLiteral("102号室の5/1の夜は佐藤 花子様が泊まっています。");
    QTest::newRow("leaves on her arrival")
        << QList<RoomStay>{stay(QStringLiteral("102"), May1.addDays(-2), 2)} << QString();
    QTest::newRow("arrives as she leaves")
        << QList<RoomStay>{stay(QStringLiteral("102"), May1.addDays(3), 4)} << QString();
    QTest::newRow("another room") << QList<RoomStay>{stay(QStringLiteral("101"), May1, 3)} << QString();
    QTest::newRow("unassigned") << QList<RoomStay>{stay(QString(), May1, 3), stay(QString(), May1, 3)} << QString();
    QTest::newRow("all or none") << QList<RoomStay>{stay(QStringLiteral("101"), May1, 3),
                                                    stay(QStringLiteral("102"), May1.addDays(1), 5)}
                                 << sato;
    QTest::newRow("two of one save") << QList<RoomStay>{stay(QStringLiteral("101"), May1, 3, 8),
                                                        stay(QStringLiteral("101"), May1.addDays(2), 1)}
                                     << QStringLiteral("101号室の5/3の夜は予約番号8のお客様が泊まっています。");
    QTest::newRow("under repair") << QList<RoomStay>{stay(QStringLiteral("203"), May1, 1)}
                                  << QStringLiteral("203号室は修理中です。");
    QTest::newRow("no such room") << QList<RoomStay>{stay(QStringLiteral("999"), May1, 1)}
                                  << QStringLiteral("999号室はありません。");
    QTest::newRow("no nights") << QList<RoomStay>{stay(QStringLiteral("101"), May1, 0)}
                               << QStringLiteral("泊まる日と泊数を入れてください。");
}

void TestRoomSvc::saveChecksTheNights() {
    QFETCH(QList<RoomStay>, stays);
    QFETCH(QString, refusal);
    Inn inn;
    QList<RoomStay> saved = stays;
    QCOMPARE(inn.store.save(saved), refusal);
    QCOMPARE(inn.stayCount(), 1 + (refusal.isEmpty() ? stays.size() : 0));
    for (const RoomStay& s : std::as_const(saved))
        QCOMPARE(s.id != 0, refusal.isEmpty());
}

void TestRoomSvc::swapInOneSave() {
    // Two parties trade rooms: each save of one alone would clash with the other.
    Inn inn;
    QList<RoomStay> suzuki{stay(QStringLiteral("101"), May1, 2)};
    QCOMPARE(inn.store.save(suzuki), QString());
    QList<RoomStay> both = inn.store.staysBetween(May1, May1);
    QCOMPARE(both.size(), 2);
    std::swap(both[0].room, both[1].room);
    QCOMPARE(inn.store.save(both), QString());
    const auto sato = std::find_if(both.cbegin(), both.cend(), [&](const RoomStay& s) { return s.id == inn.satoId; });
    QCOMPARE(inn.store.staysOfReservation(7).constFirst().room, sato->room);
    QCOMPARE(sato->room, QStringLiteral("101"));
    // A rewrite of a stay now in a room under repair keeps working there; a move into one not.
    QList<RoomStay> moved = inn.store.staysOfReservation(7);
    moved[0].room = QStringLiteral("203");
    QCOMPARE(inn.store.save(moved), QStringLiteral("203号室は修理中です。"));
}

void TestRoomSvc::freeRooms_data() {
    QTest::addColumn<QDate>("first");
    QTest::addColumn<int>("nights");
    QTest::addColumn<int>("guests");
    QTest::addColumn<QStringList>("free");
    QTest::newRow("her nights") << May1 << 3 << 0 << QStringList{QStringLiteral("101")};
    QTest::newRow("her last night") << May1.addDays(2) << 5 << 0 << QStringList{QStringLiteral("101")};
    QTest::newRow("from her departure") << May1.addDays(3) << 1 << 0
                                        << QStringList{QStringLiteral("101"), QStringLiteral("102")};
    QTest::newRow("up to her arrival") << May1.addDays(-4) << 4 << 0
                                       << QStringList{QStringLiteral("101"), QStringLiteral("102")};
    QTest::newRow("three guests") << May1.addDays(3) << 1 << 3 << QStringList{QStringLiteral("102")};
    QTest::newRow("a long stay before") << May1.addDays(40) << 1 << 0 << QStringList{QStringLiteral("102")};
}

void TestRoomSvc::freeRooms() {
    QFETCH(QDate, first);
    QFETCH(int, nights);
    QFETCH(int, guests);
    QFETCH(QStringList, free);
    Inn inn;
    // A long stay in 101, found from a night near its end.
    QList<RoomStay> long101{stay(QStringLiteral("101"), May1.addDays(30), 20)};
    QCOMPARE(inn.store.save(long101), QString());
    QCOMPARE(codes(inn.store.freeRooms(first, nights, guests)), free);
}

void TestRoomSvc::staysShowTheirParty() {
    Inn inn;
    exec(inn.dir, desk::DbFile::DaySalesCliants,
         QStringLiteral("INSERT INTO CheckInCliants (CheckInNO, CheckInName, CheckInPlan) VALUES ('W1', '田中 一郎', "
                        "'103')"));
    QList<RoomStay> walkIn{stay(QStringLiteral("101"), May1.addDays(1), 1)};
    walkIn[0].checkInNo = QStringLiteral("W1");
    walkIn[0].state = RoomStay::InHouse;
    QCOMPARE(inn.store.save(walkIn), QString());
    QList<RoomStay> open{stay(QString(), May1.addDays(2), 2)};
    QCOMPARE(inn.store.save(open), QString());

    const QList<RoomStay> stays = inn.store.staysBetween(May1.addDays(1), May1.addDays(1));
    QCOMPARE(stays.size(), 2);
    QCOMPARE(stays.at(0).guest, QStringLiteral("佐藤 花子"));
    QCOMPARE(stays.at(0).plan, QStringLiteral("宿泊料金（1泊2食）"));
    QCOMPARE(stays.at(1).guest, QStringLiteral("田中 一郎"));
    QCOMPARE(stays.at(1).plan, QStringLiteral("宿泊料金（素泊まり）"));
    QCOMPARE(stays.at(1).state, RoomStay::InHouse);
    QCOMPARE(inn.store.staysBetween(May1.addDays(3), May1.addDays(9)).size(), 1); // the unassigned
    QCOMPARE(inn.store.staysOfCheckIn(QStringLiteral("w1")).size(), 1);
    QVERIFY(inn.store.room(QStringLiteral("203")).has_value());
    QVERIFY(!inn.store.room(QStringLiteral("203")).value().inService);
    QCOMPARE(codes(inn.store.rooms()),
             (QStringList{QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("203")}));
    inn.store.remove({walkIn[0].id, open[0].id});
    QCOMPARE(inn.stayCount(), 1);
}

void TestRoomSvc::checkInAndOut() {
    // Reservation 7 also holds 101 for the second and third night: one stay goes on after the
    // departure agreed at the desk, the other has not begun.
    Inn inn;
    QList<RoomStay> later{stay(QStringLiteral("101"), May1.addDays(1), 2, 7)};
    QCOMPARE(inn.store.save(later), QString());
    QCOMPARE(inn.store.checkIn(7, QStringLiteral("C5")), QString());
    QCOMPARE(inn.store.checkIn(7, QStringLiteral("C6")),
             QStringLiteral("予約番号7はチェックイン番号C5でチェックイン済みです。"));
    QList<RoomStay> inHouse = inn.store.staysOfCheckIn(QStringLiteral("C5"));
    QCOMPARE(inHouse.size(), 2);
    for (const RoomStay& s : std::as_const(inHouse))
        QCOMPARE(s.state, RoomStay::InHouse);

    inn.store.checkOut(QStringLiteral("C5"), May1.addDays(1));
    const QList<RoomStay> after = inn.store.staysOfCheckIn(QStringLiteral("C5"));
    QCOMPARE(after.size(), 1);
    QCOMPARE(after.constFirst().room, QStringLiteral("102"));
    QCOMPARE(after.constFirst().nights, 1);
    QCOMPARE(after.constFirst().state, RoomStay::CheckedOut);
    QCOMPARE(codes(inn.store.freeRooms(May1.addDays(1), 2)),
             (QStringList{QStringLiteral("101"), QStringLiteral("102")}));
}

// The sample inn's twelve rooms on two floors, and its stays: each in a room of the inn, the
// in-house ones under their check-ins, and all of them saved again without a clash.
void TestRoomSvc::sampleInn() {
    TempDataDir dir(true);
    const RoomStore store(dir.path());
    const QList<Room> rooms = store.rooms();
    QCOMPARE(rooms.size(), 12);
    QCOMPARE(rooms.first().floor + rooms.first().code + rooms.last().floor + rooms.last().code,
             QStringLiteral("1階1012階206"));
    QList<RoomStay> stays = store.staysBetween(QDate::currentDate().addDays(-30), QDate::currentDate().addDays(30));
    QCOMPARE(stays.size(), 9);
    for (const RoomStay& s : std::as_const(stays)) {
        QVERIFY(s.room.isEmpty() || store.room(s.room).has_value());
        QVERIFY(!s.guest.isEmpty());
    }
    QCOMPARE(store.staysOfCheckIn(QStringLiteral("1000")).constFirst().nights, 2);
    QCOMPARE(store.save(stays), QString());
}

QTEST_GUILESS_MAIN(TestRoomSvc)
#include "tst_roomsvc.moc"
