#include "PaymentSlipStore.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QSqlQuery>

namespace paymentsvc {

namespace {

const QString WorkTable = QStringLiteral("BTReciptTemp");

QVariant text(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

} // namespace

PaymentSlipStore::PaymentSlipStore(std::shared_ptr<desk::Connection> connection)
    : m_connection(std::move(connection)) {}

PaymentSlipStore PaymentSlipStore::open(const QString& dirPath) {
    return PaymentSlipStore(desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Recipt)));
}

PaymentSlipStore::~PaymentSlipStore() = default;
PaymentSlipStore::PaymentSlipStore(PaymentSlipStore&&) noexcept = default;
PaymentSlipStore& PaymentSlipStore::operator=(PaymentSlipStore&&) noexcept = default;

desk::RowSet& PaymentSlipStore::headers() {
    if (!m_headers)
        m_headers = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("BTPaymentNo"));
    return *m_headers;
}

bool PaymentSlipStore::findHeader(const QString& number) {
    // The number column is numeric; the quoted text finds the same row and keeps any typed
    // text from becoming part of the criterion.
    return headers().find(QStringLiteral("RptNo = ") + desk::Sql::quote(number));
}

std::optional<slipkit::SlipHeader> PaymentSlipStore::header(const QString& number) {
    if (!findHeader(number))
        return std::nullopt;
    desk::RowSet& rows = headers();
    slipkit::SlipHeader found;
    found.number = desk::convert::toInt32(rows.value(QStringLiteral("RptNO")).toDouble());
    found.date = rows.value(QStringLiteral("ReciptDate")).toDate();
    found.checkInNo = rows.value(QStringLiteral("RptcheckInNo")).toString();
    found.kind = desk::convert::toInt16(rows.value(QStringLiteral("Rptkubun")).toDouble());
    return found;
}

bool PaymentSlipStore::isTaken(qint32 number) const {
    return m_connection->scalar(QStringLiteral("SELECT COUNT(*) FROM BTPaymentNo WHERE RptNO = ?"), {number})
               .toLongLong() > 0;
}

qint32 PaymentSlipStore::nextNumber() {
    if (headers().isEmpty())
        return 1;
    desk::RowSet highest(m_connection, QStringLiteral("SELECT Max(BTPaymentNo!RptNo) AS RvNoM FROM BTPaymentNo"));
    return desk::convert::addInt32(desk::convert::toInt32(highest.value(QStringLiteral("RvNoM")).toDouble()), 1);
}

namespace {

void writeFields(desk::RowSet& rows, const slipkit::SlipHeader& header) {
    rows.setValue(QStringLiteral("RptNO"), header.number);
    rows.setValue(QStringLiteral("ReciptDate"), header.date.isValid() ? QVariant(header.date) : QVariant());
    rows.setValue(QStringLiteral("RptcheckInNo"), text(header.checkInNo));
    rows.setValue(QStringLiteral("Rptkubun"), header.kind);
}

} // namespace

void PaymentSlipStore::insertHeader(const slipkit::SlipHeader& header) {
    desk::RowSet& rows = headers();
    rows.addNew();
    writeFields(rows, header);
    rows.update();
}

bool PaymentSlipStore::rewriteHeader(qint32 current, const slipkit::SlipHeader& header) {
    if (!findHeader(QString::number(current)))
        return false;
    writeFields(headers(), header);
    headers().update();
    return true;
}

bool PaymentSlipStore::deleteHeader(qint32 number) {
    if (!findHeader(QString::number(number)))
        return false;
    headers().remove();
    return true;
}

void PaymentSlipStore::deleteLines(qint32 number) {
    m_connection->exec(QStringLiteral("DELETE FROM BTPaymentDtl WHERE RptNO = ?"), {number});
}

QList<PaymentSlipLine> PaymentSlipStore::workLines() const {
    QList<PaymentSlipLine> lines;
    m_connection->select(QStringLiteral("SELECT RptCode, RptName, RptRemarks, ReciptAmount FROM BTReciptTemp WHERE ") +
                             desk::deskCondition() + QStringLiteral(" ORDER BY RowKey"),
                         {desk::currentDesk()}, {}, [&](const QSqlQuery& row) {
                             PaymentSlipLine line{row.value(0).toString(), row.value(1).toString(),
                                                  row.value(2).toString(), std::nullopt};
                             if (!row.value(3).isNull())
                                 line.amount = row.value(3).toDouble();
                             lines << line;
                         });
    return lines;
}

int PaymentSlipStore::copyWorkLines(qint32 number) {
    static const QString columns = QStringLiteral("RptCode, ReciptAmount, RptRemarks");
    // One statement: on a server one trip for the whole slip.
    return m_connection->exec(QStringLiteral("INSERT INTO BTPaymentDtl (RptNO, ") + columns +
                                  QStringLiteral(") SELECT CAST(? AS INTEGER), ") + columns +
                                  QStringLiteral(" FROM BTReciptTemp WHERE ") + desk::deskCondition() +
                                  QStringLiteral(" ORDER BY RowKey"),
                              {number, desk::currentDesk()});
}

void PaymentSlipStore::loadIntoWork(qint32 number) {
    desk::RowSet source(m_connection,
                        QStringLiteral("SELECT * FROM QRYReciptDetail WHERE RptNo = ") + QString::number(number));
    const auto work = desk::openDeskRows(m_connection, WorkTable);
    for (; !source.eof(); source.moveNext()) {
        work->addNew();
        for (const auto* column : {"RptNO", "RptCode", "ReciptAmount", "RptName", "RptRemarks"}) {
            const QString name = QString::fromLatin1(column);
            work->setValue(name, source.value(name));
        }
        work->update();
    }
}

void PaymentSlipStore::clearWork() {
    // One statement: this desk's lines go entirely or not at all; other desks' lines stay.
    desk::clearDeskRows(*m_connection, WorkTable);
}

std::unique_ptr<desk::RowSet> PaymentSlipStore::openWorkLines() {
    return desk::openDeskRows(m_connection, WorkTable);
}

} // namespace paymentsvc
