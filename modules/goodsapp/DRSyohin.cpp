#include "DRSyohin.h"

#include "convert/Convert.h"
#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace goodsapp {

namespace {

desk::ReportColumns codeColumns() {
    desk::ReportColumns list{
        {u"コード"_s, u"Ccode"_s, 20},      {u"商品名"_s, u"Cname"_s, 0},
        {u"摘要"_s, u"Cspec"_s, 36},        {u"単価"_s, u"CmPrice0"_s, 22, desk::convert::AmountFormat},
        {u"単位"_s, u"Cunit"_s, 14},        {u"区分"_s, u"Cclasify"_s, 14},
        {u"区分名"_s, u"Cclassname"_s, 30},
    };
    for (qsizetype i = 0; i < list.size(); ++i) {
        list[i].headingName = u"Label%1"_s.arg(i + 1);
        list[i].fieldName = u"Text%1"_s.arg(i + 1);
    }
    return list;
}

desk::ColumnReportFrame codeFrame() {
    desk::ColumnReportFrame f;
    f.titleName = u"Label9"_s;
    f.pageNumberName = u"Label8"_s;
    return f;
}

} // namespace

DRSyohin::DRSyohin(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::ColumnReport(u"商品コード一覧票"_s, codeColumns(), codeFrame(), parent) {
    openDataSource(dirPath, QLatin1String(desk::DbFile::Sales), u"CodeTable"_s);
    setCompany(profile);
}

} // namespace goodsapp
