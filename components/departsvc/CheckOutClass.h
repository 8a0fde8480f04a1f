#pragma once

#include <QString>
#include <QVariant>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace departsvc {

// The check-out statement of one guest: every sales line and payment recorded under the
// check-in number, with service charge, consumption tax, total, amount paid and amount to
// be paid, written into the work table CheckOutTemp for the screen and the bill. The
// statement itself is a Statement worked out by Settlement, which the check-out window uses.
//
// Use a fresh object per call: DirPath, CntDb, then CheckInNO and CheckOut, or RsTempDelete.
class CheckOutClass {
public:
    CheckOutClass();
    ~CheckOutClass();

    CheckOutClass(const CheckOutClass&) = delete;
    CheckOutClass& operator=(const CheckOutClass&) = delete;

    // Appends the statement of CheckInNO to CheckOutTemp, entirely or not at all; its sums
    // are those of the rows it writes. Empty the table first (RsTempDelete) so that it
    // holds one statement. The consumption tax is worked out per rate (taxsvc) at the rates
    // in force on ChkOutDate, today when it is unset; a date no rate covers is a
    // desk::DbError. The bathing and accommodation taxes in force that day follow the tax
    // rows, one row each ("入湯税 150円×2名×1泊"), in the total but in no rate's base; the
    // nights run from the check-in date to ChkOutDate. Amounts beyond 32 bits raise
    // desk::ConversionError.
    void CheckOut();
    // Empties CheckOutTemp (nothing to do when it is empty already).
    void RsTempDelete();
    // Opens BTSales.mdb, dbOptionBT.mdb and BTRecipt.mdb and the row set over CheckOutTemp.
    void CntDb();

    // The connection to dbOptionBT.mdb, which holds CheckOutTemp, for a screen that wraps
    // RsTempDelete and CheckOut in one desk::Transaction. Valid after CntDb.
    desk::Connection& connection() const;

    QVariant ChkInDate() const { return m_checkInDate; }
    void setChkInDate(const QVariant& value) { m_checkInDate = value; }
    // The settlement date: the day whose rates the statement uses.
    QVariant ChkOutDate() const { return m_checkOutDate; }
    void setChkOutDate(const QVariant& value) { m_checkOutDate = value; }
    QString CheckInNO() const { return m_checkInNo; }
    void setCheckInNO(const QString& value) { m_checkInNo = value; }
    QString CliantName() const { return m_cliantName; }
    void setCliantName(const QString& value) { m_cliantName = value; }
    QString CliantRoomNo() const { return m_cliantRoomNo; }
    void setCliantRoomNo(const QString& value) { m_cliantRoomNo = value; }
    qint16 CliantsNo() const { return m_cliantsNo; }
    void setCliantsNo(qint16 value) { m_cliantsNo = value; }
    QString CliantGroupe() const { return m_cliantGroupe; }
    void setCliantGroupe(const QString& value) { m_cliantGroupe = value; }
    // The object's own row set over CheckOutTemp (the statement); null before CntDb.
    desk::RowSet* RsCliantSales() const { return m_statement.get(); }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    void requireConnected() const;

    QString m_dirPath;
    std::shared_ptr<desk::Connection> m_sales;
    std::shared_ptr<desk::Connection> m_option;
    std::shared_ptr<desk::Connection> m_recipt;
    std::unique_ptr<desk::RowSet> m_statement;

    QVariant m_checkInDate;
    QVariant m_checkOutDate;
    QString m_checkInNo;
    QString m_cliantName;
    QString m_cliantRoomNo;
    qint16 m_cliantsNo = 0;
    QString m_cliantGroupe;
};

} // namespace departsvc
