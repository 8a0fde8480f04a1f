#include "Settlement.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "taxsvc/LevyRules.h"
#include "taxsvc/TaxSettings.h"

namespace departsvc {

namespace {

const QString Table = QStringLiteral("CheckOutTemp");

// A running 32-bit sum with the addend, rounded half to even at once; raises on overflow.
qint32 addRounded(qint32 sum, double addend) {
    return desk::convert::toInt32(static_cast<double>(sum) + addend);
}

std::optional<qint64> slipNumber(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<qint64>(value.toLongLong());
}

std::optional<double> number(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

StatementLine summary(StatementLine::Kind kind, const QString& title, qint32 amount) {
    StatementLine line;
    line.kind = kind;
    line.name = title;
    line.amount = amount;
    return line;
}

// The party, its exempt guests and its nights to the settlement day; false when the
// check-in is not on file.
bool readStay(const QString& dirPath, const QString& checkInNo, taxsvc::LevyStay& stay, const QDate& settled) {
    const auto clients = desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    desk::RowSet party(clients, QStringLiteral("SELECT * FROM QRYStayLevy WHERE CheckInNO = ?"), {checkInNo});
    if (party.eof())
        return false;
    stay.guests = desk::convert::int32Of(party.value(QStringLiteral("Guests")));
    stay.bathExempt = desk::convert::int32Of(party.value(QStringLiteral("BathExempt")));
    stay.lodgingExempt = desk::convert::int32Of(party.value(QStringLiteral("LodgingExempt")));
    stay.nights = taxsvc::stayNights(desk::convert::dateOf(party.value(QStringLiteral("CheckInDate"))), settled);
    return true;
}

std::shared_ptr<desk::Connection> open(const QString& dirPath, const char* file) {
    return desk::Connection::open(dirPath, QString::fromLatin1(file));
}

} // namespace

Settlement::Settlement(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

Statement Settlement::work(const QString& dirPath, const Files& files, const QString& checkInNo, const QDate& settledOn,
                           const NightsOffer& offer) {
    using Kind = StatementLine::Kind;
    // The rates are those in force on the settlement date (today when the caller gives none).
    const QDate settled = settledOn.isValid() ? settledOn : QDate::currentDate();
    const taxsvc::TaxSettings settings = taxsvc::TaxSettings::read(files.option);
    const std::optional<taxsvc::RateRow> rates = settings.rates.inForce(settled);
    if (!rates)
        throw desk::DbError(QStringLiteral("精算日 %1 に適用される消費税率がありません。"
                                           "初期登録で税率を確かめてください。")
                                .arg(settled.toString(QStringLiteral("yyyy/MM/dd"))));
    taxsvc::StatementTaxer taxer(*rates, settings.rounding);
    taxsvc::LevyStay stay;

    Statement statement;
    statement.checkInNo = checkInNo;
    statement.settledOn = settled;
    QList<StatementLine>& lines = statement.lines;
    {
        desk::RowSet sales(files.sales, QStringLiteral("SELECT * FROM QRYCheckOutP WHERE BTCheckInNo = ?"),
                           {checkInNo});
        for (; !sales.eof(); sales.moveNext()) {
            StatementLine line;
            line.slipNo = slipNumber(sales.value(QStringLiteral("BTSalesNO")));
            line.date = desk::convert::dateOf(sales.value(QStringLiteral("BTSalesdate")));
            line.code = desk::convert::textOf(sales.value(QStringLiteral("BTcmcode")));
            line.name = desk::convert::textOf(sales.value(QStringLiteral("cname")));
            line.spec = desk::convert::textOf(sales.value(QStringLiteral("BTspec")));
            line.quantity = number(sales.value(QStringLiteral("BTQuantity")));
            line.unitPrice = number(sales.value(QStringLiteral("BTUnitPrice")));
            line.amount = line.quantity.value_or(0) * line.unitPrice.value_or(0);
            // An empty rate counts as no rate.
            line.serviceRate = sales.value(QStringLiteral("BTServiceFee")).toDouble();
            line.taxRate = sales.value(QStringLiteral("BTSalesTax")).toDouble();

            line.reduced = taxer.add({line.amount, *line.serviceRate, *line.taxRate});
            const double roomShare = sales.value(QStringLiteral("CRoomShare")).toDouble();
            if (roomShare > 0) {
                stay.lodged = true;
                stay.roomCharge += taxsvc::roomChargeOf(line.amount, *line.serviceRate, roomShare);
            }
            lines << line;
        }
    }
    for (const NightsOffer::Line& offered : offer.lines) {
        const chargesvc::SalesSlipLine& sale = offered.line;
        StatementLine line;
        line.date = settled;
        line.code = sale.code;
        line.name = sale.name;
        line.spec = sale.spec;
        line.quantity = sale.quantity;
        line.unitPrice = sale.unitPrice;
        line.amount = sale.quantity.value_or(0) * sale.unitPrice;
        line.serviceRate = sale.serviceRate;
        line.taxRate = sale.taxRate;
        line.reduced = taxer.add({line.amount, *line.serviceRate, *line.taxRate});
        if (offered.roomShare > 0) {
            stay.lodged = true;
            stay.roomCharge += taxsvc::roomChargeOf(line.amount, *line.serviceRate, offered.roomShare);
        }
        lines << line;
    }
    const taxsvc::StatementTax tax = taxer.result();
    qint32 grandTotal = tax.total();
    lines << summary(Kind::ServiceCharge, QStringLiteral("サービス料"), tax.service);
    for (const taxsvc::RateTax& rate : tax.rates) {
        StatementLine line = summary(Kind::Tax, tax.taxTitle(rate), rate.tax);
        line.rate = rate.rate;
        line.base = rate.base;
        lines << line;
    }
    // The bathing and accommodation taxes stand outside the consumption tax: lines of their
    // own, with no rate, so that no per-rate block of the bill counts them.
    if (!settings.levies.rules().isEmpty() && readStay(dirPath, checkInNo, stay, settled)) {
        for (const taxsvc::LevyCharge& charge : taxsvc::levyCharges(settings.levies, settled, stay)) {
            if (charge.amount == 0)
                continue;
            lines << summary(Kind::Levy, charge.billText(), charge.amount);
            grandTotal = desk::convert::addInt32(grandTotal, charge.amount);
        }
    }
    lines << summary(Kind::Total, QStringLiteral("合計"), grandTotal);

    qint32 paid = 0;
    {
        desk::RowSet payments(files.recipt, QStringLiteral("SELECT * FROM QRYRecipt WHERE RptCheckInNo = ?"),
                              {checkInNo});
        for (; !payments.eof(); payments.moveNext()) {
            StatementLine line;
            line.kind = Kind::Payment;
            line.slipNo = slipNumber(payments.value(QStringLiteral("RptNo")));
            line.date = desk::convert::dateOf(payments.value(QStringLiteral("ReciptDate")));
            line.code = desk::convert::textOf(payments.value(QStringLiteral("RptCode")));
            line.name = desk::convert::textOf(payments.value(QStringLiteral("RptName")));
            line.quantity = 1;
            line.amount = payments.value(QStringLiteral("ReciptAmount")).toDouble();
            paid = addRounded(paid, line.amount);
            lines << line;
        }
    }
    lines << summary(Kind::Paid, QStringLiteral("入金額"), paid);
    // Negative when the guest has paid more than the total.
    lines << summary(Kind::Due, QStringLiteral("請求額"),
                     desk::convert::toInt32(static_cast<double>(grandTotal) - static_cast<double>(paid)));
    return statement;
}

void Settlement::append(desk::Connection& option, const Statement& statement) {
    static const char* const columns[] = {"SalesNo",    "SalesDate", "Slcmcode",   "Slcmname",  "Slcmspec",
                                          "Slquantity", "Slunitp",   "SlSubTotal", "SlSv",      "SlSv2",
                                          "SlTax",      "SlTax2",    "SlReduced",  "SlTaxRate", "SlTaxBase"};
    static const QString insert = [] {
        QStringList names;
        for (const char* column : columns)
            names << QLatin1String(column);
        names << QString::fromLatin1(desk::DeskColumn);
        return QStringLiteral("INSERT INTO CheckOutTemp (%1) VALUES (?%2)")
            .arg(names.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(names.size() - 1));
    }();
    // Half a statement is never left behind: a failed write undoes it all.
    desk::Transaction transaction(option);
    // Every row belongs to this desk: another desk's statement is never touched or summed.
    const QString deskName = desk::currentDesk();
    qsizetype next = 0;
    option.execEach(insert, [&](QVariantList& binds) {
        if (next == statement.lines.size())
            return false;
        const StatementLine& line = statement.lines.at(next++);
        binds.clear();
        for (const char* column : columns) {
            QVariant value = line.value(QLatin1String(column));
            // Dates are kept as the ISO text every date column holds.
            if (value.typeId() == QMetaType::QDate)
                value = value.toDate().toString(Qt::ISODate);
            binds << value;
        }
        binds << deskName;
        return true;
    });
    transaction.commit();
}

Statement Settlement::statementOf(const QString& checkInNo, const QDate& settledOn, const NightsOffer& offer) const {
    return work(m_dirPath,
                {open(m_dirPath, desk::DbFile::Option), open(m_dirPath, desk::DbFile::Sales),
                 open(m_dirPath, desk::DbFile::Recipt)},
                checkInNo, settledOn, offer);
}

Statement Settlement::showStatement(const QString& checkInNo, const QDate& settledOn, const NightsOffer& offer) const {
    const Files files{open(m_dirPath, desk::DbFile::Option), open(m_dirPath, desk::DbFile::Sales),
                      open(m_dirPath, desk::DbFile::Recipt)};
    // Emptying and rebuilding in one transaction: the statement is replaced whole or stays
    // as it was, and computing twice still leaves one statement.
    desk::Transaction transaction(*files.option);
    desk::clearDeskRows(*files.option, Table);
    Statement statement = work(m_dirPath, files, checkInNo, settledOn, offer);
    append(*files.option, statement);
    transaction.commit();
    return statement;
}

void Settlement::clearStatement() const {
    desk::clearDeskRows(*open(m_dirPath, desk::DbFile::Option), Table);
}

std::unique_ptr<desk::RowSet> Settlement::statementRows() const {
    return desk::openDeskRows(open(m_dirPath, desk::DbFile::Option), Table);
}

} // namespace departsvc
