#include "RoomListReport.h"

#include "data/Connection.h"
#include "roomsvc/RoomStore.h"

using namespace Qt::StringLiterals;

namespace roomapp {

namespace {

desk::CodeTableReportSetup roomList() {
    return {u"客室一覧票"_s,
            desk::DbFile::Option,
            roomsvc::roomListStatement(),
            {{u"部屋番号"_s, u"RoomCode"_s, 20},
             {u"名前"_s, u"RoomName"_s, 25},
             {u"種別"_s, u"RoomType"_s, 22},
             {u"定員"_s, u"Capacity"_s, 14},
             {u"最少"_s, u"MinGuests"_s, 14},
             {u"階"_s, u"Floor"_s, 18},
             {u"状態"_s, u"Repair"_s, 18},
             {u"備考"_s, u"RoomNote"_s, 0}}};
}

} // namespace

RoomListReport::RoomListReport(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent)
    : desk::CodeTableReport(roomList(), dirPath, profile, parent) {}

} // namespace roomapp
