#include "ReciptCode.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace payitemsvc {

ReciptCode::ReciptCode()
    : m_list(desk::DbFile::Recipt, u"ReciptCode"_s, u"RptCode"_s, u"入金項目"_s) {}

ReciptCode::~ReciptCode() = default;

// Every insert and update writes all five columns.
const QList<desk::CodeColumn<ReciptCode>>& ReciptCode::columns() {
    static const QList<desk::CodeColumn<ReciptCode>> list{
        {u"RptCode"_s, &ReciptCode::m_code},         {u"RptName"_s, &ReciptCode::m_name},
        {u"RptClass"_s, &ReciptCode::m_classCode},   {u"RptRemarks1"_s, &ReciptCode::m_remarks1},
        {u"RptRemarks2"_s, &ReciptCode::m_remarks2},
    };
    return list;
}

QString ReciptCode::ReciptCodeCheck(const QString& code) {
    return m_list.find(code) ? u"X"_s : u""_s;
}

QString ReciptCode::ReciptNameDisplay(const QString& code) {
    if (!m_list.find(code))
        return u"X"_s;
    return m_list.value(u"RptName"_s).toString();
}

void ReciptCode::CntDb() {
    m_list.open(m_dirPath);
}

desk::Connection& ReciptCode::connection() const {
    return m_list.connection();
}

void ReciptCode::SaveRs() {
    m_list.add(*this, columns());
}

void ReciptCode::EditRs() {
    m_list.edit(m_code2, u"訂正"_s, *this, columns());
}

void ReciptCode::DeleteRs() {
    m_list.remove(m_code2, u"削除"_s);
}

void ReciptCode::SearchRs() {
    if (!m_list.load(m_code, *this, columns()))
        m_code = u"X"_s;
}

} // namespace payitemsvc
