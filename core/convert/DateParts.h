#pragma once

#include <QString>

#include <optional>

// The rules a typed date part must pass when the clerk leaves its box, beside strictDate
// (Convert.h), which builds the date once all three parts are in.
namespace desk::convert {

// Why a part is refused: the message and its box title (empty for the month, which the
// date input has always shown untitled).
struct PartRefusal {
    QString text;
    QString title;
};

// yearMode 0: four digits; 1: two digits; anything else: not checked.
std::optional<PartRefusal> yearRefusal(const QString& year, int yearMode);
// A month from 1 to 12, read as its leading number ("4月" is April).
std::optional<PartRefusal> monthRefusal(const QString& month);
// A day no larger than the month allows. The month is taken as written: "04" names no
// month here, and then the day passes; February of a common year allows 28.
std::optional<PartRefusal> dayRefusal(const QString& year, const QString& month, const QString& day);

} // namespace desk::convert
