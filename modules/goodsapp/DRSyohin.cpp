#include "DRSyohin.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Sql.h"
#include "taxsvc/TaxRules.h"

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

// The commodity list with how each commodity is taxed: its class by name and "○" where the
// service charge applies.
QString listStatement() {
    QString taxClass = u"CASE m.CTaxClass"_s;
    for (const auto c : {taxsvc::TaxClass::Reduced, taxsvc::TaxClass::Exempt})
        taxClass += u" WHEN %1 THEN %2"_s.arg(static_cast<int>(c)).arg(desk::Sql::quote(taxsvc::taxClassName(c)));
    taxClass += u" ELSE %1 END"_s.arg(desk::Sql::quote(taxsvc::taxClassName(taxsvc::TaxClass::Standard)));
    return u"SELECT c.*, %1 AS CTaxClassName, CASE WHEN m.CService <> 0 THEN '○' ELSE '' END AS CServiceMark "
           "FROM CodeTable c LEFT JOIN Commodities m ON m.Ccode = c.Ccode ORDER BY c.Ccode"_s.arg(taxClass);
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
    openDataSource(dirPath, QLatin1String(desk::DbFile::Sales), listStatement());
    setCompany(profile);
}

} // namespace goodsapp
