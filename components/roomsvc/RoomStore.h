#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace roomsvc {

// A room of the inn (Rooms in the option file).
struct Room {
    QString code;     // "201": the number the clerk says; unique, case-blind
    QString name;     // "桜"
    QString type;     // a RoomTypes name: "和室", "洋室", "和洋室", "離れ"
    int capacity = 0; // 定員
    int minGuests = 0;
    QString floor; // "1階", "2階" (rooms are grouped under it)
    int sortOrder = 0;
    bool inService = true; // false: 修理中
    bool toCheck = false;  // made by the upgrade from a room text: the owner checks it
    QString note;
};

// One party's stay in one room (or in none yet) over consecutive nights (RoomStays in the
// reservation file). No two stays hold one room for one night: on a server the database's own
// rule refuses it, on files the store checks inside its write transaction.
struct RoomStay {
    enum State { Reserved, InHouse, CheckedOut };
    qint64 id = 0; // 0: not saved yet
    QString room;  // empty: unassigned (未割当)
    QDate firstNight;
    int nights = 1;
    int guests = 0;
    int reservationNo = 0; // RvNo, 0 none (a walk-in)
    QString checkInNo;     // CheckInNO, empty until checked in
    State state = Reserved;
    // Read-only, joined for showing: the party's name and plan (commodity name), empty if none.
    QString guest;
    QString plan;
    QDate lastNight() const { return firstNight.addDays(nights - 1); }
};

// The rooms and the stays in them. Each call opens its own connections on the inn's data
// path (a folder or a server's address); every write is one transaction with its checks.
// Failures of the engine are thrown (desk::DbError); refusals of the inn's rules are returned
// as the clerk's text.
class RoomStore {
public:
    explicit RoomStore(QString dirPath);

    QList<Room> rooms() const; // by sortOrder, then code
    std::optional<Room> room(const QString& code) const;
    // Every stay with a night in [first, last], the unassigned included.
    QList<RoomStay> staysBetween(const QDate& first, const QDate& last) const;
    QList<RoomStay> staysOfReservation(int reservationNo) const;
    QList<RoomStay> staysOfCheckIn(const QString& checkInNo) const;
    // Rooms in service holding no stay on any of the nights, with capacity >= guests
    // (guests 0: any), by sortOrder.
    QList<Room> freeRooms(const QDate& firstNight, int nights, int guests = 0) const;
    // Inserts (id 0) or rewrites the stays as one transaction: either all or none. Returns
    // empty, or the refusal naming room, night and the other party (clashText), also for a
    // clash the server's rule found (another desk won); "203号室は修理中です。" for a room out
    // of service the stay is put into. Saved ids are written back into `stays`.
    QString save(QList<RoomStay>& stays) const;
    void remove(const QList<qint64>& ids) const; // one transaction
    // A reservation's stays become the check-in's (state InHouse, checkInNo set).
    QString checkIn(int reservationNo, const QString& checkInNo) const;
    // How many stays (of any state) are in the room, its code compared case-blind.
    int staysIn(const QString& room) const;
    // Check-out: the check-in's stays end with the night before `departure` (a stay not yet
    // begun is removed), state CheckedOut.
    void checkOut(const QString& checkInNo, const QDate& departure) const;

private:
    QString m_dirPath;
};

// The refusal text of a clash, used by the store and by the rack alike:
// "102号室の5/2の夜は佐藤 花子様が泊まっています。"
QString clashText(const QString& room, const QDate& night, const QString& otherGuest);

// The room list of the option file in the rooms' order, a room out of service marked 修理中
// in its column Repair: a statement for the list report.
QString roomListStatement();

} // namespace roomsvc
