#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace departsvc {

// One line of a guest's check-out statement, as the grid shows it and the bill prints it.
struct StatementLine {
    enum class Kind {
        Sale,          // a sales line under the check-in
        ServiceCharge, // "サービス料"
        Tax,           // the consumption tax of one rate
        Levy,          // a bathing or accommodation tax, outside every rate
        Total,         // "合計"
        Payment,       // a payment under the check-in
        Paid,          // "入金額"
        Due,           // "請求額": negative when the guest paid more than the total
    };

    Kind kind = Kind::Sale;
    std::optional<qint64> slipNo; // the sales or payment slip
    QDate date;
    QString code;
    QString name; // the commodity, payment item or summary title
    QString spec;
    std::optional<double> quantity;
    std::optional<double> unitPrice;
    double amount = 0;
    // A sale's service charge and tax rates (percent), and whether each applies.
    std::optional<double> serviceRate;
    std::optional<double> taxRate;
    bool reduced = false; // taxed at the reduced rate: "※" on a qualified invoice
    // A tax line's rate and the base it was worked out on.
    std::optional<double> rate;
    std::optional<double> base;

    // The line as the statement work table's column holds it (SalesNo, SalesDate, Slcmcode,
    // Slcmname, Slcmspec, Slquantity, Slunitp, SlSubTotal, SlSv, SlSv2, SlTax, SlTax2,
    // SlReduced, SlTaxRate, SlTaxBase; names compared without regard to case), typed as it is
    // read back; null where the line has none.
    QVariant value(const QString& column) const;

    bool operator==(const StatementLine&) const = default;
};

// The statement of one guest at check-out, worked out once: the sales lines, the service
// charge, the tax of each rate, the levies, the total, the payments, the amount paid and
// the amount to be paid, in that order.
struct Statement {
    struct RateBlock {
        double rate = 0;
        double base = 0;
        double tax = 0;
    };

    QString checkInNo;
    QDate settledOn; // the day whose rates it uses
    QList<StatementLine> lines;

    // The amount still to be paid: the last line's (0 with no lines).
    double due() const;
    // The tax lines' rate, base and tax, highest rate first.
    QList<RateBlock> rateBlocks() const;
    // Whether a line is taxed at the reduced rate.
    bool anyReduced() const;

    bool operator==(const Statement&) const = default;
};

} // namespace departsvc
