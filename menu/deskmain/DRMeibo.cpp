#include "DRMeibo.h"

#include "arrivalsvc/CheckInClass.h"
#include "data/RowSet.h"

using namespace Qt::StringLiterals;

namespace deskmain {

desk::ReportColumns DRMeibo::registerColumns() {
    desk::ReportColumns columns{
        {u"チェックイン日"_s, u"CheckInDate"_s, 24},
        {u"泊数"_s, u"Nights"_s, 10},
        {u"部屋"_s, u"CheckInRoomNo"_s, 14},
        {u"氏名"_s, u"GuestName"_s, 40},
        {u"住所"_s, u"GuestAdrs"_s, 90},
        {u"電話番号"_s, u"GuestTelNo"_s, 30},
        {u"国籍"_s, u"Nationality"_s, 22},
        {u"旅券番号"_s, u"PassportNo"_s, 26},
    };
    columns[1].alignment = Qt::AlignRight | Qt::AlignVCenter;
    return columns;
}

DRMeibo::DRMeibo(const QString& dataDir, const desk::CompanyProfile& profile, const QDate& first, const QDate& last,
                 QObject* parent)
    : desk::ColumnReport(
          u"宿泊者名簿"_s, registerColumns(),
          [] {
              desk::ColumnReportFrame f;
              f.subTitle = desk::ColumnReportFrame::SubTitle::Period;
              f.periodCaptions = QStringList{u"チェックイン日"_s, u"～"_s};
              return f;
          }(),
          parent) {
    arrivalsvc::CheckInClass store;
    store.setDirPath(dataDir);
    store.CntDB();
    setDataSource(store.RsGuestRegister(first, last));
    setCompany(profile);
    setPeriod(first, last);
    setFileName(numberedFileName(u"宿泊者名簿"_s, {}, first, last));
}

} // namespace deskmain
