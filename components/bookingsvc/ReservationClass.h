#pragma once

#include <QDate>
#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace bookingsvc {

// The reservation store: owns the table Reserve of BTReservation.mdb.
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

    void setReserveNo(qint32 value) { m_reserveNo = value; }
    qint32 ReserveNo() const { return m_reserveNo; }
    void setRecieveDate(const QDate& value) { m_recieveDate = value; }
    QDate RecieveDate() const { return m_recieveDate; }
    void setReserveDate(const QDate& value) { m_reserveDate = value; }
    // The main menu hands over today as a day text "2002/3/1"; ISO "2002-03-01" is taken too.
    // Throws desk::ConversionError when the text is no calendar date.
    void setReserveDate(const QString& dayText);
    QDate ReserveDate() const { return m_reserveDate; }

    void setCliantName(const QString& value) { m_cliantName = value; }
    QString CliantName() const { return m_cliantName; }
    void setZipCode(const QString& value) { m_zipCode = value; }
    QString ZipCode() const { return m_zipCode; }
    void setAddress1(const QString& value) { m_address1 = value; }
    QString Address1() const { return m_address1; }
    void setAddress2(const QString& value) { m_address2 = value; }
    QString Address2() const { return m_address2; }
    void setAddress3(const QString& value) { m_address3 = value; }
    QString Address3() const { return m_address3; }
    void setTelNo(const QString& value) { m_telNo = value; }
    QString TelNo() const { return m_telNo; }

    void setQuantity(qint32 value) { m_quantity = value; }
    qint32 Quantity() const { return m_quantity; }
    void setQuantityA(qint32 value) { m_quantityA = value; }
    qint32 QuantityA() const { return m_quantityA; }
    void setBadget(qint32 value) { m_badget = value; }
    qint32 Badget() const { return m_badget; }
    void setBadgetA(qint32 value) { m_badgetA = value; }
    qint32 BadgetA() const { return m_badgetA; }

    void setArvTime(const QString& value) { m_arvTime = value; }
    QString ArvTime() const { return m_arvTime; }
    void setArvTimeChkIn(const QString& value) { m_arvTimeChkIn = value; }
    QString ArvTimeChkIn() const { return m_arvTimeChkIn; }
    void setClRemarks(const QString& value) { m_clRemarks = value; }
    QString ClRemarks() const { return m_clRemarks; }
    void setHtPayment(const QString& value) { m_htPayment = value; }
    QString HtPayment() const { return m_htPayment; }
    void setClGroupeName(const QString& value) { m_clGroupeName = value; }
    QString ClGroupeName() const { return m_clGroupeName; }
    void setClTravelAg(const QString& value) { m_clTravelAg = value; }
    QString ClTravelAg() const { return m_clTravelAg; }

    void setCheckInFlg(bool value) { m_checkInFlg = value; }
    bool CheckInFlg() const { return m_checkInFlg; }

    // The row set of the last SendReserveNo that ran the maximum query; null before.
    // Owned by the store.
    desk::RowSet* RsSLNo() const { return m_rsSLNo.get(); }
    // A new row set of the reservations whose use date is ReserveDate; the caller owns it.
    std::unique_ptr<desk::RowSet> RsResv();

    // The store's connection, for a screen that wraps several operations in one
    // desk::Transaction. Throws desk::DbError before CntDb().
    desk::Connection& connection() const;

private:
    desk::RowSet& table() const;
    // Moves the table row set forward to reservation `number`; false at end-of-set.
    bool lookUp(const QString& criterion);
    // Positions on reservation ReserveNo or throws: the write operations need the row.
    void requireCurrent(const char* operation);
    void writeColumns(bool checkedIn);

    QString m_dirPath;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_rsReserve;
    std::unique_ptr<desk::RowSet> m_rsSLNo;

    qint32 m_reserveNo = 0;
    QDate m_recieveDate;
    QDate m_reserveDate;
    QString m_cliantName;
    QString m_zipCode;
    QString m_address1;
    QString m_address2;
    QString m_address3;
    QString m_telNo;
    qint32 m_quantity = 0;
    qint32 m_quantityA = 0;
    qint32 m_badget = 0;
    qint32 m_badgetA = 0;
    QString m_arvTime;
    QString m_arvTimeChkIn;
    QString m_clRemarks;
    QString m_htPayment;
    QString m_clGroupeName;
    QString m_clTravelAg;
    bool m_checkInFlg = false;
};

} // namespace bookingsvc
