#include "TaxRules.h"

#include "convert/Convert.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace taxsvc {

TaxClass taxClassOf(int stored) {
    switch (stored) {
    case int(TaxClass::Reduced):
        return TaxClass::Reduced;
    case int(TaxClass::Exempt):
        return TaxClass::Exempt;
    default:
        return TaxClass::Standard;
    }
}

Rounding roundingOf(int stored) {
    switch (stored) {
    case int(Rounding::Down):
        return Rounding::Down;
    case int(Rounding::HalfUp):
        return Rounding::HalfUp;
    default:
        return Rounding::HalfEven;
    }
}

QString taxClassName(TaxClass taxClass) {
    switch (taxClass) {
    case TaxClass::Reduced:
        return QStringLiteral("軽減税率");
    case TaxClass::Exempt:
        return QStringLiteral("非課税");
    case TaxClass::Standard:
        break;
    }
    return QStringLiteral("標準税率");
}

QString roundingName(Rounding rounding) {
    switch (rounding) {
    case Rounding::Down:
        return QStringLiteral("切り捨て");
    case Rounding::HalfUp:
        return QStringLiteral("四捨五入");
    case Rounding::HalfEven:
        break;
    }
    return QStringLiteral("偶数丸め");
}

qint64 roundTax(double amount, Rounding rounding) {
    // A product like 1005 × 10 ÷ 100 comes out a hair off 100.5 in binary; the tax is
    // decided on the amount as written, to the millionth of a yen.
    const double exact = std::round(amount * 1e6) / 1e6;
    const double magnitude = std::fabs(exact);
    double rounded = 0;
    switch (rounding) {
    case Rounding::Down:
        rounded = std::floor(magnitude);
        break;
    case Rounding::HalfUp:
        rounded = std::floor(magnitude + 0.5);
        break;
    case Rounding::HalfEven:
        rounded = desk::convert::roundHalfEven(magnitude);
        break;
    }
    return static_cast<qint64>(exact < 0 ? -rounded : rounded);
}

QString rateText(double rate) {
    return QString::number(rate, 'g', 6);
}

bool sameRate(double a, double b) {
    return std::fabs(a - b) < 1e-9;
}

RateTable::RateTable(QList<RateRow> rows)
    : m_rows(std::move(rows)) {
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [](const RateRow& a, const RateRow& b) { return a.effective < b.effective; });
}

std::optional<RateRow> RateTable::inForce(const QDate& day) const {
    std::optional<RateRow> found;
    for (const RateRow& row : m_rows) {
        if (row.effective > day)
            break;
        found = row;
    }
    return found;
}

std::optional<double> RateTable::rateFor(TaxClass taxClass, const QDate& day) const {
    const std::optional<RateRow> rates = inForce(day);
    if (!rates)
        return std::nullopt;
    switch (taxClass) {
    case TaxClass::Exempt:
        return 0.0;
    case TaxClass::Reduced:
        return rates->reduced.value_or(rates->standard);
    case TaxClass::Standard:
        break;
    }
    return rates->standard;
}

bool RateTable::isInForce(double rate, const QDate& day) const {
    if (sameRate(rate, 0))
        return true;
    const std::optional<RateRow> rates = inForce(day);
    return rates && (sameRate(rate, rates->standard) || (rates->reduced && sameRate(rate, *rates->reduced)));
}

QList<std::pair<QDate, QDate>> changedPeriods(QList<QDate> days, const std::function<bool(const QDate&)>& same) {
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());

    QList<std::pair<QDate, QDate>> changed;
    for (qsizetype i = 0; i < days.size(); ++i) {
        if (same(days[i]))
            continue;
        const QDate until = i + 1 < days.size() ? days[i + 1] : QDate();
        // Neighbouring changed periods read as one.
        if (!changed.isEmpty() && changed.last().second == days[i])
            changed.last().second = until;
        else
            changed.append({days[i], until});
    }
    return changed;
}

QList<std::pair<QDate, QDate>> RateTable::periodsChangedBy(const RateTable& other) const {
    QList<QDate> days;
    for (const RateRow& row : m_rows)
        days << row.effective;
    for (const RateRow& row : other.m_rows)
        days << row.effective;
    return changedPeriods(days, [&](const QDate& day) { return inForce(day) == other.inForce(day); });
}

qint32 StatementTax::taxTotal() const {
    qint32 sum = 0;
    for (const RateTax& rate : rates)
        sum = desk::convert::addInt32(sum, rate.tax);
    return sum;
}

qint32 StatementTax::total() const {
    return desk::convert::addInt32(desk::convert::addInt32(service, subTotal), taxTotal());
}

QString StatementTax::taxTitle(const RateTax& rate) const {
    if (oneRate)
        return QStringLiteral("消費税");
    return QStringLiteral("消費税（%1%）").arg(rateText(rate.rate));
}

namespace {

qint32 addRounded(qint32 sum, double addend) {
    return desk::convert::toInt32(static_cast<double>(sum) + addend);
}

} // namespace

StatementTaxer::StatementTaxer(const RateRow& rates, Rounding rounding)
    : m_rates(rates)
    , m_rounding(rounding) {
    m_standard.rate = rates.standard;
    if (rates.reduced) {
        m_reduced.rate = *rates.reduced;
        m_reduced.reduced = true;
    }
}

bool StatementTaxer::add(const TaxedLine& line) {
    m_subTotal = addRounded(m_subTotal, line.subTotal);
    const bool taxed = !sameRate(line.taxRate, 0);
    const bool reduced = taxed && m_rates.reduced && sameRate(line.taxRate, *m_rates.reduced);
    // Service on an untaxed line is taxed at the standard rate.
    Group& group = reduced ? m_reduced : m_standard;
    if (taxed) {
        group.subTotal = addRounded(group.subTotal, line.subTotal);
        group.used = true;
    }
    if (!sameRate(line.serviceRate, 0)) {
        group.service = addRounded(group.service, line.serviceRate * line.subTotal / 100);
        group.used = true;
    }
    return reduced;
}

StatementTax StatementTaxer::result() const {
    StatementTax result;
    result.subTotal = m_subTotal;
    result.oneRate = !m_rates.reduced.has_value();
    QList<const Group*> groups{&m_standard};
    if (m_reduced.used)
        groups << &m_reduced;
    for (const Group* group : groups) {
        result.service = desk::convert::addInt32(result.service, group->service);
        RateTax rate;
        rate.rate = group->rate;
        rate.reduced = group->reduced;
        rate.base = desk::convert::addInt32(group->subTotal, group->service);
        rate.tax = desk::convert::toInt32(static_cast<double>(roundTax(rate.base * group->rate / 100, m_rounding)));
        result.rates << rate;
    }
    std::stable_sort(result.rates.begin(), result.rates.end(),
                     [](const RateTax& a, const RateTax& b) { return a.rate > b.rate; });
    return result;
}

QString plainInvoiceNumber(const QString& typed) {
    QString plain = desk::convert::asciiDigits(typed.trimmed());
    for (QChar& c : plain) {
        if (c == QChar(0xFF34) || c == QChar(0xFF54) || c == QLatin1Char('t')) // Ｔ ｔ t
            c = QLatin1Char('T');
    }
    plain.remove(QLatin1Char('-'));
    plain.remove(QLatin1Char(' '));
    return plain;
}

QString invoiceNumberRefusal(const QString& plain) {
    if (plain.isEmpty())
        return {};
    static const QString shape = QStringLiteral("登録番号は「T」と13桁の数字です（例: T1234567890123）。");
    if (plain.size() != 14 || plain.front() != QLatin1Char('T'))
        return shape;
    for (qsizetype i = 1; i < plain.size(); ++i) {
        if (plain[i] < QLatin1Char('0') || plain[i] > QLatin1Char('9'))
            return shape;
    }
    return {};
}

bool invoiceCheckDigitHolds(const QString& plain) {
    if (!invoiceNumberRefusal(plain).isEmpty() || plain.isEmpty())
        return false;
    // The first of the 13 digits checks the other twelve: 9 − (Σ Pn × Qn mod 9), Pn the
    // n-th digit from the right, Qn 1 for odd n and 2 for even n.
    int sum = 0;
    for (int n = 1; n <= 12; ++n) {
        const int digit = plain[14 - n].digitValue();
        sum += digit * (n % 2 == 1 ? 1 : 2);
    }
    return plain[1].digitValue() == 9 - sum % 9;
}

} // namespace taxsvc
