#pragma once

#include "slipkit/SlipHeader.h"

#include <QList>
#include <QString>

#include <optional>

namespace paymentsvc {

// One line of a payment slip as the grid and the work table hold it.
struct PaymentSlipLine {
    QString code;                 // RptCode
    QString name;                 // RptName
    QString remarks;              // RptRemarks
    std::optional<double> amount; // ReciptAmount, whole yen; none until typed
};

// A payment slip: the header (the kind of payment as its class) and its lines, with the
// rules every payment slip keeps.
struct PaymentSlip {
    slipkit::SlipHeader header;
    QList<PaymentSlipLine> lines;

    // The amount received: the lines' amounts added up, a line without one counting 0.
    // `leaving` names a line left out (one about to be deleted).
    double total(int leaving = -1) const;
    // A total shown with one line's amount taken off (none takes nothing off).
    static double lessLine(double shown, const std::optional<double>& amount) { return shown - amount.value_or(0); }

    // Why the slip cannot be saved: no lines, a line without its amount, or amounts whose
    // total a bill cannot hold (whole yen in 32 bits); nothing when it can.
    std::optional<QString> saveRefusal() const;
    // Whether the amounts add up to what a bill holds.
    static bool totalFits(double total);
    // "入金額は合計で 2,147,483,647 円までです。"
    static QString totalRefusal();
};

} // namespace paymentsvc
