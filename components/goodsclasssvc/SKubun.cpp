#include "SKubun.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace goodsclasssvc {

SKubun::SKubun()
    : m_list(desk::DbFile::Sales, u"CommodityClasify"_s, u"CClassCode"_s, u"商品区分"_s) {}

SKubun::~SKubun() = default;

const QList<desk::CodeColumn<SKubun>>& SKubun::columns() {
    static const QList<desk::CodeColumn<SKubun>> list{{u"CClassCode"_s, &SKubun::m_code},
                                                      {u"CClassName"_s, &SKubun::m_name}};
    return list;
}

void SKubun::CntDb() {
    m_list.open(m_dirPath);
}

desk::Connection& SKubun::connection() const {
    return m_list.connection();
}

void SKubun::Mcsave() {
    m_list.add(*this, columns());
}

void SKubun::Mcedit() {
    m_list.edit(m_code2, u"訂正"_s, *this, columns());
}

void SKubun::Mcdelete() {
    m_list.remove(m_code2, u"削除"_s);
}

void SKubun::McEDsearch() {
    if (!m_list.load(m_code, *this, columns()))
        m_code = u"X"_s;
}

QString SKubun::DuplicateCodeCheck(const QString& code) {
    return m_list.find(code) ? u"x"_s : u""_s;
}

QString SKubun::DispName(const QString& code) {
    if (!m_list.find(code))
        return u"X"_s;
    return m_list.value(u"CClassName"_s).toString();
}

} // namespace goodsclasssvc
