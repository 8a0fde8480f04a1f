#pragma once

namespace chargesvc {

// The figures of one sales line. Rates are in percent; the service charge is on the subtotal
// and the tax on the subtotal with its service charge. Kept unrounded: a slip is rounded
// only when it is summed.
struct SalesLineFigures {
    double subTotal = 0; // BTSubTotal1
    double total = 0;    // BTSubTotal2
};

SalesLineFigures salesLineFigures(double quantity, double unitPrice, double serviceRate, double taxRate);
// The line total of a subtotal already worked out.
double salesLineTotal(double subTotal, double serviceRate, double taxRate);

} // namespace chargesvc
