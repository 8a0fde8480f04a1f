#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <utility>

namespace arrivalsvc {

// A search of a guest's earlier stays: by name or by telephone number, optionally within
// a period of check-in dates.
struct StaySearch {
    enum class By { Name, TelNo };
    By by = By::Name;
    QString text;
    std::optional<std::pair<QDate, QDate>> period;

    // The condition over QRYCliantsDaySale, every text quoted.
    QString condition() const;

    bool operator==(const StaySearch&) const = default;
};

} // namespace arrivalsvc
