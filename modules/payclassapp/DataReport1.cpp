#include "DataReport1.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace payclassapp {

namespace {

desk::ReportColumns classColumns() {
    desk::ReportColumns list{{u"区分コード"_s, u"RptClassCode"_s, 30}, {u"入金区分名"_s, u"RptClassName"_s, 0}};
    for (int i = 0; i < list.size(); ++i) {
        list[i].headingName = u"Label%1"_s.arg(i + 1);
        list[i].fieldName = u"Text%1"_s.arg(i + 1);
    }
    return list;
}

desk::ColumnReportFrame classFrame() {
    desk::ColumnReportFrame f;
    f.titleName = u"Label3"_s;
    f.printDateName.clear();
    f.pageNumberName.clear();
    return f;
}

} // namespace

DataReport1::DataReport1(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::ColumnReport(u"入金区分一覧票"_s, classColumns(), classFrame(), parent) {
    openDataSource(dirPath, QLatin1String(desk::DbFile::Recipt), u"ReciptClass"_s);
    setCompany(profile);
}

} // namespace payclassapp
