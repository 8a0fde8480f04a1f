#include "CheckOutClass.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"

namespace departsvc {

namespace {

// Consumption tax of the statement, in percent: fixed, whatever the lines' own rates say.
constexpr int StatementTaxRate = 5;

const QString Marked = QStringLiteral("*");
const QString Unmarked = QStringLiteral("-");

// A running 32-bit sum with the addend, rounded half to even at once; raises on overflow.
qint32 addRounded(qint32 sum, double addend) {
    return desk::convert::toInt32(static_cast<double>(sum) + addend);
}

} // namespace

CheckOutClass::CheckOutClass() = default;

CheckOutClass::~CheckOutClass() {
    m_statement.reset();
}

void CheckOutClass::CntDb() {
    m_statement.reset();
    m_sales = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Sales));
    m_option = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Option));
    m_recipt = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Recipt));
    // The statement of this desk only: two check-out screens never mix their bills.
    m_statement = desk::openDeskRows(m_option, QStringLiteral("CheckOutTemp"));
    m_taxRate = StatementTaxRate;
}

desk::Connection& CheckOutClass::connection() const {
    requireConnected();
    return *m_option;
}

void CheckOutClass::requireConnected() const {
    if (!m_option)
        throw desk::DbError(QStringLiteral("精算データに接続されていません (CntDb が呼ばれていません)。"));
}

void CheckOutClass::appendSalesLines() {
    desk::RowSet sales(m_sales, QStringLiteral("SELECT * FROM QRYCheckOutP WHERE BTCheckInNo = ?"), {m_checkInNo});
    for (; !sales.eof(); sales.moveNext()) {
        const double quantity = sales.value(QStringLiteral("BTQuantity")).toDouble();
        const double unitPrice = sales.value(QStringLiteral("BTUnitPrice")).toDouble();
        // An empty rate counts as no rate.
        const double serviceFee = sales.value(QStringLiteral("BTServiceFee")).toDouble();
        const double salesTax = sales.value(QStringLiteral("BTSalesTax")).toDouble();

        m_statement->addNew();
        m_statement->setValue(QStringLiteral("SalesNo"), sales.value(QStringLiteral("BTSalesNO")));
        m_statement->setValue(QStringLiteral("SalesDate"), sales.value(QStringLiteral("BTSalesdate")));
        m_statement->setValue(QStringLiteral("Slcmcode"), sales.value(QStringLiteral("BTcmcode")));
        m_statement->setValue(QStringLiteral("Slcmname"), sales.value(QStringLiteral("cname")));
        m_statement->setValue(QStringLiteral("Slcmspec"), sales.value(QStringLiteral("BTspec")));
        m_statement->setValue(QStringLiteral("Slquantity"), sales.value(QStringLiteral("BTQuantity")));
        m_statement->setValue(QStringLiteral("Slunitp"), sales.value(QStringLiteral("BTUnitPrice")));
        m_statement->setValue(QStringLiteral("SlSubTotal"), quantity * unitPrice);
        m_statement->setValue(QStringLiteral("SlSv"), serviceFee != 0 ? Marked : Unmarked);
        m_statement->setValue(QStringLiteral("SlSv2"), serviceFee);
        m_statement->setValue(QStringLiteral("SlTax"), salesTax != 0 ? Marked : Unmarked);
        m_statement->setValue(QStringLiteral("SlTax2"), salesTax);
        m_statement->update();
    }
}

void CheckOutClass::appendSummary(const QString& title, qint32 amount) {
    m_statement->addNew();
    m_statement->setValue(QStringLiteral("Slcmname"), title);
    m_statement->setValue(QStringLiteral("SlSubTotal"), amount);
    m_statement->update();
}

void CheckOutClass::CheckOut() {
    requireConnected();
    // Half a statement is never left behind: an overflow or a failed write undoes it all.
    desk::Transaction transaction(*m_option);

    appendSalesLines();

    // One walk over the table gives all three sums. The service charge's running sum is
    // rounded after every line, so halves follow the sum, not the line (two 2.5s make 2,
    // then 4); the subtotal and the taxable sum are kept the same way.
    qint32 serviceTotal = 0;
    qint32 subTotal = 0;
    qint32 taxable = 0;
    for (m_statement->moveFirst(); !m_statement->eof(); m_statement->moveNext()) {
        const double amount = m_statement->value(QStringLiteral("SlSubTotal")).toDouble();
        if (m_statement->value(QStringLiteral("SlSv")).toString() == Marked) {
            const double rate = m_statement->value(QStringLiteral("SlSv2")).toDouble();
            serviceTotal = addRounded(serviceTotal, rate * amount / 100);
        }
        subTotal = addRounded(subTotal, amount);
        if (m_statement->value(QStringLiteral("SlTax")).toString() == Marked)
            taxable = addRounded(taxable, amount);
    }
    // The service charge is taxed in full, the lines' own rates only decide what is taxable.
    const qint32 tax = desk::convert::toInt32((static_cast<double>(serviceTotal) + taxable) * m_taxRate / 100);
    const qint32 grandTotal = desk::convert::addInt32(desk::convert::addInt32(serviceTotal, subTotal), tax);

    appendSummary(QStringLiteral("サービス料"), serviceTotal);
    appendSummary(QStringLiteral("消費税"), tax);
    appendSummary(QStringLiteral("合計"), grandTotal);

    qint32 paid = 0;
    {
        desk::RowSet payments(m_recipt, QStringLiteral("SELECT * FROM QRYRecipt WHERE RptCheckInNo = ?"),
                              {m_checkInNo});
        for (; !payments.eof(); payments.moveNext()) {
            const QVariant amount = payments.value(QStringLiteral("ReciptAmount"));
            m_statement->addNew();
            m_statement->setValue(QStringLiteral("SalesNo"), payments.value(QStringLiteral("RptNo")));
            m_statement->setValue(QStringLiteral("SalesDate"), payments.value(QStringLiteral("ReciptDate")));
            m_statement->setValue(QStringLiteral("Slcmcode"), payments.value(QStringLiteral("RptCode")));
            m_statement->setValue(QStringLiteral("Slcmname"), payments.value(QStringLiteral("RptName")));
            m_statement->setValue(QStringLiteral("Slquantity"), 1);
            m_statement->setValue(QStringLiteral("SlSubTotal"), amount);
            m_statement->update();
            paid = addRounded(paid, amount.toDouble());
        }
    }
    appendSummary(QStringLiteral("入金額"), paid);
    // Negative when the guest has paid more than the total.
    appendSummary(QStringLiteral("請求額"),
                  desk::convert::toInt32(static_cast<double>(grandTotal) - static_cast<double>(paid)));

    transaction.commit();
}

void CheckOutClass::RsTempDelete() {
    requireConnected();
    // An empty table is simply left empty; a real failure is reported, since a statement
    // built on top of rows that were not removed would be wrong.
    desk::clearDeskRows(*m_option, QStringLiteral("CheckOutTemp"));
}

} // namespace departsvc
