#include "PaymentSlip.h"

#include "convert/Convert.h"

#include <cmath>
#include <limits>

namespace paymentsvc {

double PaymentSlip::total(int leaving) const {
    double sum = 0;
    for (int row = 0; row < lines.size(); ++row) {
        if (row != leaving)
            sum += lines.at(row).amount.value_or(0);
    }
    return sum;
}

std::optional<QString> PaymentSlip::saveRefusal() const {
    if (lines.isEmpty())
        return QStringLiteral("明細がありません。");
    for (const PaymentSlipLine& line : lines) {
        if (!line.amount)
            return QStringLiteral("金額が入っていない明細があります。");
    }
    // A line beyond the bound is caught by the total as well unless others take it back;
    // each line must stand on the bill by itself.
    for (const PaymentSlipLine& line : lines) {
        if (!totalFits(*line.amount))
            return totalRefusal();
    }
    if (!totalFits(total()))
        return totalRefusal();
    return std::nullopt;
}

bool PaymentSlip::totalFits(double total) {
    const double whole = desk::convert::roundHalfEven(total);
    return std::isfinite(whole) && whole >= std::numeric_limits<qint32>::min() &&
           whole <= std::numeric_limits<qint32>::max();
}

QString PaymentSlip::totalRefusal() {
    return QStringLiteral("入金額は合計で %1 円までです。")
        .arg(desk::convert::formatNumber(std::numeric_limits<qint32>::max(), desk::convert::AmountFormat));
}

} // namespace paymentsvc
