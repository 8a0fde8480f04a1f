#pragma once

#include "codelist/CodeTable.h"

#include <QVariantList>

#include <optional>

namespace roomsvc {

// The rooms (Rooms in the option file) as a code table for their master window: code, name,
// type (a RoomTypes name), capacity, fewest guests, floor, sort order, in service, to check,
// note.
desk::CodeTableDef roomTable();
desk::CodeTable roomCodes(const QString& dirPath);
// The room types (RoomTypes): code and name.
desk::CodeTableDef roomTypeTable();
desk::CodeTable roomTypes(const QString& dirPath);

// A room's record as roomTable() orders it, checked by the inn's rules: capacity and fewest
// guests from 1 to 99, the fewest no more than the capacity. The refusal, and the column (its
// index in the record) it is about; nothing when the record passes.
struct RoomRefusal {
    QString text;
    int column = 0;
};
std::optional<RoomRefusal> checkRoom(const QVariantList& record);

} // namespace roomsvc
