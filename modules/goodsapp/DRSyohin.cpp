#include "DRSyohin.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "goodssvc/Commodities.h"

using namespace Qt::StringLiterals;

namespace goodsapp {

namespace {

desk::ReportColumns codeColumns() {
    desk::ReportColumns list{
        {u"コード"_s, u"Ccode"_s, 20},      {u"商品名"_s, u"Cname"_s, 0},
        {u"摘要"_s, u"Cspec"_s, 36},        {u"単価"_s, u"CmPrice0"_s, 22, desk::convert::AmountFormat},
        {u"単位"_s, u"Cunit"_s, 14},        {u"区分"_s, u"Cclasify"_s, 14},
        {u"区分名"_s, u"Cclassname"_s, 30}, {u"税区分"_s, u"CTaxClassName"_s, 17},
        {u"サ"_s, u"CServiceMark"_s, 6},
    };
    for (qsizetype i = 0; i < list.size(); ++i) {
        // Label8 and Label9 are the page number and the title.
        list[i].headingName = u"Label%1"_s.arg(i < 7 ? i + 1 : i + 3);
        list[i].fieldName = u"Text%1"_s.arg(i + 1);
    }
    list.last().alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    return list;
}

desk::CodeTableReportSetup commodityList() {
    desk::CodeTableReportSetup setup{u"商品コード一覧票"_s, desk::DbFile::Sales, goodssvc::Commodities::listStatement(),
                                     codeColumns()};
    setup.frame.titleName = u"Label9"_s;
    setup.frame.pageNumberName = u"Label8"_s;
    return setup;
}

} // namespace

DRSyohin::DRSyohin(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::CodeTableReport(commodityList(), dirPath, profile, parent) {}

} // namespace goodsapp
