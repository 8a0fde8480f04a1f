#pragma once

#include "Reservation.h"

#include <QDate>
#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace bookingsvc {

class ReserveTable;

// The reservation store: owns the table Reserve of BTReservation.mdb. Its properties are
// the fields of one Reservation; the booking desk's own actions are in Bookings.
//
// A screen creates one object per action: setDirPath(), CntDb(), the properties, one
// operation (or a short fixed sequence, wrapped in a desk::Transaction on connection()),
// then drops the object. Properties are plain fields; only the operations touch the
// database. Look-ups search forward from the table row set's current row, which after
// CntDb() is the first row. Every failure is thrown (desk::DbError, desk::ConversionError).
class ReservationClass {
public:
    ReservationClass();
    ~ReservationClass();

    ReservationClass(const ReservationClass&) = delete;
    ReservationClass& operator=(const ReservationClass&) = delete;

    // Opens the connection to BTReservation.mdb and the row set over Reserve.
    void CntDb();
    // 0 when a reservation with this number exists, otherwise the number itself.
    qint32 ReserveNoCheck(qint32 number);
    // Marks reservation ReserveNo as checked in.
    void ChkIn();
    // Inserts a reservation from the properties; always stored as not checked in.
    void Msave();
    // Rewrites reservation ReserveNo from the properties, CheckInFlg included.
    void Medit();
    // Deletes reservation ReserveNo.
    void Mdelete();
    // Loads reservation ReserveNo into the properties; ReserveNo becomes 0 when unknown.
    void EDsearch();
    // Proposes the next number (highest plus one, 1 on an empty table) in ReserveNo.
    void SendReserveNo();

    void setDirPath(const QString& dirPath) { m_dirPath = dirPath; }

    void setReserveNo(qint32 value) { m_entry.number = value; }
    qint32 ReserveNo() const { return m_entry.number; }
    void setRecieveDate(const QDate& value) { m_entry.receivedOn = value; }
    QDate RecieveDate() const { return m_entry.receivedOn; }
    void setReserveDate(const QDate& value) { m_entry.useDate = value; }
    // The main menu hands over today as a day text "2002/3/1"; ISO "2002-03-01" is taken too.
    // Throws desk::ConversionError when the text is no calendar date.
    void setReserveDate(const QString& dayText);
    QDate ReserveDate() const { return m_entry.useDate; }

    void setCliantName(const QString& value) { m_entry.guestName = value; }
    QString CliantName() const { return m_entry.guestName; }
    void setZipCode(const QString& value) { m_entry.zipCode = value; }
    QString ZipCode() const { return m_entry.zipCode; }
    void setAddress1(const QString& value) { m_entry.address1 = value; }
    QString Address1() const { return m_entry.address1; }
    void setAddress2(const QString& value) { m_entry.address2 = value; }
    QString Address2() const { return m_entry.address2; }
    void setAddress3(const QString& value) { m_entry.address3 = value; }
    QString Address3() const { return m_entry.address3; }
    void setTelNo(const QString& value) { m_entry.telNo = value; }
    QString TelNo() const { return m_entry.telNo; }

    void setQuantity(qint32 value) { m_entry.guests = value; }
    qint32 Quantity() const { return m_entry.guests; }
    void setQuantityA(qint32 value) { m_quantityA = value; }
    qint32 QuantityA() const { return m_quantityA; }
    void setBadget(qint32 value) { m_entry.budget = value; }
    qint32 Badget() const { return m_entry.budget; }
    void setBadgetA(qint32 value) { m_badgetA = value; }
    qint32 BadgetA() const { return m_badgetA; }

    void setArvTime(const QString& value) { m_entry.arrivalTime = value; }
    QString ArvTime() const { return m_entry.arrivalTime; }
    void setArvTimeChkIn(const QString& value) { m_entry.checkInTime = value; }
    QString ArvTimeChkIn() const { return m_entry.checkInTime; }
    void setClRemarks(const QString& value) { m_entry.remarks = value; }
    QString ClRemarks() const { return m_entry.remarks; }
    void setHtPayment(const QString& value) { m_htPayment = value; }
    QString HtPayment() const { return m_htPayment; }
    void setClGroupeName(const QString& value) { m_entry.groupName = value; }
    QString ClGroupeName() const { return m_entry.groupName; }
    void setClTravelAg(const QString& value) { m_entry.travelAgent = value; }
    QString ClTravelAg() const { return m_entry.travelAgent; }

    void setCheckInFlg(bool value) { m_entry.checkedIn = value; }
    bool CheckInFlg() const { return m_entry.checkedIn; }

    // The row set of the last SendReserveNo that ran the maximum query; null before.
    // Owned by the store.
    desk::RowSet* RsSLNo() const;
    // A new row set of the reservations whose use date is ReserveDate; the caller owns it.
    std::unique_ptr<desk::RowSet> RsResv();

    // The store's connection, for a screen that wraps several operations in one
    // desk::Transaction. Throws desk::DbError before CntDb().
    desk::Connection& connection() const;

private:
    ReserveTable& table() const;
    // Positions on reservation ReserveNo or throws: the write operations need the row.
    void requireCurrent(const char* operation);

    QString m_dirPath;
    std::unique_ptr<ReserveTable> m_table;

    Reservation m_entry;
    qint32 m_quantityA = 0;
    qint32 m_badgetA = 0;
    QString m_htPayment;
};

} // namespace bookingsvc
