#include "DRSKubun.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace goodsclassapp {

namespace {

desk::ReportColumns classColumns() {
    desk::ReportColumns list{{u"商品区分コード"_s, u"CclassCode"_s, 40}, {u"商品区分名"_s, u"CclassName"_s, 0}};
    for (qsizetype i = 0; i < list.size(); ++i) {
        list[i].headingName = u"Label%1"_s.arg(i + 1);
        list[i].fieldName = u"Text%1"_s.arg(i + 1);
    }
    return list;
}

desk::ColumnReportFrame classFrame() {
    desk::ColumnReportFrame f;
    f.titleName = u"Label9"_s;
    f.printDateName = u"Label4"_s;
    f.pageNumberName = u"Label3"_s;
    return f;
}

} // namespace

DRSKubun::DRSKubun(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::ColumnReport(u"商品区分一覧票"_s, classColumns(), classFrame(), parent) {
    openDataSource(dirPath, QLatin1String(desk::DbFile::Sales), u"CommodityClasify"_s);
    setCompanyLabels(profile, desk::CompanyLabelStyle::classList());
}

} // namespace goodsclassapp
