#include "DRRireki.h"

#include "arrivalsvc/CheckInDesk.h"
#include "convert/Convert.h"
#include "data/RowSet.h"

using namespace Qt::StringLiterals;

namespace bookingapp {

namespace {

// Headings and fields side by side, each field under the heading of its meaning.
desk::ReportColumns historyColumns() {
    const QString amount = desk::convert::AmountFormat;
    desk::ReportColumns list{
        {u"番号"_s, u"checkinno"_s, 18},        {u"利用日"_s, u"CheckInDate"_s, 22},
        {u"名前"_s, u"CheckInName"_s, 30},      {u"部屋"_s, u"CheckInRoomNo"_s, 16},
        {u"利用者名"_s, u"CheckInCname"_s, 30}, {u"人数"_s, u"CheckInCliants"_s, 12, amount},
        {u"予算"_s, u"RvBadget"_s, 20, amount}, {u"備考"_s, u"CheckInRemarks"_s, 0},
    };
    const int fields[] = {1, 2, 5, 3, 4, 6, 7, 8};
    for (int i = 0; i < list.size(); ++i) {
        list[i].headingName = u"Label%1"_s.arg(i + 2);
        list[i].fieldName = u"Text%1"_s.arg(fields[i]);
    }
    return list;
}

desk::ColumnReportFrame historyFrame() {
    desk::ColumnReportFrame f;
    f.titleName = u"Label1"_s;
    f.printDateName.clear();
    f.pageNumberName = u"Label24"_s;
    return f;
}

} // namespace

DRRireki::DRRireki(const QString& dirPath, const arrivalsvc::StaySearch& search, const desk::CompanyProfile& profile,
                   QObject* parent)
    : desk::ColumnReport(u"利用履歴一覧票"_s, historyColumns(), historyFrame(), parent) {
    setDataSource(arrivalsvc::CheckInDesk(dirPath).history(search));
    setCompany(profile);
}

} // namespace bookingapp
