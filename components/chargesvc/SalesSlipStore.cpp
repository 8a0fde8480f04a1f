#include "SalesSlipStore.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "data/RowSet.h"

#include <QSqlQuery>

namespace chargesvc {

namespace {

const QString WorkTable = QStringLiteral("BTTempSalesDetail");

QVariant text(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

// Rates are typed and stored as doubles: a hair's difference is the same rate.
const QString AtRate = QStringLiteral("abs(coalesce(BTSalesTax, 0) - ?) < 0.000000001");

} // namespace

SalesSlipStore::SalesSlipStore(std::shared_ptr<desk::Connection> connection)
    : m_connection(std::move(connection)) {}

SalesSlipStore SalesSlipStore::open(const QString& dirPath) {
    return SalesSlipStore(desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Sales)));
}

SalesSlipStore::~SalesSlipStore() = default;
SalesSlipStore::SalesSlipStore(SalesSlipStore&&) noexcept = default;
SalesSlipStore& SalesSlipStore::operator=(SalesSlipStore&&) noexcept = default;

desk::RowSet& SalesSlipStore::headers() {
    if (!m_headers)
        m_headers = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("BTSalesNo"));
    return *m_headers;
}

bool SalesSlipStore::isTaken(qint32 number) const {
    return m_connection->scalar(QStringLiteral("SELECT COUNT(*) FROM BTSalesNo WHERE BTSalesNo = ?"), {number})
               .toLongLong() > 0;
}

qint32 SalesSlipStore::nextNumber() {
    if (headers().isEmpty())
        return 1;
    desk::RowSet highest(m_connection, QStringLiteral("SELECT Max(BTSalesNo!BTSalesNo) AS RvNoM FROM BTSalesNo"));
    return desk::convert::addInt32(desk::convert::toInt32(highest.value(QStringLiteral("RvNoM")).toDouble()), 1);
}

std::optional<slipkit::SlipHeader> SalesSlipStore::header(qint32 number) {
    desk::RowSet& rows = headers();
    if (!rows.find(QStringLiteral("BTSalesNo = ") + QString::number(number)))
        return std::nullopt;
    slipkit::SlipHeader found;
    found.number = desk::convert::toInt32(rows.value(QStringLiteral("BTSalesNo")).toDouble());
    found.date = rows.value(QStringLiteral("BTSalesdate")).toDate();
    found.checkInNo = rows.value(QStringLiteral("BTCheckInNo")).toString();
    found.kind = desk::convert::toInt16(rows.value(QStringLiteral("BTKubun")).toDouble());
    return found;
}

namespace {

void writeFields(desk::RowSet& rows, const slipkit::SlipHeader& header) {
    rows.setValue(QStringLiteral("BTSalesdate"), header.date.isValid() ? QVariant(header.date) : QVariant());
    rows.setValue(QStringLiteral("BTCheckInNo"), text(header.checkInNo));
    rows.setValue(QStringLiteral("BTKubun"), header.kind);
}

} // namespace

void SalesSlipStore::insertHeader(const slipkit::SlipHeader& header) {
    desk::RowSet& rows = headers();
    rows.addNew();
    rows.setValue(QStringLiteral("BTSalesNo"), header.number);
    writeFields(rows, header);
    rows.update();
}

bool SalesSlipStore::rewriteHeader(const slipkit::SlipHeader& header) {
    desk::RowSet& rows = headers();
    if (!rows.find(QStringLiteral("BTSalesNo = ") + QString::number(header.number)))
        return false;
    writeFields(rows, header);
    rows.update();
    return true;
}

bool SalesSlipStore::deleteHeader(qint32 number) {
    desk::RowSet& rows = headers();
    if (!rows.find(QStringLiteral("BTSalesNo = ") + QString::number(number)))
        return false;
    rows.remove();
    return true;
}

void SalesSlipStore::deleteLines(qint32 number) {
    m_connection->exec(QStringLiteral("DELETE FROM BTSalesDetail WHERE BTSalesNo = ?"), {number});
}

QList<SalesSlipLine> SalesSlipStore::workLines() const {
    QList<SalesSlipLine> lines;
    m_connection->select(
        QStringLiteral("SELECT BTcmcode, BTCMname, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, BTSalesTax, "
                       "BTSubTotal1, BTSubTotal2 FROM BTTempSalesDetail WHERE ") +
            desk::deskCondition() + QStringLiteral(" ORDER BY RowKey"),
        {desk::currentDesk()}, {}, [&](const QSqlQuery& row) {
            SalesSlipLine line;
            line.code = row.value(0).toString();
            line.name = row.value(1).toString();
            line.spec = row.value(2).toString();
            if (!row.value(3).isNull())
                line.quantity = row.value(3).toDouble();
            line.unitPrice = lineNumber(row.value(4));
            line.serviceRate = lineNumber(row.value(5));
            line.taxRate = lineNumber(row.value(6));
            line.subTotal = lineNumber(row.value(7));
            line.total = lineNumber(row.value(8));
            lines << line;
        });
    return lines;
}

int SalesSlipStore::copyWorkLines(qint32 number) {
    static const QString columns =
        QStringLiteral("BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, BTSalesTax");
    // One statement: on a server one trip for the whole slip.
    return m_connection->exec(QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, ") + columns +
                                  QStringLiteral(") SELECT CAST(? AS INTEGER), ") + columns +
                                  QStringLiteral(" FROM BTTempSalesDetail WHERE ") + desk::deskCondition() +
                                  QStringLiteral(" ORDER BY RowKey"),
                              {number, desk::currentDesk()});
}

void SalesSlipStore::insertLines(qint32 number, const QList<SalesSlipLine>& lines) {
    static const QString insert =
        QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, "
                       "BTServiceFee, BTSalesTax) VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const SalesSlipLine& line : lines)
        m_connection->exec(insert, {number, text(line.code), text(line.spec),
                                    line.quantity ? QVariant(*line.quantity) : QVariant(), line.unitPrice,
                                    line.serviceRate, line.taxRate});
}

QHash<QString, double> SalesSlipStore::quantitiesOf(const QString& checkInNo, const QStringList& codes) const {
    QHash<QString, double> found;
    for (const QString& code : codes) {
        found.insert(code, m_connection
                               ->scalar(QStringLiteral("SELECT Sum(d.BTQuantity) FROM BTSalesDetail d JOIN BTSalesNo h "
                                                       "ON h.BTSalesNo = d.BTSalesNo WHERE h.BTCheckInNo = ? AND "
                                                       "d.BTcmcode = ?"),
                                        {checkInNo, code})
                               .toDouble());
    }
    return found;
}

void SalesSlipStore::loadIntoWork(qint32 number) {
    desk::RowSet source(m_connection,
                        QStringLiteral("SELECT * FROM QRYSalesDetail WHERE BTSalesNo = ") + QString::number(number));
    const auto work = desk::openDeskRows(m_connection, WorkTable);
    for (; !source.eof(); source.moveNext()) {
        SalesSlipLine line;
        line.quantity = source.value(QStringLiteral("BTQuantity")).toDouble();
        line.unitPrice = source.value(QStringLiteral("BTUnitPrice")).toDouble();
        line.serviceRate = source.value(QStringLiteral("BTServiceFee")).toDouble();
        line.taxRate = source.value(QStringLiteral("BTSalesTax")).toDouble();
        line.work();

        work->addNew();
        work->setValue(QStringLiteral("BTcmcode"), source.value(QStringLiteral("BTcmcode")));
        work->setValue(QStringLiteral("BTCMname"), source.value(QStringLiteral("cname")));
        work->setValue(QStringLiteral("BTspec"), source.value(QStringLiteral("BTspec")));
        work->setValue(QStringLiteral("BTQuantity"), source.value(QStringLiteral("BTQuantity")));
        work->setValue(QStringLiteral("BTUnitPrice"), source.value(QStringLiteral("BTUnitPrice")));
        work->setValue(QStringLiteral("BTSubTotal1"), line.subTotal);
        work->setValue(QStringLiteral("BTServiceFee"), source.value(QStringLiteral("BTServiceFee")));
        work->setValue(QStringLiteral("BTSalesTax"), source.value(QStringLiteral("BTSalesTax")));
        work->setValue(QStringLiteral("BTSubTotal2"), line.total);
        work->update();
    }
}

void SalesSlipStore::clearWork() {
    // One statement: this desk's lines go entirely or not at all; other desks' lines stay.
    desk::clearDeskRows(*m_connection, WorkTable);
}

std::unique_ptr<desk::RowSet> SalesSlipStore::printedWorkLines(const std::optional<double>& reducedRate) {
    const QVariant rate = reducedRate ? QVariant(*reducedRate) : QVariant();
    return std::make_unique<desk::RowSet>(
        m_connection,
        QStringLiteral("SELECT *, CASE WHEN %1 THEN '※' ELSE '' END AS ReducedMark FROM BTTempSalesDetail WHERE %2 "
                       "ORDER BY RowKey")
            .arg(AtRate, desk::deskCondition()),
        QVariantList{rate, desk::currentDesk()});
}

bool SalesSlipStore::workHasLineAt(double rate) const {
    return m_connection
               ->scalar(QStringLiteral("SELECT COUNT(*) FROM BTTempSalesDetail WHERE %1 AND %2")
                            .arg(desk::deskCondition(), AtRate),
                        {desk::currentDesk(), rate})
               .toInt() > 0;
}

} // namespace chargesvc
