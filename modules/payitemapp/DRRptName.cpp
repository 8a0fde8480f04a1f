#include "DRRptName.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace payitemapp {

namespace {

desk::CodeTableReportSetup itemList() {
    desk::CodeTableReportSetup setup{u"入金コード一覧票"_s,
                                     desk::DbFile::Recipt,
                                     u"QRYRptCodeTbl"_s,
                                     {{u"コード"_s, u"RptCode"_s, 20},
                                      {u"入金項目名"_s, u"RptName"_s, 50},
                                      {u"摘要１"_s, u"RptRemarks1"_s, 0},
                                      {u"摘要２"_s, u"RptRemarks2"_s, 0},
                                      {u"区分名"_s, u"Rptclassname"_s, 35}},
                                     {1, 2, 3, 4, 7}};
    setup.frame.titleName = u"Label9"_s;
    setup.frame.printDateName.clear();
    setup.frame.pageNumberName = u"Label8"_s;
    return setup;
}

} // namespace

DRRptName::DRRptName(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::CodeTableReport(itemList(), dirPath, profile, parent) {}

} // namespace payitemapp
