#include "SKubun.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

namespace goodsclasssvc {

namespace {

// Text columns get an empty text, never null, for an unset property.
QVariant text(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

} // namespace

SKubun::SKubun() = default;
SKubun::~SKubun() = default;

void SKubun::CntDb() {
    m_classes.reset();
    m_connection = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Sales));
    m_classes = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CommodityClasify"));
}

desk::Connection& SKubun::connection() const {
    requireConnected();
    return *m_connection;
}

void SKubun::requireConnected() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("商品区分データに接続されていません (CntDb が呼ばれていません)。"));
}

bool SKubun::findCode(const QString& code) {
    m_criterion = QStringLiteral("CClassCode = ") + desk::Sql::quote(code);
    return m_classes->find(m_criterion);
}

void SKubun::requireFound(const QString& code, const QString& action) const {
    if (m_classes->eof())
        throw desk::DbError(QStringLiteral("%1する商品区分 (コード %2) が見つかりません。").arg(action, code),
                            m_criterion);
}

void SKubun::Mcsave() {
    requireConnected();
    m_classes->addNew();
    m_classes->setValue(QStringLiteral("CClassCode"), text(m_code));
    m_classes->setValue(QStringLiteral("CClassName"), text(m_name));
    m_classes->update();
}

void SKubun::Mcedit() {
    requireConnected();
    findCode(m_code2);
    requireFound(m_code2, QStringLiteral("訂正"));
    m_classes->setValue(QStringLiteral("CClassCode"), text(m_code));
    m_classes->setValue(QStringLiteral("CClassName"), text(m_name));
    m_classes->update();
}

void SKubun::Mcdelete() {
    requireConnected();
    findCode(m_code2);
    requireFound(m_code2, QStringLiteral("削除"));
    m_classes->remove();
}

void SKubun::McEDsearch() {
    requireConnected();
    if (!findCode(m_code)) {
        m_code = QStringLiteral("X");
        return;
    }
    m_code = m_classes->value(QStringLiteral("CClassCode")).toString();
    m_name = m_classes->value(QStringLiteral("CClassName")).toString();
}

QString SKubun::DuplicateCodeCheck(const QString& code) {
    requireConnected();
    return findCode(code) ? QStringLiteral("x") : QStringLiteral("");
}

QString SKubun::DispName(const QString& code) {
    requireConnected();
    if (!findCode(code))
        return QStringLiteral("X");
    return m_classes->value(QStringLiteral("CClassName")).toString();
}

} // namespace goodsclasssvc
