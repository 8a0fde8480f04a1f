#include "RptKbnCls.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace payclasssvc {

RptKbnCls::RptKbnCls()
    : m_list(desk::DbFile::Recipt, u"ReciptClass"_s, u"RptClassCode"_s, u"入金区分"_s) {}

RptKbnCls::~RptKbnCls() = default;

const QList<desk::CodeColumn<RptKbnCls>>& RptKbnCls::columns() {
    static const QList<desk::CodeColumn<RptKbnCls>> list{{u"RptClassCode"_s, &RptKbnCls::m_code},
                                                         {u"RptClassName"_s, &RptKbnCls::m_name}};
    return list;
}

QString RptKbnCls::ReciptClassCodeCheck(const QString& code) {
    return m_list.find(code) ? u"X"_s : u""_s;
}

QString RptKbnCls::ReciptClassNameDisplay(const QString& code) {
    if (!m_list.find(code))
        return u"X"_s;
    return m_list.value(u"RptClassName"_s).toString();
}

void RptKbnCls::CntDb() {
    m_list.open(m_dirPath);
}

desk::Connection& RptKbnCls::connection() const {
    return m_list.connection();
}

void RptKbnCls::SaveRs() {
    m_list.add(*this, columns());
}

void RptKbnCls::EditRs() {
    m_list.edit(m_code2, u"訂正"_s, *this, columns());
}

void RptKbnCls::DeleteRs() {
    m_list.remove(m_code2, u"削除"_s);
}

void RptKbnCls::SearchRs() {
    if (!m_list.load(m_code, *this, columns())) {
        m_code = u"X"_s;
        return;
    }
    // Ready for EditRs of the class just loaded.
    m_code2 = m_code;
}

} // namespace payclasssvc
