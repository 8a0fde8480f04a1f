#pragma once

#include "codelist/CodeList.h"

#include <QString>

namespace payitemsvc {

// The payment items (table ReciptCode): code, name, payment class and two remark lines.
//
// Use a fresh object per action: DirPath, CntDb, properties, one operation. Look-ups search
// forward from where the previous look-up on the same object stopped.
//
// The code property cannot share the class's name in C++, so it is getReciptCode() /
// setReciptCode().
class ReciptCode {
public:
    ReciptCode();
    ~ReciptCode();

    ReciptCode(const ReciptCode&) = delete;
    ReciptCode& operator=(const ReciptCode&) = delete;

    // "X" when an item already has the code (taken), an empty text when it is free.
    QString ReciptCodeCheck(const QString& code);
    // The item's name, or "X" when no item has the code. An item whose code is "X" itself
    // cannot be told from a miss by this answer alone.
    QString ReciptNameDisplay(const QString& code);

    // Opens BTRecipt.mdb and the row set over ReciptCode.
    void CntDb();
    // Appends the item from the properties.
    void SaveRs();
    // Rewrites the item ReciptCode2 from the properties (its code becomes ReciptCode).
    void EditRs();
    // Deletes the item ReciptCode2.
    void DeleteRs();
    // Loads the item ReciptCode; ReciptCode becomes "X" when unknown, the rest is left alone.
    void SearchRs();

    // The connection of this object, for a screen that wraps several operations in one
    // desk::Transaction. Valid after CntDb.
    desk::Connection& connection() const;

    QString getReciptCode() const { return m_code; }
    void setReciptCode(const QString& value) { m_code = value; }
    QString ReciptCode2() const { return m_code2; }
    void setReciptCode2(const QString& value) { m_code2 = value; }
    QString ReciptName() const { return m_name; }
    void setReciptName(const QString& value) { m_name = value; }
    qint16 RkubunCode() const { return m_classCode; }
    void setRkubunCode(qint16 value) { m_classCode = value; }
    QString ReciptRemarks1() const { return m_remarks1; }
    void setReciptRemarks1(const QString& value) { m_remarks1 = value; }
    QString ReciptRemarks2() const { return m_remarks2; }
    void setReciptRemarks2(const QString& value) { m_remarks2 = value; }
    QString MbookMark() const { return m_bookmark; }
    void setMbookMark(const QString& value) { m_bookmark = value; }
    void setSQLCliant(const QString& value) { m_sqlCliant = value; }
    // The object's own row set over ReciptCode; null before CntDb.
    desk::RowSet* RsClkubunR() const { return m_list.rows(); }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    static const QList<desk::CodeColumn<ReciptCode>>& columns();

    QString m_dirPath;
    desk::CodeList m_list;

    QString m_code;
    QString m_code2;
    QString m_name;
    qint16 m_classCode = 0;
    QString m_remarks1;
    QString m_remarks2;
    QString m_bookmark;
    QString m_sqlCliant;
};

} // namespace payitemsvc
