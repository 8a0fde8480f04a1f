#pragma once

#include <QDate>
#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace chargesvc {

class SalesSlipStore;

// Sales slips as a property bag with operations: the store's named face over SalesSlipStore
// and the rules of SalesSlip. Windows use the use cases of SalesSlipBook instead.
//
// Use a fresh object per action: DirPath, CntDb, properties, one to three operations. A
// caller that runs several operations for one action (Medit, MeditD1, MDsave) wraps them in
// a desk::Transaction on connection() of the same object.
class SalesClass {
public:
    SalesClass();
    ~SalesClass();

    SalesClass(const SalesClass&) = delete;
    SalesClass& operator=(const SalesClass&) = delete;

    // Opens BTSales.mdb.
    void CntDb();
    // Saves a new slip: the header from the properties and the work table's lines under
    // SalesNo, together or not at all. A number that is already taken is refused (DbError);
    // so is a slip the rules of SalesSlip refuse: no line in the work table ("明細がありません。"),
    // a line without its quantity, a line or total beyond the bill (ConversionError, Refused).
    void Msave();
    // Copies the work table's lines into BTSalesDetail under SalesNo; refused as Msave is.
    void MDsave();
    // Rewrites date, check-in number and sales class of slip SalesNo.
    void Medit();
    // Deletes every line of slip SalesNo.
    void MeditD1();
    // Deletes slip SalesNo, its header and its lines.
    void Mdelete();
    // Loads slip SalesNo: the header into the properties, the lines appended to the work
    // table with their amounts. SalesNo becomes 0 (and nothing else changes) when unknown.
    void EDsearch();
    // Puts the next free slip number (highest plus one, 1 for none) into SalesNo.
    void SendSalesNo();
    // Empties the work table.
    void ClearTemp();
    // Whether a slip numbered SalesNo is stored already.
    bool SalesNoTaken() const;

    // The connection of this object, for a caller that wraps several operations in one
    // desk::Transaction. Valid after CntDb.
    desk::Connection& connection() const;

    qint32 SalesNo() const { return m_salesNo; }
    void setSalesNo(qint32 value) { m_salesNo = value; }
    qint16 SSClass() const { return m_salesClass; }
    void setSSClass(qint16 value) { m_salesClass = value; }
    // Held as its text in the short date format "2002/03/01"; an invalid date clears it.
    QString SalesDate() const { return m_salesDate; }
    void setSalesDate(const QDate& value);
    qint32 SServiceFee() const { return m_serviceFee; }
    // Any numeric value, rounded half to even; ConversionError outside 32 bits.
    void setSServiceFee(double value);
    QString CheckInNO() const { return m_checkInNo; }
    void setCheckInNO(const QString& value) { m_checkInNo = value; }
    QString ComoditySpec() const { return m_commoditySpec; }
    void setComoditySpec(const QString& value) { m_commoditySpec = value; }
    qint32 Quantity() const { return m_quantity; }
    void setQuantity(qint32 value) { m_quantity = value; }
    qint32 UnitePrice() const { return m_unitPrice; }
    void setUnitePrice(qint32 value) { m_unitPrice = value; }
    // Accepted and discarded; always read back empty.
    QString SlipRemarks() const { return {}; }
    void setSlipRemarks(const QString&) {}
    // An operation's own row sets are released when it ends, so between operations, which
    // is all a caller sees, there is none.
    desk::RowSet* RsSLNo() const { return nullptr; }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    SalesSlipStore& store() const;
    void refuseUnsavable() const;
    void writeLines();

    QString m_dirPath;
    std::unique_ptr<SalesSlipStore> m_store;

    qint32 m_salesNo = 0;
    qint16 m_salesClass = 0;
    QString m_salesDate;
    qint32 m_serviceFee = 0;
    QString m_checkInNo;
    QString m_commoditySpec;
    qint32 m_quantity = 0;
    qint32 m_unitPrice = 0;
};

} // namespace chargesvc
