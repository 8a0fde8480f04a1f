#include "RptKbnCls.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

namespace payclasssvc {

namespace {

// Both columns are written on every insert and update; an unset text becomes an empty text.
QVariant text(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

} // namespace

RptKbnCls::RptKbnCls() = default;
RptKbnCls::~RptKbnCls() = default;

void RptKbnCls::CntDb() {
    m_classes.reset();
    m_connection = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Recipt));
    m_classes = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("ReciptClass"));
}

desk::Connection& RptKbnCls::connection() const {
    requireConnected();
    return *m_connection;
}

void RptKbnCls::requireConnected() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("入金区分データに接続されていません (CntDb が呼ばれていません)。"));
}

bool RptKbnCls::findCode(const QString& code) {
    m_criterion = QStringLiteral("RptClassCode = ") + desk::Sql::quote(code);
    return m_classes->find(m_criterion);
}

void RptKbnCls::requireFound(const QString& action) const {
    if (m_classes->eof())
        throw desk::DbError(QStringLiteral("%1する入金区分 (コード %2) が見つかりません。").arg(action, m_code2),
                            m_criterion);
}

QString RptKbnCls::ReciptClassCodeCheck(const QString& code) {
    requireConnected();
    return findCode(code) ? QStringLiteral("X") : QStringLiteral("");
}

QString RptKbnCls::ReciptClassNameDisplay(const QString& code) {
    requireConnected();
    if (!findCode(code))
        return QStringLiteral("X");
    return m_classes->value(QStringLiteral("RptClassName")).toString();
}

void RptKbnCls::writeClass() {
    m_classes->setValue(QStringLiteral("RptClassCode"), text(m_code));
    m_classes->setValue(QStringLiteral("RptClassName"), text(m_name));
    m_classes->update();
}

void RptKbnCls::SaveRs() {
    requireConnected();
    m_classes->addNew();
    writeClass();
}

void RptKbnCls::EditRs() {
    requireConnected();
    findCode(m_code2);
    requireFound(QStringLiteral("訂正"));
    writeClass();
}

void RptKbnCls::DeleteRs() {
    requireConnected();
    findCode(m_code2);
    requireFound(QStringLiteral("削除"));
    m_classes->remove();
}

void RptKbnCls::SearchRs() {
    requireConnected();
    if (!findCode(m_code)) {
        m_code = QStringLiteral("X");
        return;
    }
    m_code = m_classes->value(QStringLiteral("RptClassCode")).toString();
    m_code2 = m_code;
    m_name = m_classes->value(QStringLiteral("RptClassName")).toString();
}

} // namespace payclasssvc
