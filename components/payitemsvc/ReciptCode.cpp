#include "ReciptCode.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

namespace payitemsvc {

namespace {

// Every column is written on insert and update; an unset text becomes an empty text, not null.
QVariant text(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

} // namespace

ReciptCode::ReciptCode() = default;
ReciptCode::~ReciptCode() = default;

void ReciptCode::CntDb() {
    m_items.reset();
    m_connection = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Recipt));
    m_items = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("ReciptCode"));
}

desk::Connection& ReciptCode::connection() const {
    requireConnected();
    return *m_connection;
}

void ReciptCode::requireConnected() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("入金項目データに接続されていません (CntDb が呼ばれていません)。"));
}

bool ReciptCode::findCode(const QString& code) {
    m_criterion = QStringLiteral("RptCode = ") + desk::Sql::quote(code);
    return m_items->find(m_criterion);
}

void ReciptCode::requireFound(const QString& action) const {
    if (m_items->eof())
        throw desk::DbError(QStringLiteral("%1する入金項目 (コード %2) が見つかりません。").arg(action, m_code2),
                            m_criterion);
}

QString ReciptCode::ReciptCodeCheck(const QString& code) {
    requireConnected();
    return findCode(code) ? QStringLiteral("X") : QStringLiteral("");
}

QString ReciptCode::ReciptNameDisplay(const QString& code) {
    requireConnected();
    if (!findCode(code))
        return QStringLiteral("X");
    return m_items->value(QStringLiteral("RptName")).toString();
}

void ReciptCode::writeItem() {
    m_items->setValue(QStringLiteral("RptCode"), text(m_code));
    m_items->setValue(QStringLiteral("RptName"), text(m_name));
    m_items->setValue(QStringLiteral("RptClass"), m_classCode);
    m_items->setValue(QStringLiteral("RptRemarks1"), text(m_remarks1));
    m_items->setValue(QStringLiteral("RptRemarks2"), text(m_remarks2));
    m_items->update();
}

void ReciptCode::SaveRs() {
    requireConnected();
    m_items->addNew();
    writeItem();
}

void ReciptCode::EditRs() {
    requireConnected();
    findCode(m_code2);
    requireFound(QStringLiteral("訂正"));
    writeItem();
}

void ReciptCode::DeleteRs() {
    requireConnected();
    findCode(m_code2);
    requireFound(QStringLiteral("削除"));
    m_items->remove();
}

void ReciptCode::SearchRs() {
    requireConnected();
    if (!findCode(m_code)) {
        m_code = QStringLiteral("X");
        return;
    }
    const qint16 classCode = desk::convert::toInt16(m_items->value(QStringLiteral("RptClass")).toDouble());
    m_code = m_items->value(QStringLiteral("RptCode")).toString();
    m_name = m_items->value(QStringLiteral("RptName")).toString();
    m_classCode = classCode;
    m_remarks1 = m_items->value(QStringLiteral("RptRemarks1")).toString();
    m_remarks2 = m_items->value(QStringLiteral("RptRemarks2")).toString();
}

} // namespace payitemsvc
