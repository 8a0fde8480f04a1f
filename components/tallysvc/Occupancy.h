#pragma once

#include <QDate>
#include <QString>

namespace tallysvc {

// The occupancy of the inn's rooms from first to last, night by night: 販売室数 (rooms with a
// stay that night, in the rack, whatever its state), 稼働室数 (rooms in service now: the
// master keeps no history of repairs), 客室稼働率 (sold / in service, percent with one
// decimal), 宿泊人数 (the stays' guests), 定員 (the rooms in service's capacity),
// 定員稼働率, 室料 (the room charges of the nights: each stay's lines of commodities with
// CRoomShare > 0, net of service and tax, spread evenly over its nights; a stay not rung up
// yet has none) and 平均室料 (室料 / 販売室数). A statement of literal rows, one per night,
// and a last row "期間計" for the period. desk::DbError on a failed read.
QString occupancyStatement(const QString& dirPath, const QDate& first, const QDate& last);

} // namespace tallysvc
