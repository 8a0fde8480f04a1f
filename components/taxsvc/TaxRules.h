#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The consumption tax as the inn's bills work it out: the rates in force on a day, the
// rounding the inn chose, the tax of a statement per rate, the invoice registration number.
// Pure rules; the settings themselves are read by TaxSettings.
namespace taxsvc {

// Of settings that change on the given days, the periods [from, until) on whose first day
// `same` is false (until is null for "from then on"), oldest first; neighbouring periods
// read as one. The days may come unsorted and twice.
QList<std::pair<QDate, QDate>> changedPeriods(QList<QDate> days, const std::function<bool(const QDate&)>& same);

// How a commodity is taxed (Commodities.CTaxClass).
enum class TaxClass { Standard = 0, Reduced = 1, Exempt = 2 };
// How a bill's tax per rate becomes whole yen (CompanyProfile.TaxRounding).
enum class Rounding { HalfEven = 0, Down = 1, HalfUp = 2 };

// Unknown stored values read as the first choice.
TaxClass taxClassOf(int stored);
Rounding roundingOf(int stored);
// "標準税率", "軽減税率", "非課税".
QString taxClassName(TaxClass taxClass);
// "偶数丸め", "切り捨て", "四捨五入".
QString roundingName(Rounding rounding);

// A tax amount in whole yen. Down and half up work on the magnitude, so the tax of a
// refund mirrors that of a charge.
qint64 roundTax(double amount, Rounding rounding);

// A rate in percent as a bill prints it: "10", "8", "6.3".
QString rateText(double rate);

// The consumption-tax rates in force from a day on (a row of TaxRates).
struct RateRow {
    QDate effective;
    double standard = 0;
    std::optional<double> reduced; // none before the reduced rate existed
    bool operator==(const RateRow&) const = default;
};

// The rates by effective date.
class RateTable {
public:
    RateTable() = default;
    // Kept in date order, oldest first.
    explicit RateTable(QList<RateRow> rows);

    const QList<RateRow>& rows() const { return m_rows; }
    // The row in force on a day: the last one effective on or before it; none before the first.
    std::optional<RateRow> inForce(const QDate& day) const;
    // The rate a commodity of the class takes on a day. A reduced-rate commodity takes the
    // standard rate before the reduced rate existed; none before the first row.
    std::optional<double> rateFor(TaxClass taxClass, const QDate& day) const;
    // Whether a typed rate is 0 or one of the rates in force on the day.
    bool isInForce(double rate, const QDate& day) const;
    // The periods [from, until) in which this table and the other one put different rates
    // in force (until is null for "from then on"), oldest first.
    QList<std::pair<QDate, QDate>> periodsChangedBy(const RateTable& other) const;

private:
    QList<RateRow> m_rows;
};

// Whether two rates in percent are the same rate (they are typed and stored as doubles).
bool sameRate(double a, double b);

// One statement line as the tax sees it.
struct TaxedLine {
    double subTotal = 0;    // quantity × unit price
    double serviceRate = 0; // percent; 0 bears no service charge
    double taxRate = 0;     // the line's own rate; 0 is not taxed
};

// The tax of one rate on a statement.
struct RateTax {
    double rate = 0;
    bool reduced = false;
    qint32 base = 0; // the lines' subtotals and their service charge
    qint32 tax = 0;
};

// A statement's service charge, subtotal and tax per rate.
struct StatementTax {
    qint32 service = 0;
    qint32 subTotal = 0;
    // Highest rate first; the standard rate is there even when nothing was taxed.
    QList<RateTax> rates;
    // Only one rate was in force: the bill shows one "消費税" row.
    bool oneRate = true;

    qint32 taxTotal() const;
    // Service + subtotal + every rate's tax.
    qint32 total() const;
    // "消費税" in an era of one rate, else "消費税（10%）".
    QString taxTitle(const RateTax& rate) const;
};

// Works out a statement's tax from its lines, read one at a time in the statement's order.
// Sums run as the statement has always kept them: each running sum is rounded half to even
// after every line, so halves follow the sum, not the line. A taxed line whose own rate is
// the reduced rate in force is taxed at it, every other taxed line at the standard rate; a
// line's service charge is taxed with its line, and service on an untaxed line at the
// standard rate. Each rate's tax is rounded once, with the inn's rounding. Amounts beyond
// 32 bits raise desk::ConversionError.
class StatementTaxer {
public:
    StatementTaxer(const RateRow& rates, Rounding rounding);

    // Adds a line; true when it is taxed at the reduced rate (the bill marks it "※").
    bool add(const TaxedLine& line);
    StatementTax result() const;

private:
    struct Group {
        double rate = 0;
        bool reduced = false;
        bool used = false;
        qint32 subTotal = 0;
        qint32 service = 0;
    };

    RateRow m_rates;
    Rounding m_rounding;
    qint32 m_subTotal = 0;
    Group m_standard;
    Group m_reduced;
};

// The invoice registration number as typed, made plain: trimmed, full-width letters and
// digits to ASCII, "t" to "T". Empty stays empty (the inn issues no qualified invoices).
QString plainInvoiceNumber(const QString& typed);
// Why a plain invoice number is refused ("T" and 13 digits), in the clerk's words; empty
// when it is taken (an empty number too).
QString invoiceNumberRefusal(const QString& plain);
// Whether the 13 digits of a taken number hold the check digit of a corporate number
// (a sole proprietor's number need not: a warning, never a refusal).
bool invoiceCheckDigitHolds(const QString& plain);

} // namespace taxsvc
