// The room rack as the 部屋割表 window draws it: the rooms and the stays of 35 nights read
// through the room store, set on the rack's model, and the view laid out and painted.

#include "Bench.h"

#include "roomrack/RoomRackModel.h"
#include "roomrack/RoomRackView.h"
#include "roomsvc/RoomStore.h"

#include <QImage>
#include <QPainter>

#include <memory>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

constexpr int RackDays = 35;

// The model and the view live across the timed runs, as in the window.
struct Rack {
    roomrack::RoomRackModel model;
    roomrack::RoomRackView view;
    QImage image;
};

std::unique_ptr<Rack>& rack() {
    static std::unique_ptr<Rack> instance;
    return instance;
}

roomrack::RackStay::State rackState(roomsvc::RoomStay::State state) {
    return state == roomsvc::RoomStay::InHouse      ? roomrack::RackStay::InHouse
           : state == roomsvc::RoomStay::CheckedOut ? roomrack::RackStay::CheckedOut
                                                    : roomrack::RackStay::Reserved;
}

void draw(const Context& c) {
    Rack& r = *rack();
    const QDate first = c.today.addDays(1 - RackDays);
    const roomsvc::RoomStore store(c.dir);
    QList<roomrack::RackRoom> rooms;
    for (const roomsvc::Room& room : store.rooms())
        rooms << roomrack::RackRoom{room.code,  room.name,      room.type,     room.capacity,
                                    room.floor, room.inService, room.minGuests};
    QList<roomrack::RackStay> stays;
    for (const roomsvc::RoomStay& stay : store.staysBetween(first.addDays(-31), c.today.addDays(31)))
        stays << roomrack::RackStay{stay.id,    stay.room,   stay.firstNight, stay.nights,
                                    stay.guest, stay.guests, stay.plan,       rackState(stay.state)};
    r.model.setRooms(rooms);
    r.model.setPeriod(first, RackDays);
    r.model.setStays(stays);
    QPainter painter(&r.image);
    r.view.render(&painter);
    painter.end();
    deskbench::keep(int(r.image.pixel(r.image.width() / 2, r.image.height() / 2)));
}

} // namespace

BENCH_CASE({
    .name = u"rack: draw 30 rooms x 35 days"_s,
    .setup =
        [](Context&) {
            rack() = std::make_unique<Rack>();
            rack()->view.setModel(&rack()->model);
            // The rack as it fills a desk's screen, every room in sight.
            rack()->view.resize(1600, 1200);
            rack()->image = QImage(rack()->view.size(), QImage::Format_ARGB32_Premultiplied);
        },
    .run = draw,
});
