#pragma once

#include <QDate>
#include <QString>

// Japanese public holidays, worked out from the rules of the holiday law rather than kept as
// a list, so the calendar needs no yearly update: fixed days, the Monday holidays, the
// equinoxes, substitute holidays, the day between two holidays and the one-off days.
namespace desk::convert {

// The holiday's name ("元日", "振替休日", "国民の休日" …), or empty on a working day and
// before the law took effect (1948-07-20). The equinoxes come from the astronomical
// approximation valid for 1900–2099; later years have none.
QString holidayName(const QDate& date);

inline bool isHoliday(const QDate& date) {
    return !holidayName(date).isEmpty();
}

} // namespace desk::convert
