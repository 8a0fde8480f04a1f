// The payment window's three actions as it runs them: a fresh store per action, DirPath,
// connect, the operations in one transaction where the window uses one, release. Cases
// that write undo their writes in the same timed run.
#include "Bench.h"
#include "BenchData.h"

#include "arrivalsvc/CheckInClass.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "payitemsvc/ReciptCode.h"
#include "paymentsvc/ReciptSlp.h"

#include <stdexcept>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<desk::Connection> recipt(const Context& c) {
    return desk::Connection::open(c.dir, QLatin1String(desk::DbFile::Recipt));
}

std::unique_ptr<paymentsvc::ReciptSlp> payments(const Context& c) {
    auto store = std::make_unique<paymentsvc::ReciptSlp>();
    store->setDirPath(c.dir);
    store->CntDb();
    return store;
}

// The window's running total: every work line of this desk, a line without an amount as 0.
double workTotal(const Context& c) {
    double total = 0;
    desk::RowSet rows(recipt(c), u"SELECT * FROM BTReciptTemp WHERE Desk = "_s + desk::Sql::quote(desk::currentDesk()));
    for (; !rows.eof(); rows.moveNext())
        total += rows.value(u"ReciptAmount"_s).toDouble();
    return total;
}

void putLines(const Context& c, int lines) {
    const auto connection = recipt(c);
    desk::Transaction transaction(*connection);
    for (int i = 0; i < lines; ++i)
        connection->exec(u"INSERT INTO BTReciptTemp (Desk, RptCode, RptName, ReciptAmount, RptRemarks) "
                         "VALUES (?, '01', '現金', 10000, '')"_s,
                         {desk::currentDesk()});
    transaction.commit();
}

} // namespace

// 入金 → 呼び出し: the work table emptied and the slip loaded in one transaction, the
// guest looked up, the running total summed; the work table is emptied again afterwards.
BENCH_CASE({
    .name = u"paymentapp: recall a slip (load, guest, total)"_s,
    .setup =
        [](Context& c) {
            const auto file = recipt(c);
            c.values[u"payment/recall"_s] = file->scalar(u"SELECT Max(RptNO) FROM BTPaymentNo"_s);
        },
    .run =
        [](const Context& c) {
            auto store = payments(c);
            store->setSlipNo(c.values.value(u"payment/recall"_s).toString());
            {
                desk::Transaction transaction(store->connection());
                store->ClearTemp();
                store->EDsearch();
                transaction.commit();
            }
            if (store->SlipNo() == u"0"_s)
                throw std::runtime_error("the slip was not found");
            arrivalsvc::CheckInClass guest;
            guest.setDirPath(c.dir);
            guest.CntDB();
            guest.setCheckInNO(store->SlipCliantCode());
            guest.EDsearch();
            deskbench::keep(guest.CheckInName());
            deskbench::keep(workTotal(c));
            payments(c)->ClearTemp();
        },
});

// 入金 → 登録 of three lines: the number checked, header and lines written and the work
// table emptied in one transaction, the next number proposed; the lines are put first and
// the slip deleted again, inside the timed run.
BENCH_CASE({
    .name = u"paymentapp: save a 3-line slip (+ put lines, delete)"_s,
    .run =
        [](const Context& c) {
            putLines(c, 3);
            QString number;
            {
                auto proposer = payments(c);
                proposer->SendReciptNo();
                number = proposer->SlipNo();
            }
            {
                auto store = payments(c);
                desk::Transaction transaction(store->connection());
                if (store->DuplicateCheck(number) == u"X"_s)
                    throw std::runtime_error("the proposed number is taken");
                store->setSlipNo(number);
                store->setSlipDate(c.today);
                store->setSlipCliantCode(u"BENCH-PAY"_s);
                store->Msave();
                store->MDsave();
                store->ClearTemp();
                transaction.commit();
            }
            payments(c)->SendReciptNo();
            auto remover = payments(c);
            remover->setSlipNo2(number);
            remover->Mdelete();
        },
});

// A code typed into the first column of the payment grid: its item name.
BENCH_CASE({
    .name = u"paymentapp: payment item look-up by code"_s,
    .setup =
        [](Context& c) {
            const auto connection = recipt(c);
            c.values[u"payment/code"_s] =
                connection->scalar(deskbench::lastAdded(*connection, u"ReciptCode"_s, u"RptCode"_s));
        },
    .run =
        [](const Context& c) {
            payitemsvc::ReciptCode items;
            items.setDirPath(c.dir);
            items.CntDb();
            if (items.ReciptNameDisplay(c.values.value(u"payment/code"_s).toString()) == u"X"_s)
                throw std::runtime_error("the payment item was not found");
        },
});
