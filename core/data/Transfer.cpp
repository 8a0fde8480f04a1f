#include "Transfer.h"

#include "ColumnType.h"
#include "Connection.h"
#include "DataLocation.h"
#include "DbError.h"
#include "Engine.h"
#include "Schema.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>
#include <memory>
#include <vector>
#include <limits>

namespace desk::maintenance {

namespace {

// A table or column name of the catalogue, written bare: each engine then finds it as it
// spells it (a server folds names to lower case).
QString bareName(const QString& name) {
    static const QRegularExpression word(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!word.match(name).hasMatch())
        throw DbError(QStringLiteral("表か列の名前 %1 は写せません。").arg(name));
    return name;
}

// Rows are read in batches of this many, so a table of ten years never sits in memory whole.
constexpr int BatchRows = 5000;

// Runs a statement of the engine's own, outside the suite's dialect.
void control(Connection& connection, const QString& statement) {
    QSqlQuery query(connection.database());
    if (!query.exec(statement))
        throw connection.engine().failure(query.lastError(), statement, connection.filePath());
}

// A read of one database that sees one moment of it while the desks go on saving.
class ReadTransaction {
public:
    explicit ReadTransaction(Connection& connection)
        : m_connection(connection) {
        for (const QString& statement : connection.engine().beginRead())
            control(connection, statement);
    }
    ~ReadTransaction() {
        try {
            control(m_connection, m_connection.engine().rollback());
        } catch (const DbError&) {
            // Nothing was written; the engine ends the read with the connection anyway.
        }
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    Connection& m_connection;
};

struct Column {
    QString name;
    bool number = false;
};

QList<Column> columnsOf(Connection& connection, const QString& table) {
    QList<Column> columns;
    for (const Connection::Column& c : connection.columns(table)) {
        const ColumnType type = columntype::fromDeclared(c.declaredType);
        const bool number = type == ColumnType::Int16 || type == ColumnType::Int32 || type == ColumnType::Int64 ||
                            type == ColumnType::Double;
        columns << Column{c.name, number};
    }
    return columns;
}

// The rows and the total of every number column, as one side counts them.
QList<double> tally(Connection& connection, const QString& table, const QList<Column>& columns) {
    QStringList parts{QStringLiteral("COUNT(*)")};
    for (const Column& column : columns) {
        if (column.number)
            parts << QStringLiteral("SUM(%1)").arg(bareName(column.name));
    }
    QList<double> values;
    connection.select(QStringLiteral("SELECT %1 FROM %2").arg(parts.join(QStringLiteral(", ")), bareName(table)), {},
                      {}, [&](const QSqlQuery& row) {
                          for (int i = 0; i < parts.size(); ++i)
                              values << row.value(i).toDouble();
                      });
    return values;
}

bool sameTotals(const QList<double>& a, const QList<double>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        // Amounts are yen with at most a fraction from a rate: a hundredth of a yen is a difference.
        if (std::abs(a.at(i) - b.at(i)) > 0.005 + 1e-9 * std::abs(a.at(i)))
            return false;
    }
    return true;
}

// Copies one table's rows with their keys, in key order, batch by batch.
qint64 copyRows(Connection& from, Connection& to, const QString& table, const QList<Column>& columns) {
    const QString key = from.engine().rowKey();
    QStringList names;
    QStringList marks;
    for (const Column& column : columns) {
        names << bareName(column.name);
        marks << QStringLiteral("?");
    }
    const QString select = QStringLiteral("SELECT %1 FROM %2 WHERE %3 > ? ORDER BY %3")
                               .arg(names.join(QStringLiteral(", ")), bareName(table), key) +
                           from.engine().limit(BatchRows);
    const QString insert =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(bareName(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    qsizetype keyAt = -1;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns.at(i).name.compare(key, Qt::CaseInsensitive) == 0)
            keyAt = i;
    }
    if (keyAt < 0)
        throw DbError(QStringLiteral("表 %1 に行キーがありません。").arg(table), {}, from.filePath());
    qint64 copied = 0;
    qint64 last = std::numeric_limits<qint64>::min();
    while (true) {
        QList<QVariantList> batch;
        from.select(select, {last}, {}, [&](const QSqlQuery& row) {
            QVariantList values;
            for (int i = 0; i < columns.size(); ++i)
                values << row.value(i);
            batch << values;
        });
        if (batch.isEmpty())
            break;
        last = batch.constLast().at(keyAt).toLongLong();
        qsizetype next = 0;
        to.execEach(insert, [&](QVariantList& binds) {
            if (next == batch.size())
                return false;
            binds = batch.at(next++);
            return true;
        });
        copied += batch.size();
        if (batch.size() < BatchRows)
            break;
    }
    const QString keysGiven = to.engine().keysGiven(table);
    if (!keysGiven.isEmpty())
        control(to, keysGiven);
    return copied;
}

} // namespace

namespace {

// Every table of one database (its own record of version and file aside) replaced by the
// source's rows inside the target's write transaction, checked by rows and totals.
void copyTables(const QString& name, Connection& from, Connection& to, QList<CopiedTable>& copied) {
    for (const QString& table : from.tableNames()) {
        if (table.compare(QLatin1String("SchemaMeta"), Qt::CaseInsensitive) == 0)
            continue;
        to.exec(QStringLiteral("DELETE FROM %1").arg(bareName(table)));
        const QList<Column> columns = columnsOf(from, table);
        const qint64 rows = copyRows(from, to, table, columns);
        const QList<double> before = tally(from, table, columns);
        const QList<double> after = tally(to, table, columns);
        if (!sameTotals(before, after))
            throw DbError(QStringLiteral("%1 の表 %2 は写した後の行数か合計が元と違います。何も写していません。")
                              .arg(name, table),
                          {}, to.filePath());
        copied << CopiedTable{name, table, rows, int(before.size()) - 1};
    }
}

QList<std::shared_ptr<Connection>> openInn(const QString& dir, bool anyVersion = false) {
    // Read and written through the suite's own checks: an inn of the current version.
    QList<std::shared_ptr<Connection>> connections;
    for (const QString& name : Schema::fileNames())
        connections << (anyVersion ? Connection::openAnyVersion(Engine::locationOf(dir, name))
                                   : Connection::open(dir, name));
    return connections;
}

QList<CopiedTable> copyInto(QList<std::shared_ptr<Connection>> sources, const QString& target) {
    Schema::createDataDirectory(target);
    QList<CopiedTable> copied;
    try {
        for (qsizetype f = 0; f < sources.size(); ++f) {
            const QString name = Schema::fileNames().at(f);
            const auto to = Connection::open(target, name);
            const ReadTransaction read(*sources.at(f));
            Transaction write(*to);
            copyTables(name, *sources.at(f), *to, copied);
            write.commit();
        }
    } catch (...) {
        sources.clear();
        // Takes away what it made; what is left is refused by the next copy, which names it.
        DataLocation::of(target)->remove();
        throw;
    }
    analyzeServer(target);
    return copied;
}

} // namespace

QList<CopiedTable> copyInn(const QString& source, const QString& target) {
    return copyInto(openInn(source), target);
}

QList<CopiedTable> copyOlderInn(const QString& source, const QString& target) {
    return copyInto(openInn(source, true), target);
}

QList<CopiedTable> replaceInn(const QString& source, const QString& target) {
    const QList<std::shared_ptr<Connection>> sources = openInn(source);
    const QList<std::shared_ptr<Connection>> targets = openInn(target);
    QList<CopiedTable> copied;
    // Every database written in a transaction of its own, all five held open until the last
    // is copied, then committed one after the other: a failure before the commits changes
    // nothing, and a desk's save meanwhile waits and lands in the restored inn.
    std::vector<std::unique_ptr<Transaction>> writes;
    for (qsizetype f = 0; f < sources.size(); ++f) {
        writes.push_back(std::make_unique<Transaction>(*targets.at(f)));
        const ReadTransaction read(*sources.at(f));
        copyTables(Schema::fileNames().at(f), *sources.at(f), *targets.at(f), copied);
    }
    for (const auto& write : writes)
        write->commit();
    analyzeServer(target);
    return copied;
}

void analyzeServer(const QString& address) {
    DataLocation::of(address)->settle();
}

} // namespace desk::maintenance
