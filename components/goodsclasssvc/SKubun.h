#pragma once

#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace goodsclasssvc {

// The commodity classes (CommodityClasify): code and name.
//
// Use a fresh object per action: DirPath, CntDb, properties, one operation. Look-ups search
// forward from where the previous look-up on the same object stopped.
class SKubun {
public:
    SKubun();
    ~SKubun();

    SKubun(const SKubun&) = delete;
    SKubun& operator=(const SKubun&) = delete;

    // Opens BTSales.mdb and the row set over CommodityClasify.
    void CntDb();

    // Adds the class McCode / McName.
    void Mcsave();
    // Rewrites the class McCode2 with McCode / McName (the code may change).
    void Mcedit();
    // Deletes the class McCode2.
    void Mcdelete();
    // Loads the class McCode; McCode becomes "X" when unknown, McName is then left alone.
    void McEDsearch();
    // An empty text when the code is free, "x" (lower case) when a class has it.
    QString DuplicateCodeCheck(const QString& code);
    // The class's name, or "X" when no class has the code.
    QString DispName(const QString& code);

    // The connection of this object, for a screen that wraps several operations in one
    // desk::Transaction. Valid after CntDb.
    desk::Connection& connection() const;

    QString McCode() const { return m_code; }
    void setMcCode(const QString& value) { m_code = value; }
    QString McCode2() const { return m_code2; }
    void setMcCode2(const QString& value) { m_code2 = value; }
    QString McName() const { return m_name; }
    void setMcName(const QString& value) { m_name = value; }
    // The object's own row set over CommodityClasify as it stands; null before CntDb.
    desk::RowSet* RsEd() const { return m_classes.get(); }
    // Kept only: the file is always BTSales.mdb.
    void setFileNamae(const QString& value) { m_fileName = value; }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    bool findCode(const QString& code);
    void requireConnected() const;
    void requireFound(const QString& code, const QString& action) const;

    QString m_dirPath;
    QString m_fileName;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_classes;
    QString m_criterion;

    QString m_code;
    QString m_code2;
    QString m_name;
};

} // namespace goodsclasssvc
