#include "CheckOutClass.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "taxsvc/LevyRules.h"
#include "taxsvc/TaxSettings.h"

#include <QDate>

namespace departsvc {

namespace {

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

namespace {

// One statement row in the column order of insertStatement.
QVariantList statementRow(const QVariant& salesNo, const QVariant& salesDate, const QVariant& code,
                          const QVariant& name, const QVariant& spec, const QVariant& quantity,
                          const QVariant& unitPrice, const QVariant& subTotal, const QVariant& sv = {},
                          const QVariant& sv2 = {}, const QVariant& tax = {}, const QVariant& tax2 = {},
                          const QVariant& reduced = {}) {
    // Dates are kept as the ISO text every date column holds.
    const QVariant date =
        salesDate.typeId() == QMetaType::QDate ? QVariant(salesDate.toDate().toString(Qt::ISODate)) : salesDate;
    return {salesNo, date, code, name, spec, quantity, unitPrice, subTotal, sv, sv2, tax, tax2, reduced, {}, {}};
}

QVariantList summaryRow(const QString& title, qint32 amount) {
    return statementRow({}, {}, {}, title, {}, {}, {}, amount);
}

// A tax row carries its rate and the base it was worked out on, for the bill's blocks.
QVariantList taxRow(const taxsvc::StatementTax& tax, const taxsvc::RateTax& rate) {
    QVariantList row = summaryRow(tax.taxTitle(rate), rate.tax);
    row[13] = rate.rate;
    row[14] = rate.base;
    return row;
}

const QString ReducedMark = QStringLiteral("※");

} // namespace

void CheckOutClass::CheckOut() {
    requireConnected();
    if (!m_sales)
        m_sales = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Sales));
    if (!m_recipt)
        m_recipt = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Recipt));

    // The rates are those in force on the settlement date (today when the caller gives none).
    QDate settled = desk::convert::dateOf(m_checkOutDate);
    if (!settled.isValid())
        settled = QDate::currentDate();
    const taxsvc::TaxSettings settings = taxsvc::TaxSettings::read(m_option);
    const std::optional<taxsvc::RateRow> rates = settings.rates.inForce(settled);
    if (!rates)
        throw desk::DbError(QStringLiteral("精算日 %1 に適用される消費税率がありません。"
                                           "初期登録で税率を確かめてください。")
                                .arg(settled.toString(QStringLiteral("yyyy/MM/dd"))));
    taxsvc::StatementTaxer taxer(*rates, settings.rounding);
    taxsvc::LevyStay stay;

    // The statement is worked out in memory from the guest's lines as they are read, then
    // written in one go: the sums are those of exactly the rows written, whatever else the
    // table held.
    QList<QVariantList> rows;
    {
        desk::RowSet sales(m_sales, QStringLiteral("SELECT * FROM QRYCheckOutP WHERE BTCheckInNo = ?"), {m_checkInNo});
        for (; !sales.eof(); sales.moveNext()) {
            const QVariant quantity = sales.value(QStringLiteral("BTQuantity"));
            const QVariant unitPrice = sales.value(QStringLiteral("BTUnitPrice"));
            const double amount = quantity.toDouble() * unitPrice.toDouble();
            // An empty rate counts as no rate.
            const double serviceFee = sales.value(QStringLiteral("BTServiceFee")).toDouble();
            const double salesTax = sales.value(QStringLiteral("BTSalesTax")).toDouble();

            const bool reduced = taxer.add({amount, serviceFee, salesTax});
            const double roomShare = sales.value(QStringLiteral("CRoomShare")).toDouble();
            if (roomShare > 0) {
                stay.lodged = true;
                stay.roomCharge += taxsvc::roomChargeOf(amount, serviceFee, roomShare);
            }
            rows << statementRow(sales.value(QStringLiteral("BTSalesNO")), sales.value(QStringLiteral("BTSalesdate")),
                                 sales.value(QStringLiteral("BTcmcode")), sales.value(QStringLiteral("cname")),
                                 sales.value(QStringLiteral("BTspec")), quantity, unitPrice, amount,
                                 serviceFee != 0 ? Marked : Unmarked, serviceFee, salesTax != 0 ? Marked : Unmarked,
                                 salesTax, reduced ? QVariant(ReducedMark) : QVariant());
        }
    }
    const taxsvc::StatementTax tax = taxer.result();
    qint32 grandTotal = tax.total();
    rows << summaryRow(QStringLiteral("サービス料"), tax.service);
    for (const taxsvc::RateTax& rate : tax.rates)
        rows << taxRow(tax, rate);
    // The bathing and accommodation taxes stand outside the consumption tax: rows of their
    // own, with no rate, so that no per-rate block of the bill counts them.
    if (!settings.levies.rules().isEmpty() && readStay(stay, settled)) {
        for (const taxsvc::LevyCharge& charge : taxsvc::levyCharges(settings.levies, settled, stay)) {
            if (charge.amount == 0)
                continue;
            rows << summaryRow(charge.billText(), charge.amount);
            grandTotal = desk::convert::addInt32(grandTotal, charge.amount);
        }
    }
    rows << summaryRow(QStringLiteral("合計"), grandTotal);

    qint32 paid = 0;
    {
        desk::RowSet payments(m_recipt, QStringLiteral("SELECT * FROM QRYRecipt WHERE RptCheckInNo = ?"),
                              {m_checkInNo});
        for (; !payments.eof(); payments.moveNext()) {
            const QVariant amount = payments.value(QStringLiteral("ReciptAmount"));
            rows << statementRow(payments.value(QStringLiteral("RptNo")), payments.value(QStringLiteral("ReciptDate")),
                                 payments.value(QStringLiteral("RptCode")), payments.value(QStringLiteral("RptName")),
                                 {}, 1, {}, amount);
            paid = addRounded(paid, amount.toDouble());
        }
    }
    rows << summaryRow(QStringLiteral("入金額"), paid);
    // Negative when the guest has paid more than the total.
    rows << summaryRow(QStringLiteral("請求額"),
                       desk::convert::toInt32(static_cast<double>(grandTotal) - static_cast<double>(paid)));

    // Half a statement is never left behind: a failed write undoes it all.
    desk::Transaction transaction(*m_option);
    // Every row belongs to this desk: another desk's statement is never touched or summed.
    const QString deskName = desk::currentDesk();
    qsizetype next = 0;
    m_option->execEach(QStringLiteral("INSERT INTO CheckOutTemp (SalesNo, SalesDate, Slcmcode, Slcmname, Slcmspec, "
                                      "Slquantity, Slunitp, SlSubTotal, SlSv, SlSv2, SlTax, SlTax2, SlReduced, "
                                      "SlTaxRate, SlTaxBase, ") +
                           QString::fromLatin1(desk::DeskColumn) +
                           QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       [&](QVariantList& binds) {
                           if (next == rows.size())
                               return false;
                           binds = rows[next++];
                           binds << deskName;
                           return true;
                       });
    transaction.commit();
}

bool CheckOutClass::readStay(taxsvc::LevyStay& stay, const QDate& settled) {
    const auto clients = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    desk::RowSet party(clients, QStringLiteral("SELECT * FROM QRYStayLevy WHERE CheckInNO = ?"), {m_checkInNo});
    if (party.eof())
        return false;
    stay.guests = desk::convert::int32Of(party.value(QStringLiteral("Guests")));
    stay.bathExempt = desk::convert::int32Of(party.value(QStringLiteral("BathExempt")));
    stay.lodgingExempt = desk::convert::int32Of(party.value(QStringLiteral("LodgingExempt")));
    stay.nights = taxsvc::stayNights(desk::convert::dateOf(party.value(QStringLiteral("CheckInDate"))), settled);
    return true;
}

void CheckOutClass::RsTempDelete() {
    requireConnected();
    // An empty table is simply left empty; a real failure is reported, since a statement
    // built on top of rows that were not removed would be wrong.
    desk::clearDeskRows(*m_option, QStringLiteral("CheckOutTemp"));
}

} // namespace departsvc
