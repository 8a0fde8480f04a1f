#pragma once

#include "data/Connection.h"

#include <QDate>
#include <QString>

namespace fixture {

// Puts the rows the main window and its lists read straight into a data directory.
inline void addReservation(const QString& dir, int number, const QDate& useDate, const QString& name,
                           const QString& tel = {}, int guests = 2, int budget = 15000, const QString& remarks = {}) {
    desk::Connection::open(dir, QLatin1String(desk::DbFile::Reservation))
        ->exec(
            QStringLiteral("INSERT INTO Reserve (RvNo, RvUseDate, RvDate, RvName, RvAddress1, RvAddress2, RvTelNo, "
                           "RvClNumber, RvBadget, RvRemarks1, RvArvtime, RvChkInTime, RvGroupe, RvTravelAg) "
                           "VALUES (?, ?, ?, ?, '長野県松本市', '中央1-1', ?, ?, ?, ?, '15:00', '15:30', "
                           "'松本会', '信州旅行')"),
            {number, useDate.toString(Qt::ISODate), useDate.toString(Qt::ISODate), name, tel, guests, budget, remarks});
}

inline void addStay(const QString& dir, const QString& checkInNo, const QDate& date, const QString& name,
                    const QString& room, bool checkedOut, int guests = 2, const QString& groupe = {}) {
    const auto connection = desk::Connection::open(dir, QLatin1String(desk::DbFile::DaySalesCliants));
    connection->exec(QStringLiteral("INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckInRoomNo, "
                                    "CheckOutFlag) VALUES (?, ?, ?, ?, ?)"),
                     {checkInNo, date.toString(Qt::ISODate), name, room, checkedOut ? 1 : 0});
    connection->exec(QStringLiteral("INSERT INTO CheckInGroupe (CheckInNO, CheckInGroupe) VALUES (?, ?)"),
                     {checkInNo, groupe});
    connection->exec(QStringLiteral("INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES (?, ?, 0)"),
                     {checkInNo, guests});
}

inline void addRoom(const QString& dir, const QString& code) {
    desk::Connection::open(dir, QLatin1String(desk::DbFile::Option))
        ->exec(QStringLiteral("INSERT INTO Rooms (RoomCode, Capacity, Floor) VALUES (?, 4, '1階')"), {code});
}

inline void setFax(const QString& dir, const QString& fax) {
    desk::Connection::open(dir, QLatin1String(desk::DbFile::Option))
        ->exec(QStringLiteral("UPDATE CompanyProfile SET CpFaxno = ?"), {fax});
}

} // namespace fixture
