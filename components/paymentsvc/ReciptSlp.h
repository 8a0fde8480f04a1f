#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <memory>

namespace slipkit {
struct SlipHeader;
}

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace paymentsvc {

class PaymentSlipStore;

// Payment slips as a property bag with operations: the store's named face over
// PaymentSlipStore and the rules of PaymentSlip. Windows use the use cases of
// PaymentSlipBook instead.
//
// Use a fresh object per action: DirPath, CntDb, properties, operations. A caller that runs
// several operations for one action (Msave + MDsave; Medit, MeditD1, MDsave, ClearTemp)
// wraps them in a desk::Transaction on connection() of the same object.
class ReciptSlp {
public:
    ReciptSlp();
    ~ReciptSlp();

    ReciptSlp(const ReciptSlp&) = delete;
    ReciptSlp& operator=(const ReciptSlp&) = delete;

    // The slip's number as text when a slip has it, an empty text when none has.
    QString DispSlip(const QString& number);
    // "X" when a slip has the number, an empty text when it is free.
    QString DuplicateCheck(const QString& number);

    // Opens BTRecipt.mdb and the row set RSdetail over BTPaymentDtl.
    void CntDb();
    // Appends the header of a new slip SlipNo; a number that is already taken is refused
    // (DbError), and so is a slip whose work table holds no line ("明細がありません。") or a
    // line without its amount (ConversionError, Refused).
    void Msave();
    // Writes the work table's lines as the lines of slip SlipNo, all or none; refused as Msave
    // is when there is no line or a line has no amount.
    void MDsave();
    // Rewrites the header of slip SlipNo2 (its number becomes SlipNo).
    void Medit();
    // Deletes every line of slip SlipNo2.
    void MeditD1();
    // Deletes slip SlipNo2, header and lines together.
    void Mdelete();
    // Loads slip SlipNo into the properties and appends its lines to the work table;
    // SlipNo becomes "0" (and nothing else changes) when unknown.
    void EDsearch();
    // Proposes the next payment number (highest plus one, 1 for none) in SlipNo.
    void SendReciptNo();
    // Empties the work table.
    void ClearTemp();

    // The connection of this object, for a screen that wraps several operations in one
    // desk::Transaction. Valid after CntDb.
    desk::Connection& connection() const;

    qint16 UrKubun() const { return m_kind; }
    void setUrKubun(qint16 value) { m_kind = value; }
    QString SlipNo() const { return m_slipNo; }
    void setSlipNo(const QString& value) { m_slipNo = value; }
    QString SlipNo2() const { return m_slipNo2; }
    void setSlipNo2(const QString& value) { m_slipNo2 = value; }
    QDate SlipDate() const { return m_slipDate; }
    void setSlipDate(const QDate& value) { m_slipDate = value; }
    QString SlipCliantCode() const { return m_cliantCode; }
    void setSlipCliantCode(const QString& value) { m_cliantCode = value; }
    QString RptBlank1() const { return m_blank1; }
    void setRptBlank1(const QString& value) { m_blank1 = value; }
    QString RptBlank2() const { return m_blank2; }
    void setRptBlank2(const QString& value) { m_blank2 = value; }
    QString SlipRptCode() const { return m_rptCode; }
    void setSlipRptCode(const QString& value) { m_rptCode = value; }
    double SlipKazu() const { return m_kazu; }
    void setSlipKazu(double value) { m_kazu = value; }
    QVariant SlipTekiyo() const { return m_tekiyo; }
    void setSlipTekiyo(const QVariant& value) { m_tekiyo = value; }
    QString RptBlank4() const { return m_blank4; }
    void setRptBlank4(const QString& value) { m_blank4 = value; }
    QVariant SlipRemarks() const { return m_remarks; }
    void setSlipRemarks(const QVariant& value) { m_remarks = value; }
    QString MbookMark() const { return m_bookmark; }
    void setMbookMark(const QString& value) { m_bookmark = value; }
    // The object's own row set over BTPaymentDtl (every payment line); null before CntDb.
    desk::RowSet* RSdetail() const { return m_lines.get(); }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    PaymentSlipStore& store() const;
    slipkit::SlipHeader header() const;
    void refuseUnsavable() const;

    QString m_dirPath;
    std::unique_ptr<PaymentSlipStore> m_store;
    std::unique_ptr<desk::RowSet> m_lines;

    qint16 m_kind = 0;
    QString m_slipNo;
    QString m_slipNo2;
    QDate m_slipDate;
    QString m_cliantCode;
    QString m_blank1;
    QString m_blank2;
    QString m_rptCode;
    double m_kazu = 0;
    QVariant m_tekiyo;
    QString m_blank4;
    QVariant m_remarks;
    QString m_bookmark;
};

} // namespace paymentsvc
