#include "RoomStore.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Engine.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace roomsvc {

namespace {

using desk::Connection;
using desk::DbFile::Reservation;

std::shared_ptr<Connection> open(const QString& dirPath, const char* file) {
    return Connection::open(dirPath, QLatin1String(file));
}

const QString StayColumns =
    u"SELECT s.RowKey, s.RoomCode, s.FirstNight, s.Nights, s.Guests, s.RvNo, s.CheckInNO, "
    u"s.StayState, r.RvName, r.RvPlan FROM RoomStays s LEFT JOIN Reserve r ON r.RvNo = s.RvNo "_s;

// The party's name and plan code as the reservation has them; a checked-in stay's are the
// check-in's (fillNames).
struct StayRow {
    RoomStay stay;
    QString planCode;
};

QList<StayRow> readStays(Connection& connection, const QString& where, const QVariantList& binds) {
    QList<StayRow> rows;
    connection.select(StayColumns + where, binds, {}, [&](const QSqlQuery& q) {
        StayRow row;
        RoomStay& s = row.stay;
        s.id = q.value(0).toLongLong();
        s.room = q.value(1).toString();
        s.firstNight = q.value(2).toDate();
        s.nights = q.value(3).toInt();
        s.guests = q.value(4).toInt();
        s.reservationNo = q.value(5).toInt();
        s.checkInNo = q.value(6).toString();
        s.state = RoomStay::State(std::clamp(q.value(7).toInt(), 0, 2));
        s.guest = q.value(8).toString();
        row.planCode = q.value(9).toString();
        rows << row;
    });
    return rows;
}

// "?, ?, ?" for n values.
QString marks(qsizetype n) {
    QStringList list;
    for (qsizetype i = 0; i < n; ++i)
        list << u"?"_s;
    return list.join(u", "_s);
}

// The names and plans of the parties: a check-in's from the check-in file, plan names from
// the commodities. Files are opened only when a stay needs them.
QList<RoomStay> withNames(const QString& dirPath, QList<StayRow> rows) {
    QStringList checkIns;
    for (const StayRow& row : std::as_const(rows)) {
        if (!row.stay.checkInNo.isEmpty() && !checkIns.contains(row.stay.checkInNo, Qt::CaseInsensitive))
            checkIns << row.stay.checkInNo;
    }
    if (!checkIns.isEmpty()) {
        struct Party {
            QString name;
            QString plan;
        };
        QHash<QString, Party> parties; // by the check-in number in upper case
        const auto connection = open(dirPath, desk::DbFile::DaySalesCliants);
        QVariantList binds(checkIns.cbegin(), checkIns.cend());
        connection->select(
            u"SELECT CheckInNO, CheckInName, CheckInPlan FROM CheckInCliants WHERE CheckInNO IN (%1)"_s.arg(
                marks(binds.size())),
            binds, {}, [&](const QSqlQuery& q) {
                parties.insert(q.value(0).toString().toUpper(), {q.value(1).toString(), q.value(2).toString()});
            });
        for (StayRow& row : rows) {
            const auto party = parties.constFind(row.stay.checkInNo.toUpper());
            if (party == parties.constEnd())
                continue;
            if (!party->name.isEmpty())
                row.stay.guest = party->name;
            if (!party->plan.isEmpty())
                row.planCode = party->plan;
        }
    }
    QStringList plans;
    for (const StayRow& row : std::as_const(rows)) {
        if (!row.planCode.isEmpty() && !plans.contains(row.planCode, Qt::CaseInsensitive))
            plans << row.planCode;
    }
    QHash<QString, QString> planNames; // by code in upper case
    if (!plans.isEmpty()) {
        const auto connection = open(dirPath, desk::DbFile::Sales);
        QVariantList binds(plans.cbegin(), plans.cend());
        connection->select(
            u"SELECT Ccode, cname FROM Commodities WHERE Ccode IN (%1)"_s.arg(marks(binds.size())), binds, {},
            [&](const QSqlQuery& q) { planNames.insert(q.value(0).toString().toUpper(), q.value(1).toString()); });
    }
    QList<RoomStay> stays;
    stays.reserve(rows.size());
    for (StayRow& row : rows) {
        row.stay.plan = planNames.value(row.planCode.toUpper());
        stays << row.stay;
    }
    return stays;
}

// The stays with a night in [first, last]: those that begin by `last` and no earlier than the
// longest stay could reach back from `first` (an index gives the longest), the rest by their
// last night. `more` narrows further ("AND s.RoomCode <> ''").
QList<StayRow> rowsBetween(Connection& connection, const QDate& first, const QDate& last, const QString& more = {},
                           const QVariantList& moreBinds = {}) {
    const QVariant longest = connection.scalar(u"SELECT MAX(Nights) FROM RoomStays"_s);
    if (longest.isNull())
        return {};
    const QDate earliest = first.addDays(1 - std::max(1, longest.toInt()));
    QList<StayRow> rows = readStays(connection,
                                    u"WHERE s.FirstNight <= ? AND s.FirstNight >= ?"_s + more +
                                        u" ORDER BY s.FirstNight, s.RoomCode, s.RowKey"_s,
                                    QVariantList{last, earliest} + moreBinds);
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const StayRow& r) { return r.stay.lastNight() < first; }),
               rows.end());
    return rows;
}

QString refusedRoom(const QString& code) {
    return u"%1号室はありません。"_s.arg(code);
}

QString outOfService(const QString& code) {
    return u"%1号室は修理中です。"_s.arg(code);
}

QString guestOf(const RoomStay& stay) {
    if (!stay.guest.isEmpty())
        return stay.guest;
    if (stay.reservationNo != 0)
        return u"予約番号%1のお客"_s.arg(stay.reservationNo);
    return u"ほかのお客"_s;
}

// The first night one of `stays` shares a room with a stay not among them, or with another
// of them: the clerk's refusal, empty when there is none. Read as the file stands: inside the
// save's transaction on files, after the rollback on a server.
QString findClash(const QString& dirPath, Connection& connection, const QList<RoomStay>& stays) {
    QSet<qint64> own;
    for (const RoomStay& s : stays) {
        if (s.id != 0)
            own.insert(s.id);
    }
    struct Clash {
        QDate night;
        QString room;
        StayRow other;
    };
    std::optional<Clash> earliest;
    const auto consider = [&](const RoomStay& stay, const StayRow& other) {
        const QDate from = std::max(stay.firstNight, other.stay.firstNight);
        const QDate to = std::min(stay.lastNight(), other.stay.lastNight());
        if (from > to)
            return;
        if (!earliest || from < earliest->night)
            earliest = Clash{from, stay.room, other};
    };
    for (qsizetype i = 0; i < stays.size(); ++i) {
        const RoomStay& stay = stays.at(i);
        if (stay.room.isEmpty())
            continue;
        const QList<StayRow> others =
            rowsBetween(connection, stay.firstNight, stay.lastNight(), u" AND s.RoomCode = ?"_s, {stay.room});
        for (const StayRow& other : others) {
            if (!own.contains(other.stay.id))
                consider(stay, other);
        }
        for (qsizetype j = i + 1; j < stays.size(); ++j) {
            const RoomStay& mate = stays.at(j);
            if (mate.room.compare(stay.room, Qt::CaseInsensitive) == 0)
                consider(mate, StayRow{stay, {}});
        }
    }
    if (!earliest)
        return {};
    QList<StayRow> named{earliest->other};
    const QList<RoomStay> shown = withNames(dirPath, named);
    return clashText(earliest->room, earliest->night, guestOf(shown.constFirst()));
}

// Whether the engine keeps stays apart itself (a server's rule, checked at commit).
bool engineKeepsApart(const Connection& connection) {
    return !connection.engine().nightsApart(u"RoomStays"_s, u"RoomCode"_s, u"FirstNight"_s, u"Nights"_s).isEmpty();
}

Room roomOf(const QSqlQuery& q) {
    Room r;
    r.code = q.value(0).toString();
    r.name = q.value(1).toString();
    r.type = q.value(2).toString();
    r.capacity = q.value(3).toInt();
    r.minGuests = q.value(4).toInt();
    r.floor = q.value(5).toString();
    r.sortOrder = q.value(6).toInt();
    r.inService = q.value(7).toInt() != 0;
    r.toCheck = q.value(8).toInt() != 0;
    r.note = q.value(9).toString();
    return r;
}

const QString RoomColumns = u"SELECT RoomCode, RoomName, RoomType, Capacity, MinGuests, Floor, SortOrder, InService, "
                            u"ToCheck, RoomNote FROM Rooms "_s;

} // namespace

QString roomListStatement() {
    return u"SELECT RoomCode, RoomName, RoomType, Capacity, MinGuests, Floor, "
           u"CASE WHEN InService = 0 THEN '修理中' ELSE '' END AS Repair, RoomNote "
           u"FROM Rooms ORDER BY SortOrder, RoomCode"_s;
}

QString clashText(const QString& room, const QDate& night, const QString& otherGuest) {
    return u"%1号室の%2の夜は%3様が泊まっています。"_s.arg(room, night.toString(u"M/d"_s), otherGuest);
}

RoomStore::RoomStore(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

QList<Room> RoomStore::rooms() const {
    QList<Room> list;
    open(m_dirPath, desk::DbFile::Option)
        ->select(RoomColumns + u"ORDER BY SortOrder, RoomCode"_s, {}, {},
                 [&](const QSqlQuery& q) { list << roomOf(q); });
    return list;
}

std::optional<Room> RoomStore::room(const QString& code) const {
    std::optional<Room> found;
    open(m_dirPath, desk::DbFile::Option)
        ->select(RoomColumns + u"WHERE RoomCode = ?"_s, {code}, {}, [&](const QSqlQuery& q) { found = roomOf(q); });
    return found;
}

QList<RoomStay> RoomStore::staysBetween(const QDate& first, const QDate& last) const {
    const auto connection = open(m_dirPath, Reservation);
    return withNames(m_dirPath, rowsBetween(*connection, first, last));
}

QList<RoomStay> RoomStore::staysOfReservation(int reservationNo) const {
    const auto connection = open(m_dirPath, Reservation);
    return withNames(
        m_dirPath,
        readStays(*connection, u"WHERE s.RvNo = ? ORDER BY s.FirstNight, s.RoomCode, s.RowKey"_s, {reservationNo}));
}

QList<RoomStay> RoomStore::staysOfCheckIn(const QString& checkInNo) const {
    const auto connection = open(m_dirPath, Reservation);
    return withNames(
        m_dirPath,
        readStays(*connection, u"WHERE s.CheckInNO = ? ORDER BY s.FirstNight, s.RoomCode, s.RowKey"_s, {checkInNo}));
}

QList<Room> RoomStore::freeRooms(const QDate& firstNight, int nights, int guests) const {
    QSet<QString> taken; // codes in upper case
    {
        const auto connection = open(m_dirPath, Reservation);
        for (const StayRow& row : rowsBetween(*connection, firstNight, firstNight.addDays(std::max(1, nights) - 1),
                                              u" AND s.RoomCode <> ''"_s))
            taken.insert(row.stay.room.toUpper());
    }
    QList<Room> free;
    for (const Room& r : rooms()) {
        if (r.inService && (guests <= 0 || r.capacity >= guests) && !taken.contains(r.code.toUpper()))
            free << r;
    }
    return free;
}

QString RoomStore::save(QList<RoomStay>& stays) const {
    for (const RoomStay& s : std::as_const(stays)) {
        if (!s.firstNight.isValid() || s.nights < 1)
            return u"泊まる日と泊数を入れてください。"_s;
    }
    QHash<QString, Room> known; // by code in upper case
    for (const Room& r : rooms())
        known.insert(r.code.toUpper(), r);
    for (const RoomStay& s : std::as_const(stays)) {
        if (!s.room.isEmpty() && !known.contains(s.room.toUpper()))
            return refusedRoom(s.room);
    }

    const auto connection = open(m_dirPath, Reservation);
    const bool engineChecks = engineKeepsApart(*connection);
    QList<qint64> ids;
    try {
        desk::Transaction transaction(*connection);
        // The room each saved stay is in now: a stay is refused a room out of service only when
        // it is put there, so one already in a room under repair can still be changed.
        QHash<qint64, QString> roomNow;
        {
            QList<qint64> saved;
            for (const RoomStay& s : std::as_const(stays)) {
                if (s.id != 0)
                    saved << s.id;
            }
            if (!saved.isEmpty()) {
                QVariantList binds(saved.cbegin(), saved.cend());
                connection->select(
                    u"SELECT RowKey, RoomCode FROM RoomStays WHERE RowKey IN (%1)"_s.arg(marks(binds.size())), binds,
                    {}, [&](const QSqlQuery& q) { roomNow.insert(q.value(0).toLongLong(), q.value(1).toString()); });
                for (const qint64 id : std::as_const(saved)) {
                    if (!roomNow.contains(id))
                        return u"部屋割りがほかの端末で削除されています。開き直してください。"_s;
                }
            }
        }
        for (const RoomStay& s : std::as_const(stays)) {
            if (s.room.isEmpty() || known.value(s.room.toUpper()).inService)
                continue;
            if (s.id == 0 || roomNow.value(s.id).compare(s.room, Qt::CaseInsensitive) != 0)
                return outOfService(known.value(s.room.toUpper()).code);
        }
        // Files: the write lock was taken at BEGIN, so no other desk writes between this check
        // and the commit.
        if (!engineChecks) {
            if (QString clash = findClash(m_dirPath, *connection, stays); !clash.isEmpty())
                return clash;
        }
        for (const RoomStay& s : std::as_const(stays)) {
            // Unassigned is the empty code, never null (the rule and the rack read it so).
            const QVariantList values{s.room.isEmpty() ? QStringLiteral("") : s.room,
                                      s.firstNight,
                                      s.nights,
                                      s.guests,
                                      s.reservationNo == 0 ? QVariant() : QVariant(s.reservationNo),
                                      s.checkInNo.isEmpty() ? QVariant() : QVariant(s.checkInNo),
                                      int(s.state)};
            if (s.id == 0) {
                connection->exec(u"INSERT INTO RoomStays (RoomCode, FirstNight, Nights, Guests, RvNo, CheckInNO, "
                                 u"StayState) VALUES (?, ?, ?, ?, ?, ?, ?)"_s,
                                 values);
                // The newest row: no other desk writes under this transaction's lock.
                ids << connection->scalar(u"SELECT MAX(RowKey) FROM RoomStays"_s).toLongLong();
            } else {
                connection->exec(
                    u"UPDATE RoomStays SET RoomCode = ?, FirstNight = ?, Nights = ?, Guests = ?, RvNo = ?, "
                    u"CheckInNO = ?, StayState = ? WHERE RowKey = ?"_s,
                    values + QVariantList{s.id});
                ids << s.id;
            }
        }
        transaction.commit();
    } catch (const desk::DbError& e) {
        if (e.cause() != desk::DbError::Cause::Clash)
            throw;
        // Another desk saved first: name what it holds, read now that this save is undone.
        if (QString clash = findClash(m_dirPath, *connection, stays); !clash.isEmpty())
            return clash;
        return u"部屋割りがほかの端末の部屋割りと重なっています。開き直してください。"_s;
    }
    for (qsizetype i = 0; i < stays.size(); ++i)
        stays[i].id = ids.at(i);
    return {};
}

void RoomStore::remove(const QList<qint64>& ids) const {
    if (ids.isEmpty())
        return;
    const auto connection = open(m_dirPath, Reservation);
    desk::Transaction transaction(*connection);
    QVariantList binds(ids.cbegin(), ids.cend());
    connection->exec(u"DELETE FROM RoomStays WHERE RowKey IN (%1)"_s.arg(marks(binds.size())), binds);
    transaction.commit();
}

QString RoomStore::checkIn(int reservationNo, const QString& checkInNo) const {
    if (checkInNo.isEmpty())
        return u"チェックイン番号がありません。"_s;
    const auto connection = open(m_dirPath, Reservation);
    desk::Transaction transaction(*connection);
    const QVariant other = connection->scalar(
        u"SELECT CheckInNO FROM RoomStays WHERE RvNo = ? AND ifnull(CheckInNO, '') <> '' AND CheckInNO <> ?"_s,
        {reservationNo, checkInNo});
    if (!other.isNull())
        return u"予約番号%1はチェックイン番号%2でチェックイン済みです。"_s.arg(reservationNo).arg(other.toString());
    connection->exec(u"UPDATE RoomStays SET CheckInNO = ?, StayState = ? WHERE RvNo = ? AND StayState = ?"_s,
                     {checkInNo, int(RoomStay::InHouse), reservationNo, int(RoomStay::Reserved)});
    transaction.commit();
    return {};
}

int RoomStore::staysIn(const QString& room) const {
    return open(m_dirPath, Reservation)->scalar(u"SELECT COUNT(*) FROM RoomStays WHERE RoomCode = ?"_s, {room}).toInt();
}

void RoomStore::checkOut(const QString& checkInNo, const QDate& departure) const {
    const auto connection = open(m_dirPath, Reservation);
    desk::Transaction transaction(*connection);
    const QList<StayRow> rows =
        readStays(*connection, u"WHERE s.CheckInNO = ? AND s.StayState = ?"_s, {checkInNo, int(RoomStay::InHouse)});
    for (const StayRow& row : rows) {
        const RoomStay& s = row.stay;
        const qint64 nightsSpent = s.firstNight.daysTo(departure);
        if (nightsSpent < 1) {
            connection->exec(u"DELETE FROM RoomStays WHERE RowKey = ?"_s, {s.id});
            continue;
        }
        connection->exec(u"UPDATE RoomStays SET Nights = ?, StayState = ? WHERE RowKey = ?"_s,
                         {int(std::min<qint64>(s.nights, nightsSpent)), int(RoomStay::CheckedOut), s.id});
    }
    transaction.commit();
}

} // namespace roomsvc
