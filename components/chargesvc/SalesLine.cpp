#include "SalesLine.h"

namespace chargesvc {

SalesLineFigures salesLineFigures(double quantity, double unitPrice, double serviceRate, double taxRate) {
    const double subTotal = unitPrice * quantity;
    return {subTotal, salesLineTotal(subTotal, serviceRate, taxRate)};
}

double salesLineTotal(double subTotal, double serviceRate, double taxRate) {
    return subTotal * (serviceRate / 100 + 1) * (taxRate / 100 + 1);
}

} // namespace chargesvc
