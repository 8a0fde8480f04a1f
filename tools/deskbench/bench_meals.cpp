// The kitchen's meal counts (食数表) of a day as the window reads them.

#include "Bench.h"

#include "data/Connection.h"
#include "tallysvc/MealSheet.h"

#include <stdexcept>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

// The generated inn knows no plans: the stay plans get their meals, and the parties of the
// last week (reservations and check-ins) a plan each, a child now and then and a note. Only
// the rows around the last day are touched, and a second run writes the same values.
void givePlans(const Context& c) {
    const QString from = c.today.addDays(-7).toString(Qt::ISODate);
    const auto sales = desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales));
    sales->exec(u"UPDATE Commodities SET CMealDinner = 1, CMealBreakfast = 1 WHERE Ccode = '101'"_s);
    sales->exec(u"UPDATE Commodities SET CMealBreakfast = 1 WHERE Ccode = '102'"_s);
    const auto reservations = desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Reservation));
    reservations->exec(u"UPDATE Reserve SET RvPlan = CASE WHEN RvNo % 3 = 0 THEN '102' ELSE '101' END, "
                       u"RvChildren = CASE WHEN RvNo % 4 = 0 AND RvClNumber > 1 THEN 1 ELSE 0 END, "
                       u"RvNights = 1 + RvNo % 2, RvMealNote = CASE WHEN RvNo % 5 = 0 THEN 'そばアレルギー' "
                       u"ELSE '' END WHERE RvUseDate >= ?"_s,
                       {from});
    const auto clients = desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    clients->exec(u"UPDATE CheckInCliants SET CheckInPlan = '101', CheckInNights = 2, CheckInMealNote = '部屋食' "
                  u"WHERE CheckInDate >= ?"_s,
                  {from});
}

} // namespace

BENCH_CASE({
    .name = u"Meals: the counts of a day (食数表)"_s,
    .setup = [](Context& c) { givePlans(c); },
    .run =
        [](const Context& c) {
            const tallysvc::MealDay day = tallysvc::MealSheet(c.dir, c.today).day(c.today);
            if (day.parties.isEmpty())
                throw std::runtime_error("the day has no party");
            deskbench::keep(day.total.dinners() + day.total.breakfasts());
        },
});
