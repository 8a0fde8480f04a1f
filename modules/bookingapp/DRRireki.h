#pragma once

#include "report/ColumnReport.h"

namespace bookingapp {

// "利用履歴一覧票": the stays found by a usage-history search, one line each, under the
// inn's profile. Opens its own row set on DaySalesCliants.mdb with the search's condition,
// so it lists what the search listed even after the screen's list was cleared.
class DRRireki : public desk::ColumnReport {
    Q_OBJECT

public:
    DRRireki(const QString& dirPath, const QString& condition, const desk::CompanyProfile& profile,
             QObject* parent = nullptr);

    static QString query(const QString& condition);
};

} // namespace bookingapp
