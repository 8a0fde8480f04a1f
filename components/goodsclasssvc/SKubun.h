#pragma once

#include "codelist/CodeList.h"

#include <QString>

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
    desk::RowSet* RsEd() const { return m_list.rows(); }
    // Kept only: the file is always BTSales.mdb.
    void setFileNamae(const QString& value) { m_fileName = value; }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    static const QList<desk::CodeColumn<SKubun>>& columns();

    QString m_dirPath;
    QString m_fileName;
    desk::CodeList m_list;

    QString m_code;
    QString m_code2;
    QString m_name;
};

} // namespace goodsclasssvc
