#pragma once

#include "arrivalsvc/StaySearch.h"
#include "report/ColumnReport.h"

namespace bookingapp {

// "利用履歴一覧票": the stays found by a usage-history search, one line each, under the
// inn's profile. Runs the search again on a row set of its own, so it lists what the search
// listed even after the screen's list was cleared.
class DRRireki : public desk::ColumnReport {
    Q_OBJECT

public:
    DRRireki(const QString& dirPath, const arrivalsvc::StaySearch& search, const desk::CompanyProfile& profile,
             QObject* parent = nullptr);
};

} // namespace bookingapp
