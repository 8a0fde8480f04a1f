// The payment window's three actions as it runs them: one use case of the payment slips
// per action (each its own transaction), the item look-up on a fresh store. Cases that
// write undo their writes in the same timed run.
#include "Bench.h"
#include "BenchData.h"

#include "arrivalsvc/CheckInClass.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "payitemsvc/ReciptCode.h"
#include "paymentsvc/PaymentSlipBook.h"
#include "slipkit/SlipSession.h"

#include <stdexcept>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<desk::Connection> recipt(const Context& c) {
    return desk::Connection::open(c.dir, QLatin1String(desk::DbFile::Recipt));
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

// 入金 → 呼び出し: the work lines emptied and the slip loaded in one transaction, the
// guest looked up, the running total of the work lines; they are emptied again afterwards.
BENCH_CASE({
    .name = u"paymentapp: recall a slip (load, guest, total)"_s,
    .setup =
        [](Context& c) {
            const auto file = recipt(c);
            c.values[u"payment/recall"_s] = file->scalar(u"SELECT Max(RptNO) FROM BTPaymentNo"_s);
        },
    .run =
        [](const Context& c) {
            slipkit::SlipSession slip(std::make_unique<paymentsvc::PaymentSlipBook>(c.dir));
            const auto header = slip.callUp(c.values.value(u"payment/recall"_s).toInt());
            if (!header)
                throw std::runtime_error("the slip was not found");
            arrivalsvc::CheckInClass guest;
            guest.setDirPath(c.dir);
            guest.CntDB();
            guest.setCheckInNO(header->checkInNo);
            guest.EDsearch();
            deskbench::keep(guest.CheckInName());
            deskbench::keep(paymentsvc::PaymentSlip{{}, paymentsvc::PaymentSlipBook(c.dir).workLines()}.total());
            slip.clear();
        },
});

// 入金 → 登録 of three lines: the number checked, header and lines written and the work
// lines emptied in one transaction, the next number proposed; the lines are put first and
// the slip deleted again, inside the timed run.
BENCH_CASE({
    .name = u"paymentapp: save a 3-line slip (+ put lines, delete)"_s,
    .run =
        [](const Context& c) {
            putLines(c, 3);
            slipkit::SlipSession slip(std::make_unique<paymentsvc::PaymentSlipBook>(c.dir));
            slip.proposeNumber();
            const slipkit::Registration saved = slip.registerSlip({0, c.today, u"BENCH-PAY"_s, 0});
            if (!saved.saved())
                throw std::runtime_error("the proposed number is taken");
            slip.proposeNumber();
            paymentsvc::PaymentSlipBook(c.dir).deleteSlip(saved.number);
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
