#include "DRChkOut.h"

#include "arrivalsvc/CheckInDesk.h"
#include "data/RowSet.h"

using namespace Qt::StringLiterals;

namespace deskmain {

namespace {

desk::ReportColumns guestColumns() {
    desk::ReportColumns list{
        {u"イン番号"_s, u"CheckInNo"_s, 25},     {u"イン日付"_s, u"CheckInDate"_s, 25},
        {u"部屋番号"_s, u"CheckiNroomNo"_s, 21}, {u"グループ名"_s, u"CheckInGroupe"_s, 51},
        {u"お客様名"_s, u"CheckInName"_s, 53},   {u"人数"_s, u"CheckInCliants"_s, 15},
    };
    const QStringList headings{u"Label7"_s, u"Label8"_s, u"Label9"_s, u"Label10"_s, u"Label3"_s, u"Label4"_s};
    const QStringList fields{u"Text1"_s, u"Text3"_s, u"Text5"_s, u"Text6"_s, u"Text2"_s, u"Text4"_s};
    for (int i = 0; i < list.size(); ++i) {
        list[i].headingName = headings[i];
        list[i].fieldName = fields[i];
    }
    list.last().alignment = Qt::AlignRight | Qt::AlignVCenter;
    return list;
}

desk::ColumnReportFrame guestFrame() {
    desk::ColumnReportFrame f;
    f.titleName = u"Label1"_s;
    f.printDateName = u"Label2"_s;
    // Its design has a rule at the foot of the page and no page number.
    f.pageNumberName.clear();
    return f;
}

} // namespace

DRChkOut::DRChkOut(const QString& dataDir, const desk::CompanyProfile& profile, QObject* parent)
    : desk::ColumnReport(u"未チェックアウト一覧"_s, guestColumns(), guestFrame(), parent) {
    setDataSource(arrivalsvc::CheckInDesk(dataDir).inHouse());
    setCompany(profile);
}

} // namespace deskmain
