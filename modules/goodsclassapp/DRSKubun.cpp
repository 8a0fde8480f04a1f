#include "DRSKubun.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace goodsclassapp {

namespace {

desk::CodeTableReportSetup classList() {
    desk::CodeTableReportSetup setup{
        u"商品区分一覧票"_s,
        desk::DbFile::Sales,
        u"CommodityClasify"_s,
        {{u"商品区分コード"_s, u"CclassCode"_s, 40}, {u"商品区分名"_s, u"CclassName"_s, 0}}};
    setup.frame.titleName = u"Label9"_s;
    setup.frame.printDateName = u"Label4"_s;
    setup.frame.pageNumberName = u"Label3"_s;
    setup.companyStyle = desk::CompanyLabelStyle::classList();
    return setup;
}

} // namespace

DRSKubun::DRSKubun(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::CodeTableReport(classList(), dirPath, profile, parent) {}

} // namespace goodsclassapp
