#include "CodeTableReport.h"

namespace desk {

namespace {

ReportColumns named(const CodeTableReportSetup& setup) {
    ReportColumns columns = setup.columns;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const int number = setup.controlNumbers.isEmpty() ? int(i) + 1 : setup.controlNumbers.value(i);
        if (columns[i].headingName.isEmpty())
            columns[i].headingName = QStringLiteral("Label%1").arg(number);
        if (columns[i].fieldName.isEmpty())
            columns[i].fieldName = QStringLiteral("Text%1").arg(number);
    }
    return columns;
}

} // namespace

CodeTableReport::CodeTableReport(const CodeTableReportSetup& setup, const QString& dirPath,
                                 const CompanyProfile& profile, QObject* parent)
    : ColumnReport(setup.title, named(setup), setup.frame, parent) {
    openDataSource(dirPath, QLatin1String(setup.file), setup.source);
    if (setup.frame.company == ColumnReportFrame::Company::Profile)
        setCompanyLabels(profile, setup.companyStyle);
    else
        setCompany(profile);
}

} // namespace desk
