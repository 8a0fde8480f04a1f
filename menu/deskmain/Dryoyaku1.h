#pragma once

#include "report/Report.h"

namespace deskmain {

// 本日予約一覧表: today's reservations with the inn's profile on every page. Reads its
// own rows when created.
class Dryoyaku1 : public desk::Report {
    Q_OBJECT

public:
    // todayText: today as "2002/3/1", as the main window keeps it.
    Dryoyaku1(const QString& dataDir, const desk::CompanyProfile& profile, const QString& todayText,
              QObject* parent = nullptr);
};

} // namespace deskmain
