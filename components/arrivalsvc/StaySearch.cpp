#include "StaySearch.h"

#include "data/Sql.h"

namespace arrivalsvc {

QString StaySearch::condition() const {
    // Guest texts go in quoted: a name such as O'Brien must find its stays.
    QString condition = by == By::TelNo ? QStringLiteral("CheckInTelNo = ") + desk::Sql::quote(text)
                                        : QStringLiteral("CheckInName = ") + desk::Sql::quote(text);
    if (period) {
        condition += QStringLiteral(" AND CheckInDate BETWEEN ") + desk::Sql::dateLiteral(period->first) +
                     QStringLiteral(" AND ") + desk::Sql::dateLiteral(period->second);
    }
    return condition;
}

} // namespace arrivalsvc
