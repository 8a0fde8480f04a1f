#include "PaymentClassReport.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace payclassapp {

namespace {

desk::CodeTableReportSetup classList() {
    desk::CodeTableReportSetup setup{
        u"入金区分一覧票"_s,
        desk::DbFile::Recipt,
        u"ReciptClass"_s,
        {{u"区分コード"_s, u"RptClassCode"_s, 30}, {u"入金区分名"_s, u"RptClassName"_s, 0}}};
    setup.frame.titleName = u"Label3"_s;
    setup.frame.printDateName.clear();
    setup.frame.pageNumberName.clear();
    return setup;
}

} // namespace

DataReport1::DataReport1(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::CodeTableReport(classList(), dirPath, profile, parent) {}

} // namespace payclassapp
