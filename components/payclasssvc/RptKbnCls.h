#pragma once

#include "codelist/CodeList.h"

#include <QString>

namespace payclasssvc {

// The payment classes (table ReciptClass): code and name. Built like payitemsvc::ReciptCode.
//
// Use a fresh object per action: DirPath, CntDb, properties, one operation. Look-ups search
// forward from where the previous look-up on the same object stopped.
class RptKbnCls {
public:
    RptKbnCls();
    ~RptKbnCls();

    RptKbnCls(const RptKbnCls&) = delete;
    RptKbnCls& operator=(const RptKbnCls&) = delete;

    // "X" when a class already has the code, an empty text when it is free.
    QString ReciptClassCodeCheck(const QString& code);
    // The class's name, or "X" when no class has the code.
    QString ReciptClassNameDisplay(const QString& code);

    // Opens BTRecipt.mdb and the row set over ReciptClass.
    void CntDb();
    // Appends the class from the properties.
    void SaveRs();
    // Rewrites the class ReciptClassCode2 with ReciptClassCode / ReciptClassName.
    void EditRs();
    // Deletes the class ReciptClassCode2; payment items referring to it are left alone.
    void DeleteRs();
    // Loads the class ReciptClassCode (and sets ReciptClassCode2 to it, ready for EditRs);
    // ReciptClassCode becomes "X" when unknown.
    void SearchRs();

    // The connection of this object, for a screen that wraps several operations in one
    // desk::Transaction. Valid after CntDb.
    desk::Connection& connection() const;

    QString ReciptClassCode() const { return m_code; }
    void setReciptClassCode(const QString& value) { m_code = value; }
    QString ReciptClassCode2() const { return m_code2; }
    void setReciptClassCode2(const QString& value) { m_code2 = value; }
    QString ReciptClassName() const { return m_name; }
    void setReciptClassName(const QString& value) { m_name = value; }
    // The object's own row set over ReciptClass; null before CntDb.
    desk::RowSet* RsClkubunR() const { return m_list.rows(); }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    static const QList<desk::CodeColumn<RptKbnCls>>& columns();

    QString m_dirPath;
    desk::CodeList m_list;

    QString m_code;
    QString m_code2;
    QString m_name;
};

} // namespace payclasssvc
