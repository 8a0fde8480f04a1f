// The work tables with another desk's lines present, and the backup of the whole data
// directory while a clerk saves.

#include "Bench.h"
#include "BenchData.h"

#include "chargesvc/SalesClass.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "data/Maintenance.h"
#include "data/RowSet.h"
#include "departsvc/CheckOutClass.h"
#include "paymentsvc/ReciptSlp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <thread>

using deskbench::Context;
using namespace Qt::StringLiterals;

namespace {

const QString OtherDesk = u"bench-other-desk"_s;
constexpr int OtherLines = 500;

std::shared_ptr<desk::Connection> open(const Context& c, const char* file) {
    return desk::Connection::open(c.dir, QString::fromLatin1(file));
}

template <typename Store> std::unique_ptr<Store> connected(const Context& c) {
    auto store = std::make_unique<Store>();
    store->setDirPath(c.dir);
    store->CntDb();
    return store;
}

// Another desk's slip on screen in every work table, left there for good (it is what a
// busy inn looks like; the other cases must not slow down because of it).
void putOtherDesk(Context& c) {
    struct Table {
        const char* file;
        const char* insert;
    };
    static const Table tables[] = {
        {desk::DbFile::Sales, "INSERT INTO BTTempSalesDetail (BTcmcode, BTQuantity, BTUnitPrice, Desk) "
                              "VALUES ('301', 1, 650, ?)"},
        {desk::DbFile::Recipt, "INSERT INTO BTReciptTemp (RptCode, ReciptAmount, Desk) VALUES ('01', 1000, ?)"},
        {desk::DbFile::Option, "INSERT INTO CheckOutTemp (Slcmname, SlSubTotal, Desk) VALUES ('夕食', 5000, ?)"},
    };
    for (const Table& t : tables) {
        const auto connection = open(c, t.file);
        const QString insert = QString::fromUtf8(t.insert);
        const QString table = insert.section(u' ', 2, 2);
        if (connection->scalar(u"SELECT COUNT(*) FROM "_s + table + u" WHERE Desk = ?"_s, {OtherDesk}).toInt() > 0)
            continue;
        desk::Transaction transaction(*connection);
        int n = 0;
        connection->execEach(insert, [&](QVariantList& binds) {
            if (n++ == OtherLines)
                return false;
            binds << OtherDesk;
            return true;
        });
        transaction.commit();
    }
}

} // namespace

BENCH_CASE({
    .name = u"Work tables, another desk's 500 lines present: sales 10 lines put, saved, cleared"_s,
    .setup = [](Context& c) { putOtherDesk(c); },
    .run =
        [](const Context& c) {
            {
                const auto work = desk::openDeskRows(open(c, desk::DbFile::Sales), u"BTTempSalesDetail"_s);
                for (int i = 0; i < 10; ++i) {
                    work->addNew();
                    work->setValue(u"BTcmcode"_s, u"301"_s);
                    work->setValue(u"BTQuantity"_s, 2);
                    work->update();
                }
            }
            const qint32 number =
                open(c, desk::DbFile::Sales)->scalar(u"SELECT ifnull(Max(BTSalesNo), 0) + 1 FROM BTSalesNo"_s).toInt();
            {
                auto store = connected<chargesvc::SalesClass>(c);
                store->setSalesNo(number);
                store->setSalesDate(c.today);
                store->setCheckInNO(u"BENCH-DESK"_s);
                store->Msave();
                store->ClearTemp();
            }
            if (open(c, desk::DbFile::Sales)
                    ->scalar(u"SELECT COUNT(*) FROM BTSalesDetail WHERE BTSalesNo = ?"_s, {number})
                    .toInt() != 10)
                throw std::runtime_error("the slip did not get exactly its own ten lines");
            auto remover = connected<chargesvc::SalesClass>(c);
            remover->setSalesNo(number);
            remover->Mdelete();
        },
});

BENCH_CASE({
    .name = u"Work tables, another desk's 500 lines present: payment recall (ClearTemp + EDsearch)"_s,
    .setup = [](Context& c) { putOtherDesk(c); },
    .run =
        [](const Context& c) {
            const QString last =
                open(c, desk::DbFile::Recipt)->scalar(u"SELECT Max(RptNO) FROM BTPaymentNo"_s).toString();
            connected<paymentsvc::ReciptSlp>(c)->ClearTemp();
            auto store = connected<paymentsvc::ReciptSlp>(c);
            store->setSlipNo(last);
            store->EDsearch();
            store->ClearTemp();
        },
});

BENCH_CASE({
    .name = u"Work tables, another desk's 500 lines present: check-out statement of a guest"_s,
    .setup = [](Context& c) { putOtherDesk(c); },
    .run =
        [](const Context& c) {
            const auto sales = open(c, desk::DbFile::Sales);
            const QString guest =
                sales->scalar(deskbench::lastAdded(*sales, u"BTSalesNo"_s, u"BTCheckInNo"_s)).toString();
            connected<departsvc::CheckOutClass>(c)->RsTempDelete();
            auto store = connected<departsvc::CheckOutClass>(c);
            store->setCheckInNO(guest);
            store->CheckOut();
            deskbench::keep(store->RsCliantSales()->recordCount());
        },
});

// The whole directory copied while a clerk keeps saving one-row writes: the longest save
// must stay under a second.
BENCH_CASE({
    .name = u"Backup of the data directory (a clerk saving meanwhile)"_s,
    .run =
        [](const Context& c) {
            QTemporaryDir target;
            const QString dest = target.path() + u"/backup"_s;
            std::atomic<bool> done{false};
            std::exception_ptr failure;
            std::thread copier([&] {
                try {
                    desk::maintenance::backup(c.dir, dest);
                } catch (...) {
                    failure = std::current_exception();
                }
                done = true;
            });
            qint64 longest = 0;
            int saves = 0;
            {
                const auto connection = open(c, desk::DbFile::Recipt);
                while (!done) {
                    QElapsedTimer save;
                    save.start();
                    desk::Transaction transaction(*connection);
                    connection->exec(u"INSERT INTO BTReciptTemp (RptCode, Desk) VALUES ('01', 'bench-backup')"_s);
                    connection->exec(u"DELETE FROM BTReciptTemp WHERE Desk = 'bench-backup'"_s);
                    transaction.commit();
                    longest = std::max(longest, save.elapsed());
                    ++saves;
                }
            }
            copier.join();
            if (failure)
                std::rethrow_exception(failure);
            std::fprintf(stderr, "  backup: %d saves meanwhile, the longest %lld ms\n", saves,
                         static_cast<long long>(longest));
            if (longest > 1000)
                throw std::runtime_error("a save waited more than a second on the backup");
        },
});
