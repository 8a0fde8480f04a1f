#pragma once

#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

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
    desk::RowSet* RsClkubunR() const { return m_classes.get(); }
    void setDirPath(const QString& value) { m_dirPath = value; }

private:
    bool findCode(const QString& code);
    void requireConnected() const;
    void requireFound(const QString& action) const;
    void writeClass();

    QString m_dirPath;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_classes;
    QString m_criterion;

    QString m_code;
    QString m_code2;
    QString m_name;
};

} // namespace payclasssvc
