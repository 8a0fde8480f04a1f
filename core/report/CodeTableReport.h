#pragma once

#include "report/ColumnReport.h"
#include "report/CompanyLabels.h"

#include <QList>

namespace desk {

// The list report of a code table, as its design names it: the title, the source (a table,
// saved query or statement of one file), the columns with the numbers of their heading and
// field controls (Label<n> and Text<n>; 1, 2, 3 … when none are given), where the title,
// print date and page number sit, and how the company labels are filled.
struct CodeTableReportSetup {
    QString title;
    const char* file = nullptr; // one of desk::DbFile
    QString source;
    ReportColumns columns;
    QList<int> controlNumbers = {};
    ColumnReportFrame frame = {};
    CompanyLabelStyle companyStyle = CompanyLabelStyle::standard();
};

// Opens its own row set on the setup's source, so each showing lists the rows as they stand.
class CodeTableReport : public ColumnReport {
    Q_OBJECT

public:
    CodeTableReport(const CodeTableReportSetup& setup, const QString& dirPath, const CompanyProfile& profile,
                    QObject* parent = nullptr);
};

} // namespace desk
