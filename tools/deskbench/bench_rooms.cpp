// The rooms' look-ups and moves as the booking window and the room rack run them, on the
// store: each call opens its own connections.
#include "Bench.h"

#include "roomsvc/RoomStore.h"

#include <stdexcept>

using deskbench::Context;
using namespace Qt::StringLiterals;

// The rooms free for two guests for two nights a week from today, as the booking window lists
// them.
BENCH_CASE({
    .name = u"roomsvc: free rooms for a reservation"_s,
    .run =
        [](const Context& c) {
            deskbench::keep(int(roomsvc::RoomStore(c.dir).freeRooms(c.today.addDays(7), 2, 2).size()));
        },
});

// A stay of today moved to a room free for its nights and back: each move read, checked
// against the other stays of the room and saved in one transaction (two moves per run).
BENCH_CASE({
    .name = u"roomsvc: move a stay (checked and saved), there and back"_s,
    .setup =
        [](Context& c) {
            const roomsvc::RoomStore store(c.dir);
            for (const roomsvc::RoomStay& stay : store.staysBetween(c.today, c.today)) {
                if (stay.room.isEmpty())
                    continue;
                const QList<roomsvc::Room> free = store.freeRooms(stay.firstNight, stay.nights);
                if (free.isEmpty())
                    continue;
                c.values[u"rooms/stay"_s] = stay.id;
                c.values[u"rooms/checkIn"_s] = stay.checkInNo;
                c.values[u"rooms/to"_s] = free.constFirst().code;
                return;
            }
            throw std::runtime_error("no stay of today to move");
        },
    .run =
        [](const Context& c) {
            const roomsvc::RoomStore store(c.dir);
            QList<roomsvc::RoomStay> stays = store.staysOfCheckIn(c.values.value(u"rooms/checkIn"_s).toString());
            const qint64 id = c.values.value(u"rooms/stay"_s).toLongLong();
            stays.removeIf([&](const roomsvc::RoomStay& s) { return s.id != id; });
            if (stays.isEmpty())
                throw std::runtime_error("the stay is gone");
            const QString from = stays.first().room;
            stays.first().room = c.values.value(u"rooms/to"_s).toString();
            if (!store.save(stays).isEmpty())
                throw std::runtime_error("the move was refused");
            stays.first().room = from;
            if (!store.save(stays).isEmpty())
                throw std::runtime_error("the move back was refused");
        },
});
