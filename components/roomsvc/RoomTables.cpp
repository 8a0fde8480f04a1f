#include "RoomTables.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace roomsvc {

desk::CodeTableDef roomTable() {
    using F = desk::CodeField;
    return {desk::DbFile::Option,
            u"Rooms"_s,
            u"客室"_s,
            {{u"RoomCode"_s},
             {u"RoomName"_s},
             {u"RoomType"_s},
             {u"Capacity"_s, F::Int16},
             {u"MinGuests"_s, F::Int16},
             {u"Floor"_s},
             {u"SortOrder"_s, F::Int32},
             {u"InService"_s, F::Flag},
             {u"ToCheck"_s, F::Flag},
             {u"RoomNote"_s}}};
}

desk::CodeTable roomCodes(const QString& dirPath) {
    return desk::CodeTable(roomTable(), dirPath);
}

desk::CodeTableDef roomTypeTable() {
    return {desk::DbFile::Option, u"RoomTypes"_s, u"客室の種別"_s, {{u"RoomTypeCode"_s}, {u"RoomTypeName"_s}}};
}

desk::CodeTable roomTypes(const QString& dirPath) {
    return desk::CodeTable(roomTypeTable(), dirPath);
}

std::optional<RoomRefusal> checkRoom(const QVariantList& record) {
    const int capacity = record.value(3).toInt();
    const int fewest = record.value(4).toInt();
    if (capacity < 1 || capacity > 99)
        return RoomRefusal{u"定員は 1 から 99 までで入力してください。"_s, 3};
    if (fewest < 1 || fewest > 99)
        return RoomRefusal{u"最少人数は 1 から 99 までで入力してください。"_s, 4};
    if (fewest > capacity)
        return RoomRefusal{u"最少人数は定員以下にしてください。"_s, 4};
    return std::nullopt;
}

} // namespace roomsvc
