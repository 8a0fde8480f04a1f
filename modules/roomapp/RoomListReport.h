#pragma once

#include "report/CodeTableReport.h"

namespace roomapp {

// "客室一覧票": every room in its order with its type, capacity, fewest guests, floor, whether
// it is under repair and its note, under the inn's profile.
class RoomListReport : public desk::CodeTableReport {
    Q_OBJECT

public:
    RoomListReport(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent = nullptr);
};

} // namespace roomapp
