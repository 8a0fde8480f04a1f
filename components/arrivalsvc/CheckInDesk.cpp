#include "CheckInDesk.h"

#include "CheckInTables.h"

#include "bookingsvc/Bookings.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"

#include <QRegularExpression>

#include <algorithm>

namespace arrivalsvc {

QStringList roomCodes(const QString& roomBox) {
    static const QRegularExpression separators(QStringLiteral("[,、，・\\s]+"));
    return roomBox.split(separators, Qt::SkipEmptyParts);
}

QString joinedRooms(const QStringList& codes) {
    return codes.join(u',');
}

struct CheckInDesk::RoomChange {
    QList<roomsvc::RoomStay> before;   // as they were: put back should the check-in fail
    QList<roomsvc::RoomStay> saved;    // as saved now
    QList<qint64> added;               // saved anew: removed should the check-in fail
    QList<roomsvc::RoomStay> leftOver; // stays the entry no longer holds, removed once it stands
    // The stays were the reservation's as they stand: RoomStore::checkIn takes them over.
    qint32 takeOverReservation = 0;
};

CheckInDesk::CheckInDesk(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

QString CheckInDesk::placeRooms(const CheckIn& entry, const QList<roomsvc::RoomStay>& current,
                                RoomChange& change) const {
    const roomsvc::RoomStore store(m_dirPath);
    const QStringList codes = roomCodes(entry.roomNo);
    // An inn that keeps no rooms keeps the room box as a text.
    if (codes.isEmpty() || store.rooms().isEmpty())
        return {};
    QList<roomsvc::RoomStay> stays;
    QList<bool> used(current.size(), false);
    for (const QString& code : codes) {
        const std::optional<roomsvc::Room> room = store.room(code);
        if (!room)
            return QStringLiteral("「%1」という部屋はありません。客室マスターの部屋番号を入力してください。").arg(code);
        if (std::any_of(stays.cbegin(), stays.cend(),
                        [&](const auto& stay) { return stay.room.compare(room->code, Qt::CaseInsensitive) == 0; }))
            continue;
        roomsvc::RoomStay stay;
        stay.room = room->code;
        stay.guests = -1; // the party's, below
        // The stay the room already had is rewritten, keeping its guests.
        for (qsizetype i = 0; i < current.size(); ++i) {
            if (!used[i] && current[i].room.compare(room->code, Qt::CaseInsensitive) == 0) {
                used[i] = true;
                stay.id = current[i].id;
                stay.guests = current[i].guests;
                break;
            }
        }
        stays << stay;
    }
    // A room new to the party takes the place of one it no longer holds (the unassigned one first).
    for (roomsvc::RoomStay& stay : stays) {
        if (stay.id != 0)
            continue;
        for (qsizetype i = 0; i < current.size(); ++i) {
            if (!used[i]) {
                used[i] = true;
                stay.id = current[i].id;
                break;
            }
        }
    }
    // The guests not in a kept room are shared out over the new ones, the first taking the rest.
    qint32 placed = 0;
    qint32 newRooms = 0;
    for (const roomsvc::RoomStay& stay : std::as_const(stays)) {
        if (stay.guests >= 0)
            placed += stay.guests;
        else
            ++newRooms;
    }
    qint32 left = std::max<qint32>(entry.guests - placed, 0);
    for (roomsvc::RoomStay& stay : stays) {
        if (stay.guests >= 0)
            continue;
        const qint32 share = (left + newRooms - 1) / newRooms;
        --newRooms;
        stay.guests = std::min(share, left);
        left -= stay.guests;
    }
    if (stays.size() == 1 && current.isEmpty())
        stays.first().guests = std::max<qint32>(entry.guests, 0);

    bool asBooked = entry.reserveNo != 0 && stays.size() == current.size();
    for (roomsvc::RoomStay& stay : stays) {
        const auto same =
            std::find_if(current.cbegin(), current.cend(), [&](const auto& c) { return c.id == stay.id; });
        if (same == current.cend() || same->room.compare(stay.room, Qt::CaseInsensitive) != 0 ||
            same->firstNight != entry.date || same->nights != entry.nights ||
            same->state != roomsvc::RoomStay::Reserved)
            asBooked = false;
        stay.firstNight = entry.date;
        stay.nights = entry.nights;
        stay.reservationNo = entry.reserveNo;
        stay.checkInNo = entry.number;
        stay.state = roomsvc::RoomStay::InHouse;
    }
    for (qsizetype i = 0; i < current.size(); ++i) {
        if (!used[i])
            change.leftOver << current[i];
    }
    change.before = current;
    if (asBooked) {
        // The reservation's rooms as booked: taken over once the check-in stands.
        change.takeOverReservation = entry.reserveNo;
        return {};
    }
    const QString refusal = store.save(stays);
    if (!refusal.isEmpty())
        return refusal;
    change.saved = stays;
    for (const roomsvc::RoomStay& stay : std::as_const(stays)) {
        if (std::none_of(current.cbegin(), current.cend(), [&](const auto& c) { return c.id == stay.id; }))
            change.added << stay.id;
    }
    return {};
}

void CheckInDesk::undoRooms(const RoomChange& change) const {
    // Putting back what this call changed; a failure here must not hide the one being told.
    try {
        const roomsvc::RoomStore store(m_dirPath);
        if (!change.added.isEmpty())
            store.remove(change.added);
        QList<roomsvc::RoomStay> before = change.before;
        if (!change.saved.isEmpty() && !before.isEmpty())
            store.save(before);
    } catch (...) {
    }
}

void CheckInDesk::finishRooms(const RoomChange& change) const {
    const roomsvc::RoomStore store(m_dirPath);
    if (!change.leftOver.isEmpty()) {
        QList<qint64> ids;
        for (const roomsvc::RoomStay& stay : change.leftOver)
            ids << stay.id;
        store.remove(ids);
    }
}

QString CheckInDesk::nextNumber() const {
    CheckInTables tables(m_dirPath);
    return tables.nextNumber();
}

CheckInDesk::Registration CheckInDesk::registerCheckIn(const CheckIn& entry, const QString& proposed,
                                                       std::optional<qint32> takenOver) const {
    Registration done;
    QList<roomsvc::RoomStay> current;
    if (takenOver) {
        current = roomsvc::RoomStore(m_dirPath).staysOfReservation(*takenOver);
        current.removeIf([](const auto& stay) { return stay.state != roomsvc::RoomStay::Reserved; });
    }
    RoomChange rooms;
    CheckIn withLink = entry;
    if (takenOver && withLink.reserveNo == 0)
        withLink.reserveNo = *takenOver;
    done.refusal = placeRooms(withLink, current, rooms);
    if (!done.refusal.isEmpty()) {
        done.outcome = Registration::Outcome::RoomRefused;
        return done;
    }
    try {
        CheckInTables tables(m_dirPath);
        // The duplicate test and the six rows in one transaction, so no other desk slips in between.
        desk::Transaction transaction(*tables.connection());
        if (tables.taken(entry.number)) {
            done.outcome = entry.number == proposed ? Registration::Outcome::TakenByAnotherDesk
                                                    : Registration::Outcome::NumberTaken;
        } else {
            tables.add(entry);
            transaction.commit();
        }
    } catch (...) {
        undoRooms(rooms);
        throw;
    }
    if (done.outcome != Registration::Outcome::Registered)
        undoRooms(rooms);
    if (done.outcome == Registration::Outcome::TakenByAnotherDesk) {
        done.nextNumber = nextNumber();
        return done;
    }
    if (done.outcome != Registration::Outcome::Registered)
        return done;
    // The rooms as booked become the check-in's; rooms the party no longer holds are freed.
    if (rooms.takeOverReservation != 0)
        done.refusal = roomsvc::RoomStore(m_dirPath).checkIn(rooms.takeOverReservation, entry.number);
    finishRooms(rooms);
    // The check-in stands on its own; a reservation that cannot be marked is reported, not undone.
    if (takenOver) {
        try {
            bookingsvc::Bookings(m_dirPath).markCheckedIn(*takenOver);
        } catch (...) {
            done.reservationFailure = std::current_exception();
        }
    }
    return done;
}

CheckInDesk::Correction CheckInDesk::correct(const QString& stored, const CheckIn& entry, QString* refusal) const {
    QList<roomsvc::RoomStay> current = roomsvc::RoomStore(m_dirPath).staysOfCheckIn(stored);
    current.removeIf([](const auto& stay) { return stay.state != roomsvc::RoomStay::InHouse; });
    // The reservation link is kept as first saved: the rooms keep the one they have.
    CheckIn withLink = entry;
    if (!current.isEmpty())
        withLink.reserveNo = current.first().reservationNo;
    RoomChange rooms;
    const QString roomRefusal = placeRooms(withLink, current, rooms);
    if (!roomRefusal.isEmpty()) {
        if (refusal)
            *refusal = roomRefusal;
        return Correction::RoomRefused;
    }
    bool taken = false;
    try {
        CheckInTables tables(m_dirPath);
        desk::Transaction transaction(*tables.connection());
        // Counted apart from the row sets, which must find the stored rows from the start.
        taken = !desk::convert::sameCode(entry.number, stored) && tables.inUse(entry.number);
        if (!taken) {
            tables.rewrite(stored, entry);
            transaction.commit();
        }
    } catch (...) {
        undoRooms(rooms);
        throw;
    }
    if (taken) {
        undoRooms(rooms);
        return Correction::NumberTaken;
    }
    finishRooms(rooms);
    return Correction::Corrected;
}

void CheckInDesk::remove(const QString& stored) const {
    {
        CheckInTables tables(m_dirPath);
        tables.remove(stored);
    }
    const roomsvc::RoomStore store(m_dirPath);
    QList<qint64> ids;
    for (const roomsvc::RoomStay& stay : store.staysOfCheckIn(stored)) {
        if (stay.state == roomsvc::RoomStay::InHouse)
            ids << stay.id;
    }
    if (!ids.isEmpty())
        store.remove(ids);
}

std::optional<CheckIn> CheckInDesk::callUp(const QString& number) const {
    CheckInTables tables(m_dirPath);
    return tables.load(number);
}

void CheckInDesk::markCheckedOut(const QString& number, const QDate& day) const {
    {
        CheckInTables tables(m_dirPath);
        tables.checkOut(number, day);
    }
    // The rooms are free from the settlement day; a guest gone already holds none.
    roomsvc::RoomStore(m_dirPath).checkOut(number, day.isValid() ? day : QDate::currentDate());
}

std::unique_ptr<desk::RowSet> CheckInDesk::inHouse() const {
    return CheckInTables::staysWhere(desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::DaySalesCliants)),
                                     QStringLiteral("CheckOutFlag = False"));
}

std::unique_ptr<desk::RowSet> CheckInDesk::history(const StaySearch& search) const {
    return CheckInTables::staysWhere(desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::DaySalesCliants)),
                                     search.condition());
}

} // namespace arrivalsvc
