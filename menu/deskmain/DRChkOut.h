#pragma once

#include "report/ColumnReport.h"

namespace deskmain {

// 未チェックアウト一覧: the guests in the house, with the inn's profile on every page.
// Reads its own rows when created.
class DRChkOut : public desk::ColumnReport {
    Q_OBJECT

public:
    DRChkOut(const QString& dataDir, const desk::CompanyProfile& profile, QObject* parent = nullptr);
};

} // namespace deskmain
