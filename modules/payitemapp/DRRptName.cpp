#include "DRRptName.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace payitemapp {

namespace {

desk::ReportColumns itemColumns() {
    desk::ReportColumns list{
        {u"コード"_s, u"RptCode"_s, 20},    {u"入金項目名"_s, u"RptName"_s, 50},  {u"摘要１"_s, u"RptRemarks1"_s, 0},
        {u"摘要２"_s, u"RptRemarks2"_s, 0}, {u"区分名"_s, u"Rptclassname"_s, 35},
    };
    const int numbers[] = {1, 2, 3, 4, 7};
    for (int i = 0; i < list.size(); ++i) {
        list[i].headingName = u"Label%1"_s.arg(numbers[i]);
        list[i].fieldName = u"Text%1"_s.arg(numbers[i]);
    }
    return list;
}

desk::ColumnReportFrame itemFrame() {
    desk::ColumnReportFrame f;
    f.titleName = u"Label9"_s;
    f.printDateName.clear();
    f.pageNumberName = u"Label8"_s;
    return f;
}

} // namespace

DRRptName::DRRptName(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::ColumnReport(u"入金コード一覧票"_s, itemColumns(), itemFrame(), parent) {
    openDataSource(dirPath, QLatin1String(desk::DbFile::Recipt), u"QRYRptCodeTbl"_s);
    setCompany(profile);
}

} // namespace payitemapp
