#include "SalesClass.h"

#include "SalesLine.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QSqlQuery>

namespace chargesvc {

namespace {

QVariant text(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

// Releases the operation's own row set however the operation ends.
class OperationRows {
public:
    explicit OperationRows(std::unique_ptr<desk::RowSet>& slot)
        : m_slot(slot) {}
    ~OperationRows() { m_slot.reset(); }
    OperationRows(const OperationRows&) = delete;
    OperationRows& operator=(const OperationRows&) = delete;

private:
    std::unique_ptr<desk::RowSet>& m_slot;
};

// A slip the store will not save, in words the clerk can act on.
desk::ConversionError refusal(const QString& text) {
    return desk::ConversionError(desk::ConversionError::Kind::Refused, text);
}

} // namespace

SalesClass::SalesClass() = default;

SalesClass::~SalesClass() {
    m_headers.reset();
    m_lines.reset();
    m_work.reset();
}

void SalesClass::CntDb() {
    m_headers.reset();
    m_lines.reset();
    m_work.reset();
    m_connection = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Sales));
    m_headers = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("BTSalesNo"));
    m_lines = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("BTSalesDetail"));
    // Only this desk's lines: another desk's slip on screen is none of this object's business.
    m_work = desk::openDeskRows(m_connection, QStringLiteral("BTTempSalesDetail"));
}

desk::Connection& SalesClass::connection() const {
    requireConnected();
    return *m_connection;
}

void SalesClass::requireConnected() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("売上データに接続されていません (CntDb が呼ばれていません)。"));
}

void SalesClass::setSalesDate(const QDate& value) {
    m_salesDate = value.isValid() ? desk::convert::shortDateText(value) : QString();
}

void SalesClass::setSServiceFee(double value) {
    m_serviceFee = desk::convert::toInt32(value);
}

bool SalesClass::findHeader() {
    return m_headers->find(QStringLiteral("BTSalesNo = ") + QString::number(m_salesNo));
}

void SalesClass::requireHeader(const QString& action) {
    if (!findHeader())
        throw desk::DbError(QStringLiteral("%1する売上伝票 (番号 %2) が見つかりません。").arg(action).arg(m_salesNo));
}

bool SalesClass::SalesNoTaken() const {
    requireConnected();
    return m_connection->scalar(QStringLiteral("SELECT COUNT(*) FROM BTSalesNo WHERE BTSalesNo = ?"), {m_salesNo})
               .toLongLong() > 0;
}

void SalesClass::refuseTakenNumber(qint32 number) const {
    // The unique key refuses it too; this says so in words the clerk can act on.
    const QVariant count =
        m_connection->scalar(QStringLiteral("SELECT COUNT(*) FROM BTSalesNo WHERE BTSalesNo = ?"), {number});
    if (count.toLongLong() > 0)
        throw desk::DbError(
            QStringLiteral("売上番号 %1 は既に登録されています。番号を取り直してください。").arg(number));
}

void SalesClass::writeHeaderFields() {
    QVariant date;
    if (!m_salesDate.isEmpty()) {
        const QDate parsed = QDate::fromString(m_salesDate, QStringLiteral("yyyy/MM/dd"));
        if (!parsed.isValid())
            throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                        QStringLiteral("売上日付 '%1' は日付ではありません。").arg(m_salesDate));
        date = parsed;
    }
    m_headers->setValue(QStringLiteral("BTSalesdate"), date);
    m_headers->setValue(QStringLiteral("BTCheckInNo"), text(m_checkInNo));
    m_headers->setValue(QStringLiteral("BTKubun"), m_salesClass);
}

// A slip is its lines: without any (a work table emptied meanwhile), or with a line whose
// quantity was never written, it is refused before anything is written.
void SalesClass::refuseIncompleteWork() const {
    qint64 lines = 0;
    qint64 withQuantity = 0;
    m_connection->select(QStringLiteral("SELECT COUNT(*), COUNT(BTQuantity) FROM BTTempSalesDetail WHERE ") +
                             desk::deskCondition(),
                         {desk::currentDesk()}, {}, [&](const QSqlQuery& row) {
                             lines = row.value(0).toLongLong();
                             withQuantity = row.value(1).toLongLong();
                         });
    if (lines == 0)
        throw refusal(QStringLiteral("明細がありません。"));
    if (withQuantity < lines)
        throw refusal(QStringLiteral("数量が入っていない明細があります。"));
}

// This desk's lines in the order they were written, in one statement: on a server one trip
// for the whole slip.
void SalesClass::copyWorkLines() {
    static const QString columns =
        QStringLiteral("BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, BTSalesTax");
    const int copied = m_connection->exec(QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, ") + columns +
                                              QStringLiteral(") SELECT CAST(? AS INTEGER), ") + columns +
                                              QStringLiteral(" FROM BTTempSalesDetail WHERE ") + desk::deskCondition() +
                                              QStringLiteral(" ORDER BY RowKey"),
                                          {m_salesNo, desk::currentDesk()});
    if (copied == 0)
        throw refusal(QStringLiteral("明細がありません。"));
}

void SalesClass::deleteLines() {
    m_connection->exec(QStringLiteral("DELETE FROM BTSalesDetail WHERE BTSalesNo = ?"), {m_salesNo});
}

void SalesClass::Msave() {
    requireConnected();
    desk::Transaction transaction(*m_connection);
    refuseTakenNumber(m_salesNo);
    refuseIncompleteWork();
    m_headers->addNew();
    m_headers->setValue(QStringLiteral("BTSalesNo"), m_salesNo);
    writeHeaderFields();
    m_headers->update();
    copyWorkLines();
    transaction.commit();
}

void SalesClass::MDsave() {
    requireConnected();
    desk::Transaction transaction(*m_connection);
    refuseIncompleteWork();
    copyWorkLines();
    transaction.commit();
}

void SalesClass::Medit() {
    requireConnected();
    requireHeader(QStringLiteral("訂正"));
    writeHeaderFields();
    m_headers->update();
}

void SalesClass::MeditD1() {
    requireConnected();
    deleteLines();
}

void SalesClass::Mdelete() {
    requireConnected();
    requireHeader(QStringLiteral("削除"));
    // A header never goes without its lines.
    desk::Transaction transaction(*m_connection);
    m_headers->remove();
    deleteLines();
    transaction.commit();
}

void SalesClass::EDsearch() {
    requireConnected();
    if (!findHeader()) {
        m_salesNo = 0;
        return;
    }
    const qint32 number = desk::convert::toInt32(m_headers->value(QStringLiteral("BTSalesNo")).toDouble());
    const QDate date = m_headers->value(QStringLiteral("BTSalesdate")).toDate();
    const QString checkInNo = m_headers->value(QStringLiteral("BTCheckInNo")).toString();
    const qint16 salesClass = desk::convert::toInt16(m_headers->value(QStringLiteral("BTKubun")).toDouble());

    OperationRows release(m_operationRows);
    m_operationRows = std::make_unique<desk::RowSet>(
        m_connection, QStringLiteral("SELECT * FROM QRYSalesDetail WHERE BTSalesNo = ") + QString::number(number));
    desk::Transaction transaction(*m_connection);
    for (desk::RowSet& source = *m_operationRows; !source.eof(); source.moveNext()) {
        const SalesLineFigures figures = salesLineFigures(source.value(QStringLiteral("BTQuantity")).toDouble(),
                                                          source.value(QStringLiteral("BTUnitPrice")).toDouble(),
                                                          source.value(QStringLiteral("BTServiceFee")).toDouble(),
                                                          source.value(QStringLiteral("BTSalesTax")).toDouble());

        m_work->addNew();
        m_work->setValue(QStringLiteral("BTcmcode"), source.value(QStringLiteral("BTcmcode")));
        m_work->setValue(QStringLiteral("BTCMname"), source.value(QStringLiteral("cname")));
        m_work->setValue(QStringLiteral("BTspec"), source.value(QStringLiteral("BTspec")));
        m_work->setValue(QStringLiteral("BTQuantity"), source.value(QStringLiteral("BTQuantity")));
        m_work->setValue(QStringLiteral("BTUnitPrice"), source.value(QStringLiteral("BTUnitPrice")));
        m_work->setValue(QStringLiteral("BTSubTotal1"), figures.subTotal);
        m_work->setValue(QStringLiteral("BTServiceFee"), source.value(QStringLiteral("BTServiceFee")));
        m_work->setValue(QStringLiteral("BTSalesTax"), source.value(QStringLiteral("BTSalesTax")));
        m_work->setValue(QStringLiteral("BTSubTotal2"), figures.total);
        m_work->update();
    }
    transaction.commit();

    m_salesNo = number;
    setSalesDate(date);
    m_checkInNo = checkInNo;
    m_salesClass = salesClass;
}

void SalesClass::SendSalesNo() {
    requireConnected();
    if (m_headers->isEmpty()) {
        m_salesNo = 1;
        return;
    }
    OperationRows release(m_operationRows);
    m_operationRows = std::make_unique<desk::RowSet>(
        m_connection, QStringLiteral("SELECT Max(BTSalesNo!BTSalesNo) AS RvNoM FROM BTSalesNo"));
    const qint32 highest = desk::convert::toInt32(m_operationRows->value(QStringLiteral("RvNoM")).toDouble());
    m_salesNo = desk::convert::addInt32(highest, 1);
}

void SalesClass::ClearTemp() {
    requireConnected();
    // One statement: this desk's lines go entirely or not at all; other desks' lines stay.
    desk::clearDeskRows(*m_connection, QStringLiteral("BTTempSalesDetail"));
}

} // namespace chargesvc
