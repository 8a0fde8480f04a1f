#pragma once

#include <QString>

namespace deskbench {

// Several desks saving at once, each its own connection and store as a desk program has.
struct DesksResult {
    int desks = 0;
    int saves = 0;        // saves that landed
    int retried = 0;      // numbers another desk took first, saved again under the next
    int lost = 0;         // saves missing afterwards
    int duplicated = 0;   // numbers found more than once
    double seconds = 0;   // from the first save to the last
    double slowestMs = 0; // the slowest single save
    QString failure;      // a desk that stopped, with the clerk's message
};

// `desks` desks each save `saves` bookings under the next free number at the same time; the
// bookings are counted afterwards and deleted again.
DesksResult saveAtOnce(const QString& dataDir, int desks, int saves);

} // namespace deskbench
