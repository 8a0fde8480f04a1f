#pragma once

#include "slipkit/SlipHeader.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace taxsvc {
struct TaxSettings;
}

namespace chargesvc {

// One line of a sales slip as the grid and the work table hold it. Rates are in percent;
// the service charge is on the subtotal and the tax on the subtotal with its service charge.
// The figures are kept unrounded: a slip is rounded only when it is summed.
struct SalesSlipLine {
    QString code;                   // BTcmcode
    QString name;                   // BTCMname
    QString spec;                   // BTspec
    std::optional<double> quantity; // BTQuantity; none until typed
    double unitPrice = 0;           // BTUnitPrice
    double serviceRate = 0;         // BTServiceFee
    double taxRate = 0;             // BTSalesTax
    double subTotal = 0;            // BTSubTotal1
    double total = 0;               // BTSubTotal2

    // Subtotal and total worked out from quantity, price and rates.
    void work();
    // The total worked out from the subtotal as it stands (a rate was changed).
    void workTotal();
    // Both figures can stand on a guest's bill (whole yen in 32 bits).
    bool fitsTheBill() const;
};

// A sales slip: the header and its lines, with the rules every slip keeps.
struct SalesSlip {
    slipkit::SlipHeader header;
    QList<SalesSlipLine> lines;

    // The slip total as it has always been added up: a 32-bit running total rounded half to
    // even after each line (10.5 + 10.5 is 10, then 20); nothing once it goes beyond 32 bits.
    // `leaving` names a line left out (one about to be deleted).
    std::optional<qint32> total(int leaving = -1) const;
    // A total shown with one line taken off; nothing when that goes beyond 32 bits.
    static std::optional<qint32> lessLine(qint32 shown, double lineTotal);

    // Why the slip cannot stand on a bill: a line or the total beyond 32 bits; nothing when
    // it can.
    std::optional<QString> billRefusal() const;
    // Why the slip cannot be saved: no lines, a line without its quantity, or the bill's
    // refusal of its lines' figures worked out afresh from quantity, price and rates (the
    // work table's figures are the grid's, which anyone may have written); nothing when it can.
    std::optional<QString> saveRefusal() const;

    // Amounts as the bill adds them up: whole yen in 32 bits.
    static bool amountFits(double amount);
    // "金額は 2,147,483,647 円までです。数量か単価を直してください。"
    static QString amountRefusal();
};

// A grid cell or a stored column as a figure of a line: its leading numeric part, none 0.
double lineNumber(const QVariant& value);

// The service and tax rates a new line of a commodity takes: the inn's service charge where
// the commodity bears it, and the commodity's consumption-tax rate in force on the slip's
// day. Without a day, or without a rate in force on it, the tax rate is 0 and `note` says why.
struct NewLineRates {
    enum class Note { None, NoDay, NoRateInForce };
    double serviceRate = 0;
    double taxRate = 0;
    Note note = Note::None;
};
NewLineRates newLineRates(const taxsvc::TaxSettings& settings, bool serviceCharged, int taxClass,
                          const std::optional<QDate>& day);
// Whether a typed rate is 0 or one of the rates in force on the day.
bool rateInForce(const taxsvc::TaxSettings& settings, double rate, const QDate& day);
// The reduced rate in force on the day, which the printed slip marks; none without a day.
std::optional<double> reducedRateOn(const taxsvc::TaxSettings& settings, const QDate& day);

} // namespace chargesvc
