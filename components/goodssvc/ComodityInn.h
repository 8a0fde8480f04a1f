#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace goodssvc {

// The inn's commodities: one row in Commodities (name, class, unit, remarks, how it is
// taxed and whether the service charge applies) and one in
// CmPrice (five price levels) per code, always written together.
//
// Use a fresh object per action: DirPath, CntDb, properties, one operation. Look-ups search
// forward from where the previous look-up on the same object stopped, so a second look-up
// on one object only sees the rows at or after the first one's hit.
class ComodityInn {
public:
    ComodityInn();
    ~ComodityInn();

    ComodityInn(const ComodityInn&) = delete;
    ComodityInn& operator=(const ComodityInn&) = delete;

    // Opens BTSales.mdb and the row sets over Commodities and CmPrice; again replaces them.
    void CntDb();

    // The commodity's name, or "X" when the code is unknown.
    QString ComodityName(const QString& McdsCode);
    // The standard price (CMprice0) as a 32-bit integer, or the text "X" when the code has
    // no price row.
    QVariant ComodityPrice(const QString& McdsCode);
    // How the commodity is taxed: its tax class (CTaxClass: 0 standard, 1 reduced, 2 exempt)
    // and whether the inn's service charge applies (CService); nothing when the code is unknown.
    struct Taxing {
        int taxClass = 0;
        bool service = true;
    };
    std::optional<Taxing> ComodityTaxing(const QString& McdsCode);
    // "O" when the code is free, "X" when it is taken.
    QString DuplicateCheck(const QString& McdsCode);
    // Whether a commodity has the code (searching forward, as DuplicateCheck).
    bool hasCode(const QString& McdsCode);

    // Adds the commodity MdCode from the properties (both rows, together or not at all).
    void Msave();
    // Rewrites the commodity MdCode2 from the properties; its code becomes MdCode.
    void Medit();
    // Deletes the commodity MdCode2 from both tables.
    void Mdelete();
    // Loads the commodity MdCode into the properties; MdCode becomes "X" when unknown.
    void EDsearch();
    // How many commodities belong to the class classCode (Cclasify): the class window asks
    // before deleting a class that is still in use.
    int countOfClass(const QString& classCode) const;

    // The connection of this object, for a screen that wraps several operations in one
    // desk::Transaction. Valid after CntDb.
    desk::Connection& connection() const;

    QString MdCode() const { return m_code; }
    void setMdCode(const QString& value) { m_code = value; }
    void setMdCode2(const QString& value) { m_code2 = value; }
    QString Mname() const { return m_name; }
    void setMname(const QString& value) { m_name = value; }
    QString Mclasify() const { return m_classCode; }
    void setMclasify(const QString& value) { m_classCode = value; }
    QString Munite() const { return m_unit; }
    void setMunite(const QString& value) { m_unit = value; }
    qint32 Mprice0() const { return m_prices[0]; }
    void setMprice0(qint32 value) { m_prices[0] = value; }
    qint32 Mprice1() const { return m_prices[1]; }
    void setMprice1(qint32 value) { m_prices[1] = value; }
    qint32 Mprice2() const { return m_prices[2]; }
    void setMprice2(qint32 value) { m_prices[2] = value; }
    qint32 Mprice3() const { return m_prices[3]; }
    void setMprice3(qint32 value) { m_prices[3] = value; }
    qint32 Mprice4() const { return m_prices[4]; }
    void setMprice4(qint32 value) { m_prices[4] = value; }
    int MtaxClass() const { return m_taxing.taxClass; }
    void setMtaxClass(int value) { m_taxing.taxClass = value; }
    bool Mservice() const { return m_taxing.service; }
    void setMservice(bool value) { m_taxing.service = value; }
    // The percent of the price that is the room (宿泊料): 100 for a room only, e.g. 60 for a
    // plan with two meals, 0 for what is not a stay. The accommodation tax's bands read it.
    int MroomShare() const { return m_roomShare; }
    void setMroomShare(int value) { m_roomShare = value; }
    bool MmealDinner() const { return m_mealDinner; }
    void setMmealDinner(bool value) { m_mealDinner = value; }
    bool MmealBreakfast() const { return m_mealBreakfast; }
    void setMmealBreakfast(bool value) { m_mealBreakfast = value; }
    QString Mremarks() const { return m_remarks; }
    void setMremarks(const QString& value) { m_remarks = value; }
    QString MbookMark() const { return m_bookmark; }
    void setMbookMark(const QString& value) { m_bookmark = value; }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    static constexpr int PriceLevels = 5;

    // Finds the code forward from the current row of rows; true when found.
    bool findCode(desk::RowSet& rows, const QString& code);
    void requireConnected() const;
    void writeCommodity();
    void writePrices();

    QString m_dirPath;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_commodities;
    std::unique_ptr<desk::RowSet> m_priceRows;
    QString m_criterion;

    QString m_code;
    QString m_code2;
    QString m_name;
    QString m_classCode;
    QString m_unit;
    qint32 m_prices[PriceLevels] = {};
    QString m_remarks;
    Taxing m_taxing;
    int m_roomShare = 0;
    bool m_mealDinner = false;
    bool m_mealBreakfast = false;
    QString m_bookmark;
};

} // namespace goodssvc
