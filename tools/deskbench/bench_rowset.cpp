#include "Bench.h"
#include "BenchData.h"

#include "data/Connection.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>

using deskbench::Context;

namespace {

// What a client-side cursor did on every open: copy the whole source into memory, then
// search the copy from the top.
QVariant fullCopyFind(const QString& dir, const char* file, const QString& table, const QString& column,
                      const QVariant& key) {
    const auto connection = desk::Connection::open(dir, QString::fromLatin1(file));
    QVector<QVector<QVariant>> rows;
    int keyColumn = -1;
    connection->select(
        QStringLiteral("SELECT * FROM ") + table, {},
        [&](const QSqlRecord& record) { keyColumn = record.indexOf(column); },
        [&](const QSqlQuery& query) {
            QVector<QVariant> row(query.record().count());
            for (int i = 0; i < row.size(); ++i)
                row[i] = query.value(i);
            rows.append(row);
        });
    for (const auto& row : rows) {
        if (row.at(keyColumn).toString() == key.toString())
            return row.at(0);
    }
    return {};
}

QVariant rowSetFind(const QString& dir, const char* file, const QString& table, const QString& criterion) {
    desk::RowSet rs(desk::Connection::open(dir, QString::fromLatin1(file)), table);
    rs.find(criterion);
    return rs.eof() ? QVariant() : rs.value(0);
}

struct TableCase {
    const char* file;
    const char* table;
    const char* column;
    bool text;
    const char* countStatement;
};

// The last rows of each large table: a search from the top has the whole table to cover.
// Check-ins are counted without the guests other cases add ("BENCH-…"), whose numbers are
// not of the generated series.
const TableCase tableCases[] = {
    {desk::DbFile::Reservation, "Reserve", "RvNo", false, "SELECT Max(RvNo) FROM Reserve"},
    {desk::DbFile::DaySalesCliants, "CheckInCliants", "CheckInNO", true,
     "SELECT COUNT(*) FROM CheckInCliants WHERE CheckInNO NOT LIKE 'BENCH-%'"},
    {desk::DbFile::DaySalesCliants, "CheckInClasify", "CheckInNO", true,
     "SELECT COUNT(*) FROM CheckInClasify WHERE CheckInNO NOT LIKE 'BENCH-%'"},
    {desk::DbFile::Sales, "BTSalesNo", "BTSalesNo", false, "SELECT Max(BTSalesNo) FROM BTSalesNo"},
    {desk::DbFile::Sales, "BTSalesDetail", "BTSalesNo", false, "SELECT Max(BTSalesNo) FROM BTSalesDetail"},
    {desk::DbFile::Recipt, "BTPaymentNo", "RptNO", false, "SELECT Max(RptNO) FROM BTPaymentNo"},
    {desk::DbFile::Recipt, "BTPaymentDtl", "RptNO", false, "SELECT Max(RptNO) FROM BTPaymentDtl"},
};

QString keyName(const TableCase& t) {
    return QString::fromLatin1(t.table) + QStringLiteral("/key");
}

deskbench::Case tableCase(const TableCase& t) {
    return deskbench::Case{
        .name = QString::fromLatin1(t.table) + QStringLiteral(": open + find by ") + QString::fromLatin1(t.column),
        .setup =
            [t](Context& c) {
                const auto connection = desk::Connection::open(c.dir, QString::fromLatin1(t.file));
                const qint64 last = connection->scalar(QString::fromLatin1(t.countStatement)).toLongLong();
                c.values[keyName(t)] = t.text ? QVariant(deskbench::checkInNumber(last)) : QVariant(last);
            },
        .run =
            [t](const Context& c) {
                const QVariant key = c.values.value(keyName(t));
                const QString criterion = QString::fromLatin1(t.column) + QStringLiteral(" = ") +
                                          (t.text ? desk::Sql::quote(key.toString()) : key.toString());
                const QVariant found = rowSetFind(c.dir, t.file, QString::fromLatin1(t.table), criterion);
                if (found.isNull())
                    throw std::runtime_error("the key was not found");
                deskbench::keep(found);
            },
        .baseline =
            [t](const Context& c) {
                deskbench::keep(fullCopyFind(c.dir, t.file, QString::fromLatin1(t.table), QString::fromLatin1(t.column),
                                             c.values.value(keyName(t))));
            },
    };
}

const bool tableCasesRegistered = [] {
    for (const TableCase& t : tableCases)
        deskbench::cases().push_back(tableCase(t));
    return true;
}();

} // namespace

// The bill's sales lines of the last guest, through the saved query and its filter.
BENCH_CASE({
    .name = QStringLiteral("QRYCheckOutP: lines of one check-in"),
    .setup =
        [](Context& c) {
            const auto connection = desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales));
            c.values[QStringLiteral("bill/checkin")] = connection->scalar(
                deskbench::lastAdded(*connection, QStringLiteral("BTSalesNo"), QStringLiteral("BTCheckInNo")));
        },
    .run =
        [](const Context& c) {
            desk::RowSet rs(desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales)),
                            QStringLiteral("SELECT * FROM QRYCheckOutP WHERE BTCheckInNo = ") +
                                desk::Sql::quote(c.values.value(QStringLiteral("bill/checkin")).toString()));
            for (rs.moveFirst(); !rs.eof(); rs.moveNext())
                deskbench::keep(rs.value(QStringLiteral("cname")));
        },
    .baseline =
        [](const Context& c) {
            deskbench::keep(fullCopyFind(c.dir, desk::DbFile::Sales, QStringLiteral("QRYCheckOutP"),
                                         QStringLiteral("BTCheckInNo"),
                                         c.values.value(QStringLiteral("bill/checkin"))));
        },
});

// Walking a table from the top, row by row, as the work-table loops do: 1,000 rows.
BENCH_CASE({
    .name = QStringLiteral("BTSalesDetail: open + 1,000 x moveNext"),
    .run =
        [](const Context& c) {
            desk::RowSet rs(desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales)),
                            QStringLiteral("BTSalesDetail"));
            for (int i = 0; i < 1000 && !rs.eof(); ++i) {
                deskbench::keep(rs.value(QStringLiteral("BTcmcode")));
                rs.moveNext();
            }
        },
});

// A month of sales by commodity class, as the aggregation screen asks for it.
BENCH_CASE({
    .name = QStringLiteral("QRYForSyukei: one month by commodity class"),
    .run =
        [](const Context& c) {
            const QDate to = c.today;
            const QDate from = to.addMonths(-1);
            desk::RowSet rs(desk::Connection::open(c.dir, QString::fromLatin1(desk::DbFile::Sales)),
                            QStringLiteral("SELECT CclassName,Sum(SmallSum1) AS 合計1 FROM QRYForSyukei WHERE "
                                           "BTSalesDate BETWEEN ") +
                                desk::Sql::dateLiteral(from) + QStringLiteral(" and ") + desk::Sql::dateLiteral(to) +
                                QStringLiteral(" GROUP BY CclassName"));
            deskbench::keep(rs.recordCount());
        },
});
