#pragma once

#include "LevyRules.h"
#include "TaxRules.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace desk {
class Connection;
}

namespace taxsvc {

// The inn's tax settings: the rates by date (TaxRates), the levies by date (LevyRules) and,
// in the profile row of dbOptionBT.mdb, the service charge, the rounding of a bill's tax and
// the invoice number.
struct TaxSettings {
    RateTable rates;
    double serviceFee = 0; // percent, a whole number
    Rounding rounding = Rounding::HalfEven;
    QString invoiceNo; // "T" + 13 digits; empty: no qualified invoices
    LevyTable levies;  // the bathing and accommodation taxes (LevyRules, LevyBands)

    // Reads them from dbOptionBT.mdb (desk::DbError on failure; no profile row reads the
    // defaults).
    static TaxSettings read(const std::shared_ptr<desk::Connection>& option);
    // Opens dbOptionBT.mdb of a data directory for the read.
    static TaxSettings readFrom(const QString& dirPath);
};

// Why the rate table may not become `changed`, in the clerk's words; empty when it may.
// A period that has begun by `today` keeps its rates while slips dated in it exist
// (sales is BTSales.mdb). A row may be added or changed for a day still to come.
QString rateChangeRefusal(const RateTable& saved, const RateTable& changed, const QDate& today,
                          desk::Connection& sales);
// Why the levy rules may not become `changed`, in the clerk's words; empty when they may.
// A levy's period that has begun by `today` keeps its rule while stays checked out in it
// exist (clients is DaySalesCliants.mdb): a bill printed again must come out as it did.
QString levyChangeRefusal(const LevyTable& saved, const LevyTable& changed, const QDate& today,
                          desk::Connection& clients);

// Replaces the rows of TaxRates with the table's (inside the caller's transaction, when
// there is one).
void writeRates(desk::Connection& option, const RateTable& rates);

// Replaces the rows of LevyRules and LevyBands with the table's (inside the caller's
// transaction, when there is one).
void writeLevies(desk::Connection& option, const LevyTable& levies);

// What is missing from a rate table for the inn's bills, in the clerk's words (deskadmin
// check): no rate in force on a slip's day, or none today. Empty when nothing is.
QStringList missingRates(const RateTable& rates, const QDate& today, desk::Connection& sales);

// What the levies lack to be charged, in the clerk's words (deskadmin check): levies are set
// but no commodity has a room share, so no stay bears them. Empty when nothing is.
QStringList missingRoomShares(const LevyTable& levies, desk::Connection& sales);

} // namespace taxsvc
