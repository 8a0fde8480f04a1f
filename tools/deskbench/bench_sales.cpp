// The sales side as the screens call it: a fresh store per action, DirPath, CntDb, the
// operation, release. Cases that write undo their writes in the same timed run.

#include "Bench.h"
#include "BenchData.h"

#include "chargesvc/SalesClass.h"
#include "chargesvc/SalesLine.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "departsvc/CheckOutClass.h"
#include "goodssvc/ComodityInn.h"
#include "paymentsvc/ReciptSlp.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <stdexcept>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

// The guest of the statement case: 4 slips of 10 lines and 3 payments, added once.
// Named anew when its lines changed, so that a data directory built earlier gets the new ones.
const QString StatementGuest = u"BENCH-040R"_s;

std::shared_ptr<desk::Connection> open(const Context& c, const char* file) {
    return desk::Connection::open(c.dir, QString::fromLatin1(file));
}

// What a client-side cursor cost on every open: the whole source copied into memory.
qint64 fullCopy(const Context& c, const char* file, const QString& source) {
    const auto connection = open(c, file);
    QSqlQuery query(connection->database());
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT * FROM "_s + source))
        throw std::runtime_error("the full copy failed");
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        rows << row;
    }
    return rows.size();
}

qint32 highest(const Context& c, const char* file, const QString& statement) {
    return open(c, file)->scalar(statement).toInt();
}

template <typename Store> std::unique_ptr<Store> connected(const Context& c) {
    auto store = std::make_unique<Store>();
    store->setDirPath(c.dir);
    store->CntDb();
    return store;
}

void putSalesLines(const Context& c, int lines) {
    const auto connection = open(c, desk::DbFile::Sales);
    // Two of commodity 301 at 650, service 10 %, tax 5 %, as the sales window works them out.
    const chargesvc::SalesLineFigures figures = chargesvc::salesLineFigures(2, 650, 10, 5);
    desk::Transaction transaction(*connection);
    for (int i = 0; i < lines; ++i)
        connection->exec(u"INSERT INTO BTTempSalesDetail (BTcmcode, BTCMname, BTQuantity, BTUnitPrice, BTSubTotal1, "
                         "BTServiceFee, BTSalesTax, BTSubTotal2, Desk) "
                         "VALUES ('301', '', 2, 650, ?, 10, 5, ?, ?)"_s,
                         {figures.subTotal, figures.total, desk::currentDesk()});
    transaction.commit();
}

void putPaymentLines(const Context& c, int lines) {
    const auto connection = open(c, desk::DbFile::Recipt);
    desk::Transaction transaction(*connection);
    for (int i = 0; i < lines; ++i)
        connection->exec(
            u"INSERT INTO BTReciptTemp (RptCode, RptName, ReciptAmount, Desk) VALUES ('01', '', 10000, ?)"_s,
            {desk::currentDesk()});
    transaction.commit();
}

// Adds the statement guest's slips above the highest numbers, unless an earlier run did.
void addStatementGuest(const Context& c) {
    deskbench::addStatementSlips(c.dir, StatementGuest, c.today, false);
}

} // namespace

// The sales grid after a commodity code is typed: name and standard price on one store.
BENCH_CASE({
    .name = u"ComodityInn: look-up by code (name + price)"_s,
    .setup =
        [](Context& c) {
            c.values[u"goods/code"_s] =
                open(c, desk::DbFile::Sales)->scalar(u"SELECT Ccode FROM Commodities ORDER BY rowid DESC LIMIT 1"_s);
        },
    .run =
        [](const Context& c) {
            auto store = connected<goodssvc::ComodityInn>(c);
            const QString code = c.values.value(u"goods/code"_s).toString();
            if (store->ComodityName(code) == u"X"_s || store->ComodityPrice(code).toString() == u"X"_s)
                throw std::runtime_error("the commodity was not found");
        },
    .baseline =
        [](const Context& c) {
            deskbench::keep(fullCopy(c, desk::DbFile::Sales, u"Commodities"_s) +
                            fullCopy(c, desk::DbFile::Sales, u"CmPrice"_s));
        },
});

BENCH_CASE({
    .name = u"SalesClass: slip number proposal (SendSalesNo)"_s,
    .run =
        [](const Context& c) {
            auto store = connected<chargesvc::SalesClass>(c);
            store->SendSalesNo();
            deskbench::keep(store->SalesNo());
        },
    .baseline = [](const Context& c) { deskbench::keep(fullCopy(c, desk::DbFile::Sales, u"BTSalesNo"_s)); },
});

// Msave + ClearTemp of a new 10-line slip; the ten work lines are put first and the slip
// is deleted again afterwards, both inside the timed run.
BENCH_CASE({
    .name = u"SalesClass: save a 10-line slip (+ put lines, delete)"_s,
    .run =
        [](const Context& c) {
            putSalesLines(c, 10);
            const qint32 number =
                highest(c, desk::DbFile::Sales, u"SELECT ifnull(Max(BTSalesNo), 0) + 1 FROM BTSalesNo"_s);
            {
                auto store = connected<chargesvc::SalesClass>(c);
                store->setSalesNo(number);
                store->setSalesDate(c.today);
                store->setCheckInNO(u"BENCH-SAVE"_s);
                store->Msave();
                store->ClearTemp();
            }
            auto remover = connected<chargesvc::SalesClass>(c);
            remover->setSalesNo(number);
            remover->Mdelete();
        },
});

// The sales screen's recall: the work table emptied, then EDsearch of the last slip.
BENCH_CASE({
    .name = u"SalesClass: recall the last slip (ClearTemp + EDsearch)"_s,
    .setup =
        [](Context& c) {
            c.values[u"sales/last"_s] = highest(c, desk::DbFile::Sales, u"SELECT Max(BTSalesNo) FROM BTSalesNo"_s);
        },
    .run =
        [](const Context& c) {
            connected<chargesvc::SalesClass>(c)->ClearTemp();
            auto store = connected<chargesvc::SalesClass>(c);
            store->setSalesNo(c.values.value(u"sales/last"_s).toInt());
            store->EDsearch();
            if (store->SalesNo() == 0)
                throw std::runtime_error("the slip was not found");
            store->ClearTemp();
        },
    .baseline =
        [](const Context& c) {
            deskbench::keep(fullCopy(c, desk::DbFile::Sales, u"BTSalesNo"_s) +
                            fullCopy(c, desk::DbFile::Sales, u"QRYSalesDetail"_s));
        },
});

// The payment screen's save: Msave + MDsave + ClearTemp in one transaction, three lines;
// the lines are put first and the slip deleted again afterwards, inside the timed run.
BENCH_CASE({
    .name = u"ReciptSlp: save a 3-line slip (+ put lines, delete)"_s,
    .run =
        [](const Context& c) {
            putPaymentLines(c, 3);
            const qint32 number =
                highest(c, desk::DbFile::Recipt, u"SELECT ifnull(Max(RptNO), 0) + 1 FROM BTPaymentNo"_s);
            {
                auto store = connected<paymentsvc::ReciptSlp>(c);
                store->setSlipNo(QString::number(number));
                store->setSlipDate(c.today);
                store->setSlipCliantCode(u"BENCH-SAVE"_s);
                desk::Transaction transaction(store->connection());
                store->Msave();
                store->MDsave();
                store->ClearTemp();
                transaction.commit();
            }
            auto remover = connected<paymentsvc::ReciptSlp>(c);
            remover->setSlipNo2(QString::number(number));
            remover->Mdelete();
        },
});

BENCH_CASE({
    .name = u"ReciptSlp: recall the last slip (ClearTemp + EDsearch)"_s,
    .setup =
        [](Context& c) {
            c.values[u"payment/last"_s] = highest(c, desk::DbFile::Recipt, u"SELECT Max(RptNO) FROM BTPaymentNo"_s);
        },
    .run =
        [](const Context& c) {
            connected<paymentsvc::ReciptSlp>(c)->ClearTemp();
            auto store = connected<paymentsvc::ReciptSlp>(c);
            store->setSlipNo(c.values.value(u"payment/last"_s).toString());
            store->EDsearch();
            if (store->SlipNo() == u"0"_s)
                throw std::runtime_error("the slip was not found");
            store->ClearTemp();
        },
    .baseline =
        [](const Context& c) {
            deskbench::keep(fullCopy(c, desk::DbFile::Recipt, u"BTPaymentNo"_s) +
                            fullCopy(c, desk::DbFile::Recipt, u"QRYReciptDetail"_s));
        },
});

// The check-out screen: CheckOutTemp emptied, then the statement of a guest with 40 sales
// lines at two rates and 3 payments, settled on the last day (rows: the lines, service, two
// tax rows, total, the payments, paid, to pay).
BENCH_CASE({
    .name = u"CheckOutClass: statement, 40 lines at two rates and 3 payments"_s,
    .setup = [](Context& c) { addStatementGuest(c); },
    .run =
        [](const Context& c) {
            connected<departsvc::CheckOutClass>(c)->RsTempDelete();
            auto store = connected<departsvc::CheckOutClass>(c);
            store->setCheckInNO(StatementGuest);
            store->setChkOutDate(c.today);
            store->CheckOut();
            if (store->RsCliantSales()->recordCount() != 40 + 4 + 3 + 2)
                throw std::runtime_error("the statement has not the expected rows");
        },
    .baseline =
        [](const Context& c) {
            deskbench::keep(fullCopy(c, desk::DbFile::Sales, u"QRYCheckOutP"_s) +
                            fullCopy(c, desk::DbFile::Recipt, u"QRYRecipt"_s));
        },
});
