#pragma once

#include <QDate>
#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace chargesvc {

// Sales slips: a header in BTSalesNo and its lines in BTSalesDetail. The slip on screen
// lives in the shared work table BTTempSalesDetail, which the sales grid edits directly;
// this class copies it into BTSalesDetail on save, loads a stored slip into it on recall
// and empties it on request.
//
// Use a fresh object per screen action: DirPath, CntDb, properties, one to three
// operations. A screen that runs several operations for one action (Medit, MeditD1, MDsave)
// wraps them in a desk::Transaction on connection() of the same object.
class SalesClass {
public:
    SalesClass();
    ~SalesClass();

    SalesClass(const SalesClass&) = delete;
    SalesClass& operator=(const SalesClass&) = delete;

    // Opens BTSales.mdb and the row sets over BTSalesNo, BTSalesDetail and BTTempSalesDetail.
    void CntDb();
    // Saves a new slip: the header from the properties and the work table's lines under
    // SalesNo, together or not at all. A number that is already taken is refused (DbError);
    // so is a slip whose work table holds no line ("明細がありません。") or a line without its
    // quantity (ConversionError, Refused).
    void Msave();
    // Copies the work table's lines into BTSalesDetail under SalesNo; refused as Msave is when
    // there is no line or a line has no quantity.
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
    // Whether a slip numbered SalesNo is stored already (another desk may have saved under
    // the number this screen proposed).
    bool SalesNoTaken() const;

    // The connection of this object, for a screen that wraps several operations in one
    // desk::Transaction. Valid after CntDb.
    desk::Connection& connection() const;

    qint32 SalesNo() const { return m_salesNo; }
    void setSalesNo(qint32 value) { m_salesNo = value; }
    qint32 SalesNo2() const { return m_salesNo2; }
    void setSalesNo2(qint32 value) { m_salesNo2 = value; }
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
    QString CommodityCode() const { return m_commodityCode; }
    void setCommodityCode(const QString& value) { m_commodityCode = value; }
    QString ComoditySpec() const { return m_commoditySpec; }
    void setComoditySpec(const QString& value) { m_commoditySpec = value; }
    qint32 Quantity() const { return m_quantity; }
    void setQuantity(qint32 value) { m_quantity = value; }
    qint32 UnitePrice() const { return m_unitPrice; }
    void setUnitePrice(qint32 value) { m_unitPrice = value; }
    // Accepted and discarded; always read back empty.
    QString SlipUnit() const { return {}; }
    void setSlipUnit(const QString&) {}
    QString SlipRemarks() const { return {}; }
    void setSlipRemarks(const QString&) {}
    // The row set an operation works with (number query, a slip's lines); it is released
    // when the operation ends, so between operations this is null. Writes are discarded.
    desk::RowSet* RsSLNo() const { return m_operationRows.get(); }
    void setRsSLNo(desk::RowSet*) {}
    QString SLData1() const { return m_data1; }
    void setSLData1(const QString& value) { m_data1 = value; }
    double SLData2() const { return m_data2; }
    void setSLData2(double value) { m_data2 = value; }
    QString SLData3() const { return m_data3; }
    void setSLData3(const QString& value) { m_data3 = value; }
    QString SLData4() const { return m_data4; }
    void setSLData4(const QString& value) { m_data4 = value; }
    QString SLData5() const { return m_data5; }
    void setSLData5(const QString& value) { m_data5 = value; }
    QString SLData6() const { return m_data6; }
    void setSLData6(const QString& value) { m_data6 = value; }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    void requireConnected() const;
    bool findHeader();
    void requireHeader(const QString& action);
    void refuseTakenNumber(qint32 number) const;
    void refuseIncompleteWork() const;
    void copyWorkLines();
    void deleteLines();
    void writeHeaderFields();

    QString m_dirPath;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_headers;
    std::unique_ptr<desk::RowSet> m_lines;
    std::unique_ptr<desk::RowSet> m_work;
    std::unique_ptr<desk::RowSet> m_operationRows;

    qint32 m_salesNo = 0;
    qint32 m_salesNo2 = 0;
    qint16 m_salesClass = 0;
    QString m_salesDate;
    qint32 m_serviceFee = 0;
    QString m_checkInNo;
    QString m_commodityCode;
    QString m_commoditySpec;
    qint32 m_quantity = 0;
    qint32 m_unitPrice = 0;
    QString m_data1;
    double m_data2 = 0;
    QString m_data3;
    QString m_data4;
    QString m_data5;
    QString m_data6;
};

} // namespace chargesvc
