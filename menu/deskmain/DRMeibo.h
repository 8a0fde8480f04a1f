#pragma once

#include "report/ColumnReport.h"

#include <QDate>

namespace deskmain {

// 宿泊者名簿: every guest of the parties checked in within a period, one line each, with
// the inn's profile and the period on every page. Reads its own rows when created.
class DRMeibo : public desk::ColumnReport {
    Q_OBJECT

public:
    DRMeibo(const QString& dataDir, const desk::CompanyProfile& profile, const QDate& first, const QDate& last,
            QObject* parent = nullptr);

    // The register's columns, in the order the report and the CSV file show them.
    static desk::ReportColumns registerColumns();
};

} // namespace deskmain
