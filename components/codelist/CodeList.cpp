#include "codelist/CodeList.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Sql.h"

namespace desk {

CodeList::CodeList(const char* fileName, QString table, QString keyColumn, QString subject)
    : m_fileName(fileName)
    , m_table(std::move(table))
    , m_keyColumn(std::move(keyColumn))
    , m_subject(std::move(subject)) {}

CodeList::~CodeList() = default;

void CodeList::open(const QString& dirPath) {
    m_rows.reset();
    m_connection = Connection::open(dirPath, QString::fromLatin1(m_fileName));
    m_rows = std::make_unique<RowSet>(m_connection, m_table);
}

Connection& CodeList::connection() const {
    requireOpen();
    return *m_connection;
}

void CodeList::requireOpen() const {
    if (!m_connection)
        throw DbError(QStringLiteral("%1データに接続されていません (CntDb が呼ばれていません)。").arg(m_subject));
}

bool CodeList::find(const QString& code) {
    requireOpen();
    // The code always goes in quoted: a quote inside it is part of the code.
    m_criterion = m_keyColumn + QStringLiteral(" = ") + Sql::quote(code);
    return m_rows->find(m_criterion);
}

QVariant CodeList::value(const QString& column) const {
    requireOpen();
    return m_rows->value(column);
}

void CodeList::requireFound(const QString& code, const QString& action) const {
    if (m_rows->eof())
        throw DbError(QStringLiteral("%1する%2 (コード %3) が見つかりません。").arg(action, m_subject, code),
                      m_criterion);
}

void CodeList::locate(const QString& code, const QString& action) {
    requireOpen();
    find(code);
    requireFound(code, action);
}

void CodeList::remove(const QString& code, const QString& action) {
    locate(code, action);
    m_rows->remove();
}

} // namespace desk
