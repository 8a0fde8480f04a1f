#pragma once

#include "roomrack/RoomRackModel.h"

#include <QList>

namespace roomrack {

// Rooms for the stays without one, worked out from the rooms and every other stay:
//
// - a room takes a party only if it is in service, holds the guests (capacity) and is sold
//   to that many (minimum guests); of those, the one that fits the party closest, and for
//   the parts of one party the type it started in;
// - then the fewest room changes: a party stays in one room for all its nights when any
//   fitting room is free for all of them; otherwise it is split into as few parts as the
//   free rooms allow (each part in the room free longest from where the last one ended).
//
// Parties are placed by their first night, larger parties first on a night; a party that
// cannot be placed on every night stays unassigned whole. The answer holds the stays to
// change: a placed party under its own id (room set, or its first part), further parts
// with ids 0, -1, -2 … (new stays of the same party), never a stay already in a room.
struct Assignment {
    QList<RackStay> stays;
    int placed = 0;   // parties given rooms
    int unplaced = 0; // parties left without
};

Assignment assignRooms(const QList<RackRoom>& rooms, const QList<RackStay>& stays);

} // namespace roomrack
