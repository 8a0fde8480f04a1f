#include "CheckOutClass.h"

#include "Settlement.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QDate>

namespace departsvc {

CheckOutClass::CheckOutClass() = default;

CheckOutClass::~CheckOutClass() {
    m_statement.reset();
}

void CheckOutClass::CntDb() {
    m_statement.reset();
    m_sales.reset();
    m_recipt.reset();
    // The sales and payment files are opened by CheckOut, which alone reads them: an object
    // that only empties the statement (every 計算実行 and every close) opens one file, not three.
    m_option = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Option));
    // The statement of this desk only: two check-out screens never mix their bills.
    m_statement = desk::openDeskRows(m_option, QStringLiteral("CheckOutTemp"));
}

desk::Connection& CheckOutClass::connection() const {
    requireConnected();
    return *m_option;
}

void CheckOutClass::requireConnected() const {
    if (!m_option)
        throw desk::DbError(QStringLiteral("精算データに接続されていません (CntDb が呼ばれていません)。"));
}

void CheckOutClass::CheckOut() {
    requireConnected();
    if (!m_sales)
        m_sales = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Sales));
    if (!m_recipt)
        m_recipt = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Recipt));
    // The statement is worked out in memory from the guest's lines as they are read, then
    // written in one go: the sums are those of exactly the rows written, whatever else the
    // table held.
    const Statement statement =
        Settlement::work(m_dirPath, {m_option, m_sales, m_recipt}, m_checkInNo, desk::convert::dateOf(m_checkOutDate));
    Settlement::append(*m_option, statement);
}

void CheckOutClass::RsTempDelete() {
    requireConnected();
    // An empty table is simply left empty; a real failure is reported, since a statement
    // built on top of rows that were not removed would be wrong.
    desk::clearDeskRows(*m_option, QStringLiteral("CheckOutTemp"));
}

} // namespace departsvc
