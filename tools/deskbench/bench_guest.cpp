// The reservation, check-in, profile and classification stores, each timed as a screen
// uses it: a fresh object, DirPath, connect, one operation, release.
#include "Bench.h"
#include "BenchData.h"

#include "arrivalsvc/CheckInClass.h"
#include "bookingsvc/ReservationClass.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "firmsvc/InnProfile.h"
#include "guestcatsvc/GuestClassLists.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <stdexcept>

using deskbench::Context;

namespace {

QString key(const char* name) {
    return QStringLiteral("guest/") + QLatin1String(name);
}

std::unique_ptr<bookingsvc::ReservationClass> reservations(const Context& c) {
    auto store = std::make_unique<bookingsvc::ReservationClass>();
    store->setDirPath(c.dir);
    store->CntDb();
    return store;
}

std::unique_ptr<arrivalsvc::CheckInClass> checkIns(const Context& c) {
    auto store = std::make_unique<arrivalsvc::CheckInClass>();
    store->setDirPath(c.dir);
    store->CntDB();
    return store;
}

// What a client-side cursor did on every connect: copy the whole table, then search the copy.
void fullCopySearch(const Context& c, const char* file, const QString& table, const QString& column,
                    const QVariant& value) {
    const auto connection = desk::Connection::open(c.dir, QString::fromLatin1(file));
    QList<QVariantList> rows;
    int at = -1;
    connection->select(
        QStringLiteral("SELECT * FROM ") + table, {}, [&](const QSqlRecord& record) { at = record.indexOf(column); },
        [&](const QSqlQuery& query) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            rows << row;
        });
    for (const QVariantList& row : rows) {
        if (row.value(at).toString() == value.toString()) {
            deskbench::keep(row.value(0));
            return;
        }
    }
}

void walk(desk::RowSet& rs, const QString& column) {
    for (rs.moveFirst(); !rs.isEmpty() && !rs.eof(); rs.moveNext())
        deskbench::keep(rs.value(column));
}

void require(bool condition, const char* what) {
    if (!condition)
        throw std::runtime_error(what);
}

// Fixed points in whatever directory was built: the newest reservation and check-in, the
// newest guest already gone, and a number neither table holds.
void findFixedPoints(Context& c) {
    if (c.values.contains(key("rvno")))
        return;
    const auto booking = desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Reservation));
    const qint64 rvno = booking->scalar(QStringLiteral("SELECT Max(RvNo) FROM Reserve")).toLongLong();
    c.values[key("rvno")] = rvno;
    c.values[key("newrvno")] = rvno + 1000;
    const auto arrival = desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    const QString last =
        arrival->scalar(deskbench::lastAdded(*arrival, QStringLiteral("CheckInCliants"), QStringLiteral("CheckInNO")))
            .toString();
    c.values[key("checkin")] = last;
    c.values[key("name")] = arrival->scalar(
        QStringLiteral("SELECT CheckInName FROM CheckInCliants WHERE CheckInNO = ") + desk::Sql::quote(last));
    c.values[key("gone")] = arrival->scalar(deskbench::lastAdded(
        *arrival, QStringLiteral("CheckInCliants"), QStringLiteral("CheckInNO"), QStringLiteral("CheckOutFlag = 1")));
    c.values[key("newcheckin")] = QString(QStringLiteral("bench-") + last);
}

} // namespace

BENCH_CASE({
    .name = QStringLiteral("ReservationClass: SendReserveNo"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            auto store = reservations(c);
            store->SendReserveNo();
            require(store->ReserveNo() == c.values.value(key("rvno")).toInt() + 1, "wrong number proposed");
        },
});

BENCH_CASE({
    .name = QStringLiteral("ReservationClass: ReserveNoCheck (taken)"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            require(reservations(c)->ReserveNoCheck(c.values.value(key("rvno")).toInt()) == 0, "number not found");
        },
});

BENCH_CASE({
    .name = QStringLiteral("ReservationClass: EDsearch"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            auto store = reservations(c);
            store->setReserveNo(c.values.value(key("rvno")).toInt());
            store->EDsearch();
            require(store->ReserveNo() != 0, "reservation not found");
            deskbench::keep(store->CliantName());
        },
    .baseline =
        [](const Context& c) {
            fullCopySearch(c, desk::DbFile::Reservation, QStringLiteral("Reserve"), QStringLiteral("RvNo"),
                           c.values.value(key("rvno")));
        },
});

// A save cannot stay in the shared directory, so each round deletes it again: two commits.
BENCH_CASE({
    .name = QStringLiteral("ReservationClass: Msave + Mdelete"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            const qint32 number = c.values.value(key("newrvno")).toInt();
            {
                auto store = reservations(c);
                store->setReserveNo(number);
                store->setReserveDate(c.today);
                store->setRecieveDate(c.today);
                store->setCliantName(QStringLiteral("計測 太郎"));
                store->setQuantity(2);
                store->setBadget(12000);
                store->Msave();
            }
            auto store = reservations(c);
            store->setReserveNo(number);
            store->Mdelete();
        },
});

BENCH_CASE({
    .name = QStringLiteral("ReservationClass: RsResv today, walked"),
    .run =
        [](const Context& c) {
            auto store = reservations(c);
            store->setReserveDate(c.today);
            std::unique_ptr<desk::RowSet> rs = store->RsResv();
            walk(*rs, QStringLiteral("RvName"));
        },
});

BENCH_CASE({
    .name = QStringLiteral("CheckInClass: CheckInNoCheck (taken)"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            require(checkIns(c)->CheckInNoCheck(c.values.value(key("checkin")).toString()) == QStringLiteral("x"),
                    "check-in not found");
        },
});

BENCH_CASE({
    .name = QStringLiteral("CheckInClass: EDsearch"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            auto store = checkIns(c);
            store->setCheckInNO(c.values.value(key("checkin")).toString());
            store->EDsearch();
            require(store->CheckInNO() != QStringLiteral("X"), "check-in not found");
            deskbench::keep(store->CheckInName());
        },
    .baseline =
        [](const Context& c) {
            fullCopySearch(c, desk::DbFile::DaySalesCliants, QStringLiteral("CheckInCliants"),
                           QStringLiteral("CheckInNO"), c.values.value(key("checkin")));
        },
});

// Six rows in one transaction, then deleted again in another.
BENCH_CASE({
    .name = QStringLiteral("CheckInClass: Msave + Mdelete"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            const QString number = c.values.value(key("newcheckin")).toString();
            {
                auto store = checkIns(c);
                store->setCheckInNO(number);
                store->setCheckInDate(c.today);
                store->setCheckInName(QStringLiteral("計測 太郎"));
                store->setCheckInRoomNo(QStringLiteral("201"));
                store->setQuantity(2);
                store->setBadget(12000);
                store->Msave();
            }
            auto store = checkIns(c);
            store->setCheckInNO2(number);
            store->Mdelete();
        },
});

// The bill printed again for a guest already gone: the same write, nothing to undo.
BENCH_CASE({
    .name = QStringLiteral("CheckInClass: CheckOut"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            auto store = checkIns(c);
            store->setCheckInNO2(c.values.value(key("gone")).toString());
            store->CheckOut();
        },
});

BENCH_CASE({
    .name = QStringLiteral("CheckInClass: RsNotChkOut, walked"),
    .run =
        [](const Context& c) {
            std::unique_ptr<desk::RowSet> rs = checkIns(c)->RsNotChkOut();
            walk(*rs, QStringLiteral("CheckInName"));
        },
});

BENCH_CASE({
    .name = QStringLiteral("CheckInClass: RsCliantR by name, walked"),
    .setup = findFixedPoints,
    .run =
        [](const Context& c) {
            auto store = checkIns(c);
            store->setSQL1(QStringLiteral("CheckInName = ") + desk::Sql::quote(c.values.value(key("name")).toString()));
            std::unique_ptr<desk::RowSet> rs = store->RsCliantR();
            require(!rs->isEmpty(), "no stay found");
            walk(*rs, QStringLiteral("CheckInDate"));
        },
});

BENCH_CASE({
    .name = QStringLiteral("firmsvc OptionDataClass: DisplyData"),
    .run =
        [](const Context& c) {
            firmsvc::OptionDataClass profile;
            profile.setDirPath(c.dir);
            profile.ConnectDb();
            profile.DisplyData();
            deskbench::keep(profile.MyCompanyName());
        },
});

BENCH_CASE({
    .name = QStringLiteral("guestcatsvc OptionDataClass: DispClassData"),
    .run =
        [](const Context& c) {
            guestcatsvc::OptionDataClass lists;
            lists.setDirPath(c.dir);
            lists.CntDb();
            require(lists.DispClassData(4, QStringLiteral("C6")) != QStringLiteral("x"), "class not found");
        },
});
