#include "PaymentSlip.h"

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
    return std::nullopt;
}

} // namespace paymentsvc
