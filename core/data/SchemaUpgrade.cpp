#include "SchemaUpgrade.h"

#include "Connection.h"
#include "DbError.h"
#include "Engine.h"
#include "ReferenceRows.h"
#include "Schema.h"
#include "SchemaCatalogue.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <memory>

namespace desk::Schema {

namespace {

// A statement in the engine's own words, outside the suite's dialect.
void runAsItStands(Connection& connection, const QString& statement) {
    QSqlQuery query(connection.database());
    if (!query.exec(statement))
        throw connection.engine().failure(query.lastError(), statement, connection.filePath());
}

} // namespace

void rebuildTable(Connection& connection, const QString& name, const QString& create) {
    const Connection::Object existing = connection.object(name);
    if (existing.kind != QLatin1String("table")) {
        connection.exec(create);
        return;
    }
    const Engine& engine = connection.engine();
    // Names unquoted, as the catalogue writes them: each engine finds them as it spells them.
    const QString old = name + QStringLiteral("_before_upgrade");
    for (const QString& statement : engine.renameTable(name, old))
        runAsItStands(connection, statement);
    connection.exec(create);
    const QString rowKey = QLatin1String(RowKeyColumn);
    const QList<Connection::Column> oldColumns = connection.columns(old);
    const auto hasColumn = [](const QList<Connection::Column>& columns, const QString& column) {
        return std::any_of(columns.cbegin(), columns.cend(), [&](const Connection::Column& c) {
            return c.name.compare(column, Qt::CaseInsensitive) == 0;
        });
    };
    // An old file's tables have no row key of their own: it is filled from the engine's row
    // number, so rows keep their order and their numbers.
    const QString source = hasColumn(oldColumns, rowKey) ? rowKey : engine.implicitRowKey();
    if (source.isEmpty())
        throw DbError(QStringLiteral("表 %1 に行キーがありません。").arg(name), {}, connection.filePath());
    QStringList common;
    for (const Connection::Column& column : connection.columns(name)) {
        if (column.name.compare(rowKey, Qt::CaseInsensitive) != 0 && hasColumn(oldColumns, column.name))
            common << column.name;
    }
    const QString list = common.join(QStringLiteral(", "));
    connection.exec(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT %4, %3 FROM %5 ORDER BY %4")
                        .arg(name, rowKey, list, source, old));
    connection.exec(QStringLiteral("DROP TABLE %1").arg(old));
    const QString keysGiven = engine.keysGiven(name);
    if (!keysGiven.isEmpty())
        runAsItStands(connection, keysGiven);
}

namespace {} // namespace

void dropViews(Connection& connection) {
    // The newest first: a view may read another made before it.
    QStringList views = connection.viewNames();
    std::reverse(views.begin(), views.end());
    for (const QString& view : std::as_const(views))
        connection.exec(QStringLiteral("DROP VIEW \"%1\"").arg(view));
}

namespace {

// Codes that a case-blind unique key would merge, refused by name before the key is made.
void refuseMergedCodes(Connection& connection, const QString& table, const QString& column, const QString& index) {
    QSqlQuery query(connection.database());
    query.exec(
        QStringLiteral("SELECT %2 FROM %1 WHERE %2 IS NOT NULL GROUP BY %2 HAVING COUNT(*) > 1").arg(table, column));
    QStringList taken;
    while (query.next())
        taken << query.value(0).toString();
    query.finish();
    if (!taken.isEmpty())
        throw DbError(QStringLiteral("%1 の %2 に、大文字と小文字だけが違う値があります: %3。"
                                     "どちらかを別の値に直してから、もう一度実行してください。")
                          .arg(table, column, taken.join(QStringLiteral(", "))),
                      index, connection.filePath(), DbError::Cause::DuplicateKey);
}

// Every table rebuilt as the catalogue has it (rebuildTable), indexes and saved queries made
// anew. Codes that case-blind unique keys would merge are refused by name.
void rebuildToCatalogue(Connection& connection, const QString& fileName) {
    const FileSchema file = catalogueOf(fileName);
    if (file.fileName.isEmpty())
        throw DbError(QStringLiteral("このファイル名の表の定義がありません。"), {}, connection.filePath());

    static const QRegularExpression uniqueIndex(QStringLiteral(R"(^CREATE UNIQUE INDEX \w+ ON (\w+) \((\w+)\))"));

    dropViews(connection);
    for (const Table& table : file.tables)
        rebuildTable(connection, table.name, table.statement(connection.engine()));
    QStringList after;
    for (const Table& table : file.tables)
        after << table.indexes << table.rules(connection.engine());
    for (const QString& statement : after + file.views) {
        const auto unique = uniqueIndex.match(statement);
        if (unique.hasMatch())
            refuseMergedCodes(connection, unique.captured(1), unique.captured(2), statement);
        connection.exec(statement);
    }
}

// 2 → 3: the tax settings. Commodities gain their tax class and service flag (standard rate
// with service, as every line was rung up so far), the profile the inn's service charge,
// rounding and invoice number, dbOptionBT.mdb the table of consumption-tax rates with the
// rates since 1997. Typed rates of saved slips are left as they are.
void addTaxSettings(Connection& connection, const QString& fileName) {
    rebuildToCatalogue(connection, fileName);
    if (fileName.compare(QLatin1String(DbFile::Option), Qt::CaseInsensitive) != 0)
        return;
    if (connection.scalar(QStringLiteral("SELECT COUNT(*) FROM TaxRates")).toInt() != 0)
        return;
    const Rows rates = taxRateRows();
    for (const QVariantList& values : rates.values)
        connection.exec(rates.statement, values);
}

// 3 → 4: the guest register. Every check-in already in the file gets its representative as
// its one guest, so the register covers the years before the list was kept; one statement,
// as a file may hold ten years of check-ins. Written as it was for version 3, whose tables
// knew only the rowid.
void addGuestRegister(Connection& connection, const QString& fileName) {
    rebuildToCatalogue(connection, fileName);
    if (fileName.compare(QLatin1String(DbFile::DaySalesCliants), Qt::CaseInsensitive) != 0)
        return;
    const auto part = [](const char* column) {
        return QStringLiteral("CASE WHEN ifnull(a.%1, '') <> '' THEN ' ' || a.%1 ELSE '' END")
            .arg(QLatin1String(column));
    };
    connection.exec(QStringLiteral("INSERT INTO CheckInGuests "
                                   "(CheckInNO, GuestNo, GuestName, GuestAdrs, GuestTelNo, Abroad, Nationality, "
                                   "PassportNo) "
                                   "SELECT c.CheckInNO, 1, ifnull(c.CheckInName, ''), ltrim(%1 || %2 || %3), "
                                   "ifnull(a.CheckInTelNo, ''), 0, '', '' "
                                   "FROM CheckInCliants c LEFT JOIN CheckInAdrs a ON a.CheckInNO = c.CheckInNO "
                                   "WHERE c.CheckInNO IS NOT NULL AND NOT EXISTS "
                                   "(SELECT 1 FROM CheckInGuests g WHERE g.CheckInNO = c.CheckInNO) "
                                   "ORDER BY c.rowid")
                        .arg(part("CheckInAdrs1"), part("CheckInAdrs2"), part("CheckInAdrs3")));
}

// 4 → 5: the bathing and accommodation taxes. No rules are set (an inn sets its own), no
// guest of a past check-in is exempt, and every commodity keeps a room share of 0: which
// plans are stays, and how much of them is the room, only the inn knows, and a guessed share
// would put guests in the wrong price band. The guide and deskadmin check say to set them.
void addLevies(Connection& connection, const QString& fileName) {
    rebuildToCatalogue(connection, fileName);
}

// 5 → 6: the row key. Every table, the version record included, is rebuilt with it; each
// row's key is the rowid it had, so no row changes its place or its number.
void addRowKeys(Connection& connection, const QString& fileName) {
    rebuildToCatalogue(connection, fileName);
    rebuildTable(connection, QStringLiteral("SchemaMeta"), metaTable().statement(connection.engine()));
}

// The room texts typed at check-in so far, each once as a case-blind key would keep it, read
// from the check-in file beside `connection`'s through a connection of its own (any version:
// the column is as old as the file). None when there is no check-in file there.
QStringList roomTextsAtCheckIn(Connection& connection) {
    const Engine& engine = connection.engine();
    const QString location =
        Engine::locationOf(engine.dataDirOf(connection.filePath()), QString::fromLatin1(DbFile::DaySalesCliants));
    std::shared_ptr<Connection> checkIns;
    try {
        checkIns = Connection::openAnyVersion(location);
    } catch (const DbError& e) {
        if (e.cause() == DbError::Cause::Missing)
            return {};
        throw;
    }
    QStringList texts;
    checkIns->select(QStringLiteral("SELECT DISTINCT trim(CheckInRoomNo) FROM CheckInCliants "
                                    "WHERE trim(ifnull(CheckInRoomNo, '')) <> ''"),
                     {}, {}, [&](const QSqlQuery& row) {
                         const QString text = row.value(0).toString();
                         const bool known = std::any_of(texts.cbegin(), texts.cend(), [&](const QString& t) {
                             return t.compare(text, Qt::CaseInsensitive) == 0;
                         });
                         if (!known)
                             texts << text;
                     });
    std::sort(texts.begin(), texts.end());
    return texts;
}

// 6 → 7: rooms, the stays in them, plans and meals. The option file gets the room types and
// one room per room text used at check-in, marked for the owner to check (type, capacity and
// floor are the owner's to set), so the history keeps naming rooms the inn has. The check-in
// file is read as it stands: a server upgrades the option file first, before a step holds the
// check-in file's tables (LocationUpgrade); on files each file's step is committed by itself.
void addRooms(Connection& connection, const QString& fileName) {
    rebuildToCatalogue(connection, fileName);
    if (fileName.compare(QLatin1String(DbFile::Option), Qt::CaseInsensitive) != 0)
        return;
    if (connection.scalar(QStringLiteral("SELECT COUNT(*) FROM RoomTypes")).toInt() == 0) {
        const Rows types = roomTypeRows();
        for (const QVariantList& values : types.values)
            connection.exec(types.statement, values);
    }
    if (connection.scalar(QStringLiteral("SELECT COUNT(*) FROM Rooms")).toInt() != 0)
        return;
    const QStringList texts = roomTextsAtCheckIn(connection);
    for (qsizetype i = 0; i < texts.size(); ++i)
        connection.exec(QStringLiteral("INSERT INTO Rooms (RoomCode, SortOrder, ToCheck) VALUES (?, ?, 1)"),
                        {texts.at(i), int((i + 1) * 10)});
}

} // namespace

const QList<UpgradeStep>& upgradeSteps() {
    // 1 → 2: the desk column of the work tables, text compared without regard to ASCII case.
    // The rebuild copies columns by name into the catalogue's tables, so a step whose version
    // only adds columns can rebuild again; one that moves or changes data does so after it.
    static const QList<UpgradeStep> steps{{1, rebuildToCatalogue}, {2, addTaxSettings}, {3, addGuestRegister},
                                          {4, addLevies},          {5, addRowKeys},     {6, addRooms}};
    return steps;
}

void runUpgradeSteps(Connection& connection, const QString& fileName, const QList<UpgradeStep>& steps, int target) {
    const int version = connection.schemaVersion();
    if (version > target)
        throw DbError(
            QStringLiteral("版 %1 のファイルです。このプログラムは版 %2 までしか扱えません。").arg(version).arg(target),
            {}, connection.filePath(), DbError::Cause::WrongVersion);
    // The whole chain is known before anything is changed.
    QList<const UpgradeStep*> chain;
    for (int from = version; from < target; ++from) {
        const auto step =
            std::find_if(steps.cbegin(), steps.cend(), [&](const UpgradeStep& s) { return s.from == from; });
        if (step == steps.cend())
            throw DbError(QStringLiteral("版 %1 のファイルを版 %2 へ移す手順がありません。").arg(version).arg(target),
                          {}, connection.filePath(), DbError::Cause::WrongVersion);
        chain << &*step;
    }
    if (chain.isEmpty())
        return;
    Transaction transaction(connection);
    for (const UpgradeStep* step : std::as_const(chain)) {
        step->run(connection, fileName);
        connection.exec(QStringLiteral("UPDATE SchemaMeta SET Value = ? WHERE Name = 'SchemaVersion'"),
                        {step->from + 1});
    }
    transaction.commit();
}

void upgradeFile(Connection& connection, const QString& fileName) {
    runUpgradeSteps(connection, fileName, upgradeSteps(), Version);
}

int oldestUpgradableVersion() {
    int oldest = Version;
    for (int from = Version - 1; from >= 1; --from) {
        const auto& steps = upgradeSteps();
        if (std::none_of(steps.cbegin(), steps.cend(), [&](const UpgradeStep& s) { return s.from == from; }))
            break;
        oldest = from;
    }
    return oldest;
}

} // namespace desk::Schema
