// The aggregation module as its screens call it: one run of a kind (statement, result rows
// read whole, grid model filled), its CSV, and the read-only grid over a large result.

#include "Bench.h"

#include "convert/Csv.h"
#include "data/Connection.h"
#include "tallyapp/Aggregation.h"
#include "tallyapp/TallyCsv.h"
#include "tallysvc/TallyResult.h"
#include "ui/QueryGridModel.h"

#include <QTemporaryDir>

#include <iterator>
#include <memory>

#include <stdexcept>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

// Runs a kind over the days before the last generated day and fills the result grid.
void runKind(const Context& c, int kind, int days, desk::QueryGridModel& model) {
    tallysvc::TallyResult result(c.dir, kind, c.today.addDays(1 - days), c.today);
    model.setColumns(tallyapp::Aggregation::gridColumns(kind));
    model.setShowUnboundFields(false);
    model.setRows(result.rows());
    if (model.rowCount() == 0)
        throw std::runtime_error("the aggregation found nothing");
}

struct KindCases {
    KindCases() {
        static const char* const names[] = {"sales by class",     "sales by commodity class",
                                            "sales by commodity", "payments by class",
                                            "payments by item",   "guests by age",
                                            "guests by group",    "guests by use",
                                            "guests by payment",  "guests by reason",
                                            "sales by tax rate",  "levy worksheet",
                                            "occupancy"};
        static_assert(std::size(names) == tallyapp::Aggregation::KindCount, "a name for every kind");
        for (int kind = 0; kind < tallyapp::Aggregation::KindCount; ++kind) {
            for (const auto& [label, days] : {std::pair{"one month", 31}, std::pair{"one year", 365}}) {
                deskbench::cases().push_back({
                    .name = u"Tally kind %1 (%2): %3"_s.arg(kind).arg(QLatin1String(names[kind]), QLatin1String(label)),
                    .run =
                        [kind, days](const Context& c) {
                            desk::QueryGridModel model;
                            runKind(c, kind, days, model);
                            deskbench::keep(model.rowCount());
                        },
                });
            }
        }
    }
};
const KindCases kindCases;

// The commodity result of the CSV case, filled once by its setup.
std::unique_ptr<desk::QueryGridModel> csvModel;

} // namespace

BENCH_CASE({
    .name = u"Tally: CSV of a year's sales by commodity"_s,
    .setup =
        [](Context& c) {
            csvModel = std::make_unique<desk::QueryGridModel>();
            runKind(c, 2, 365, *csvModel);
        },
    .run =
        [](const Context& c) {
            QTemporaryDir dir;
            const QByteArray csv = tallyapp::tallyCsv(*csvModel, tallyapp::Aggregation::summedFields(2));
            if (!desk::csv::writeWhole(dir.filePath(u"tally.csv"_s), csv))
                throw std::runtime_error("the CSV could not be written");
        },
});

// A read-only grid over 5,000 statement rows, values bound.
BENCH_CASE({
    .name = u"Read-only grid: 5,000 rows of a saved query"_s,
    .run =
        [](const Context& c) {
            const auto connection = desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales));
            desk::QueryGridModel model(tallyapp::Aggregation::gridColumns(2));
            model.setShowUnboundFields(false);
            model.setQuery(connection,
                           u"SELECT BTCMcode, Cname, BTQuantity AS 数量計, Smallsum2 AS 売上計 FROM QRYForSyukei "
                           "WHERE BTSalesDate <= ? ORDER BY BTSalesDate DESC LIMIT 5000"_s,
                           {c.today});
            if (model.rowCount() != 5000)
                throw std::runtime_error("the grid did not get 5,000 rows");
        },
});
