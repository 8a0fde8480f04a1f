#pragma once

#include "report/ReportDocument.h"
#include "roomrack/RoomRackModel.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

namespace rackapp {

// What the one-day list prints of a stay beyond the rack's own values, by stay id.
struct StayNotes {
    QString arrivalTime; // "15:00" as booked
    QString remarks;
};

// The printed papers of the rack, composed as report documents (what the preview shows,
// prints and exports, and tests read):
//
// - rackSheet: 部屋割表, the rack for a period on A3 landscape. Rooms down under their
//   floors with the "未割当" lanes on top, nights across with Saturdays, Sundays and
//   holidays named in the heading and today framed; each stay a framed bar with guest,
//   guests and plan (in the house: a heavy frame; checked out: a light one); a room out of
//   service says so across its row. Rooms that do not fit a page go on to the next, under
//   the same heading.
// - dayList: 本日の部屋割, one night on A4: every room in the rack's order with the party
//   sleeping there (guest, guests, arrival time, plan, remarks), then the parties without
//   a room.
//
// Both carry the inn's name, the print date and "page / pages".
desk::ReportDocument rackSheet(const QList<roomrack::RackRoom>& rooms, const QList<roomrack::RackStay>& stays,
                               const QDate& firstDay, int days, const QString& innName, const QDate& printDate);
desk::ReportDocument dayList(const QList<roomrack::RackRoom>& rooms, const QList<roomrack::RackStay>& stays,
                             const QHash<qint64, StayNotes>& notes, const QDate& night, const QString& innName,
                             const QDate& printDate);

} // namespace rackapp
