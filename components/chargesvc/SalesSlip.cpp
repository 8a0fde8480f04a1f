#include "SalesSlip.h"

#include "SalesLine.h"
#include "convert/Convert.h"
#include "taxsvc/TaxSettings.h"

#include <cmath>
#include <limits>

namespace chargesvc {

void SalesSlipLine::work() {
    const SalesLineFigures figures = salesLineFigures(quantity.value_or(0), unitPrice, serviceRate, taxRate);
    subTotal = figures.subTotal;
    total = figures.total;
}

void SalesSlipLine::workTotal() {
    total = salesLineTotal(subTotal, serviceRate, taxRate);
}

bool SalesSlipLine::fitsTheBill() const {
    return SalesSlip::amountFits(subTotal) && SalesSlip::amountFits(total);
}

std::optional<qint32> SalesSlip::total(int leaving) const {
    qint32 sum = 0;
    for (int row = 0; row < lines.size(); ++row) {
        if (row == leaving)
            continue;
        const double next = double(sum) + lines.at(row).total;
        if (!amountFits(next))
            return std::nullopt;
        sum = desk::convert::toInt32(next);
    }
    return sum;
}

std::optional<qint32> SalesSlip::lessLine(qint32 shown, double lineTotal) {
    const double rest = double(shown) - lineTotal;
    if (!amountFits(rest))
        return std::nullopt;
    return desk::convert::toInt32(rest);
}

std::optional<QString> SalesSlip::billRefusal() const {
    for (const SalesSlipLine& line : lines) {
        if (!line.fitsTheBill())
            return amountRefusal();
    }
    if (!total())
        return amountRefusal();
    return std::nullopt;
}

std::optional<QString> SalesSlip::saveRefusal() const {
    if (lines.isEmpty())
        return QStringLiteral("明細がありません。");
    SalesSlip worked = *this;
    for (SalesSlipLine& line : worked.lines) {
        if (!line.quantity)
            return QStringLiteral("数量が入っていない明細があります。");
        line.work();
    }
    return worked.billRefusal();
}

bool SalesSlip::amountFits(double amount) {
    const double whole = desk::convert::roundHalfEven(amount);
    return std::isfinite(whole) && whole >= std::numeric_limits<qint32>::min() &&
           whole <= std::numeric_limits<qint32>::max();
}

QString SalesSlip::amountRefusal() {
    return QStringLiteral("金額は %1 円までです。数量か単価を直してください。")
        .arg(desk::convert::formatNumber(std::numeric_limits<qint32>::max(), desk::convert::AmountFormat));
}

double lineNumber(const QVariant& value) {
    if (value.isNull())
        return 0.0;
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return value.toDouble();
    default:
        return desk::convert::leadingNumber(value.toString());
    }
}

NewLineRates newLineRates(const taxsvc::TaxSettings& settings, bool serviceCharged, int taxClass,
                          const std::optional<QDate>& day) {
    NewLineRates rates;
    rates.serviceRate = serviceCharged ? settings.serviceFee : 0.0;
    if (!day) {
        rates.note = NewLineRates::Note::NoDay;
        return rates;
    }
    const std::optional<double> taxRate = settings.rates.rateFor(taxsvc::taxClassOf(taxClass), *day);
    if (!taxRate)
        rates.note = NewLineRates::Note::NoRateInForce;
    else
        rates.taxRate = *taxRate;
    return rates;
}

bool rateInForce(const taxsvc::TaxSettings& settings, double rate, const QDate& day) {
    return settings.rates.isInForce(rate, day);
}

std::optional<double> reducedRateOn(const taxsvc::TaxSettings& settings, const QDate& day) {
    if (!day.isValid())
        return std::nullopt;
    const auto rates = settings.rates.inForce(day);
    if (!rates)
        return std::nullopt;
    return rates->reduced;
}

} // namespace chargesvc
