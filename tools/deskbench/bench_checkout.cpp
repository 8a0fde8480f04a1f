// The check-out module as its windows call the stores: the guest found by number, the
// statement emptied and rebuilt in one transaction, the bill's rows read back, and the
// check-out mark written when the bill has printed.
#include "Bench.h"
#include "BenchData.h"

#include "arrivalsvc/CheckInClass.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "departsvc/CheckOutClass.h"

#include <stdexcept>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

// A guest of 40 sales lines at two rates on 4 slips and 3 payments, checked in and already
// gone (a bill printed again writes the same mark); added once above the highest numbers.
const QString Guest = u"BENCH-CO40R"_s;
constexpr int StatementRows = 40 + 4 + 3 + 2;

std::shared_ptr<desk::Connection> open(const Context& c, const char* file) {
    return desk::Connection::open(c.dir, QString::fromLatin1(file));
}

void addGuest(const Context& c) {
    {
        arrivalsvc::CheckInClass store;
        store.setDirPath(c.dir);
        store.CntDB();
        if (store.CheckInNoCheck(Guest).isEmpty()) {
            store.setCheckInNO(Guest);
            store.setCheckInDate(c.today.addDays(-2));
            store.setCheckInName(u"ベンチ 太郎"_s);
            store.setCheckInRoomNo(u"201"_s);
            store.setQuantity(2);
            store.Msave();
            store.setCheckInNO2(Guest);
            store.CheckOut();
        }
    }

    deskbench::addStatementSlips(c.dir, Guest, c.today, true);
}

} // namespace

// 計算実行 and 発行: one builder empties this desk's statement and builds it anew in one
// transaction.
BENCH_CASE({
    .name = u"Check-out: statement as computed, 40 lines at two rates and 3 payments"_s,
    .setup = [](Context& c) { addGuest(c); },
    .run =
        [](const Context& c) {
            departsvc::CheckOutClass builder;
            builder.setDirPath(c.dir);
            builder.CntDb();
            desk::Transaction transaction(builder.connection());
            builder.RsTempDelete();
            builder.setCheckInNO(Guest);
            builder.setChkOutDate(c.today);
            builder.CheckOut();
            transaction.commit();
        },
});

// The bill's own row set: the amount from the last row, then every row in order.
BENCH_CASE({
    .name = u"Check-out: the bill's rows read back"_s,
    .setup = [](Context& c) { addGuest(c); },
    .run =
        [](const Context& c) {
            desk::RowSet rows(open(c, desk::DbFile::Option), u"CheckOutTemp"_s);
            rows.moveLast();
            deskbench::keep(rows.value(u"SlSubTotal"_s));
            int count = 0;
            for (rows.moveFirst(); !rows.eof(); rows.moveNext(), ++count)
                deskbench::keep(rows.value(u"Slcmname"_s));
            if (count < StatementRows)
                throw std::runtime_error("the statement has not the expected rows");
        },
});

// The guest found by number on the check-out screen.
BENCH_CASE({
    .name = u"Check-out: guest look-up by number"_s,
    .setup = [](Context& c) { addGuest(c); },
    .run =
        [](const Context& c) {
            arrivalsvc::CheckInClass store;
            store.setDirPath(c.dir);
            store.CntDB();
            store.setCheckInNO(Guest);
            store.EDsearch();
            if (store.CheckInNO() != Guest)
                throw std::runtime_error("the guest was not found");
        },
});

// The mark the bill writes once it has printed.
BENCH_CASE({
    .name = u"Check-out: mark written after the print"_s,
    .setup = [](Context& c) { addGuest(c); },
    .run =
        [](const Context& c) {
            arrivalsvc::CheckInClass store;
            store.setDirPath(c.dir);
            store.CntDB();
            store.setCheckInNO2(Guest);
            store.CheckOut();
        },
});
