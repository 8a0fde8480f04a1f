#pragma once

#include "chargesvc/SalesSlip.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

namespace departsvc {

// The nights of a stay not yet rung up, offered at check-out as the lines of a sales slip:
// the plan of the adults and the plan of the children (the adults' when the children have
// none), each times its guests and the nights to the settlement day, less what sales lines
// of that plan already hold for the check-in.
struct NightsOffer {
    struct Line {
        chargesvc::SalesSlipLine line;
        double roomShare = 0; // the plan's, for the levies
    };
    QString checkInNo;
    QDate settledOn;
    QList<Line> lines;
    // The check-in's quantities of each plan when the offer was made: a line rung up since
    // makes the offer stale.
    QHash<QString, double> rungUp;

    bool isEmpty() const { return lines.isEmpty(); }
};

// What the check-in's stay still owes on `settledOn`; empty when it has no plan, when every
// night is rung up, or when the check-in is not on file. Failures are thrown (desk::DbError).
NightsOffer offeredNights(const QString& dirPath, const QString& checkInNo, const QDate& settledOn);

// Saves the offer as one sales slip (宿泊掛売) dated the settlement day; its number, or 0 when
// nights were rung up meanwhile and nothing was saved.
qint32 ringUpNights(const QString& dirPath, const NightsOffer& offer);

} // namespace departsvc
