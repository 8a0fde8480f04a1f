// The editable data grid as the sales window uses it: opened over the desk's lines of the
// work table, one cell written back. The lines belong to a desk of their own, so the
// stores' cases of other desks never see them.

#include "Bench.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "ui/DataGridModel.h"

#include <memory>
#include <stdexcept>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

const QByteArray BenchDesk = "deskbench-grid";

// The desk name for the span of a setup or run, the previous one restored afterwards.
class AtBenchDesk {
public:
    AtBenchDesk()
        : m_had(qEnvironmentVariableIsSet("TESARO_DESK"))
        , m_previous(qgetenv("TESARO_DESK")) {
        qputenv("TESARO_DESK", BenchDesk);
    }
    ~AtBenchDesk() {
        if (m_had)
            qputenv("TESARO_DESK", m_previous);
        else
            qunsetenv("TESARO_DESK");
    }
    AtBenchDesk(const AtBenchDesk&) = delete;
    AtBenchDesk& operator=(const AtBenchDesk&) = delete;

private:
    bool m_had;
    QByteArray m_previous;
};

desk::GridColumns salesColumns() {
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const QString amount = desk::convert::AmountFormat;
    return {
        {u"コード"_s, u"BTCmCode"_s, 60, left, {}, true},
        {u"     商品名"_s, u"BTCMname"_s, 140, left, {}, true},
        {u"    摘要"_s, u"BTSpec"_s, 100, left, {}, true},
        {u" 数量"_s, u"BTQuantity"_s, 50, right, amount, true},
        {u" 単価"_s, u"BTUnitprice"_s, 70, right, amount, true},
        {u"   小計"_s, u"BTSubtotal1"_s, 80, right, amount, false},
        {u"  サ料"_s, u"BTServicefee"_s, 50, right, amount, true},
        {u" 消費税"_s, u"BTSalestax"_s, 50, right, amount, true},
        {u"    合計"_s, u"BTSubtotal2"_s, 80, right, amount, false},
    };
}

// Replaces the bench desk's lines by `lines` new ones, written through a grid as the
// clerk's typing would write them.
void putLines(const Context& c, int lines) {
    AtBenchDesk desk;
    const auto connection = desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales));
    desk::DataGridModel model;
    model.open(connection, u"BTTempSalesDetail"_s, salesColumns());
    desk::Transaction transaction(*connection);
    while (model.lineCount() > 0)
        model.removeLine(model.lineCount() - 1);
    for (int i = 0; i < lines; ++i)
        model.setRowValues(i,
                           {{0, u"301"_s}, {1, u"ビール"_s}, {3, 2}, {4, 650}, {5, 1300}, {6, 10}, {7, 10}, {8, 1573}});
    transaction.commit();
}

// What the window shows first: the rows counted and the visible lines read.
void openAndShow(const Context& c, int expected) {
    AtBenchDesk desk;
    desk::DataGridModel model;
    model.open(desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales)), u"BTTempSalesDetail"_s,
               salesColumns());
    if (model.lineCount() != expected)
        throw std::runtime_error("the grid does not show the desk's lines");
    for (int row = 0; row < std::min(expected, 25); ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            deskbench::keep(model.data(model.index(row, column)));
}

std::unique_ptr<desk::DataGridModel>& openGrid() {
    static std::unique_ptr<desk::DataGridModel> model;
    return model;
}

} // namespace

BENCH_CASE({
    .name = u"Data grid: open over a 40-line slip"_s,
    .setup = [](Context& c) { putLines(c, 40); },
    .run = [](const Context& c) { openAndShow(c, 40); },
});

BENCH_CASE({
    .name = u"Data grid: open over a 1,000-line slip"_s,
    .setup = [](Context& c) { putLines(c, 1000); },
    .run = [](const Context& c) { openAndShow(c, 1000); },
});

// A quantity typed into the middle line of a 40-line slip: one update, one synced commit.
BENCH_CASE({
    .name = u"Data grid: one cell written back"_s,
    .setup =
        [](Context& c) {
            putLines(c, 40);
            AtBenchDesk desk;
            openGrid() = std::make_unique<desk::DataGridModel>();
            openGrid()->open(desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales)),
                             u"BTTempSalesDetail"_s, salesColumns());
        },
    .run =
        [](const Context&) {
            AtBenchDesk desk;
            desk::DataGridModel& model = *openGrid();
            const int quantity = model.cellValue(20, 3).toInt() % 9 + 1;
            model.setCellValue(20, 3, u"%1"_s.arg(quantity));
        },
});
