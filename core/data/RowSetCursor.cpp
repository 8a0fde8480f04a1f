#include "RowSetCursor.h"

#include "Connection.h"
#include "DbError.h"
#include "Engine.h"

#include <QSqlError>

namespace desk {

namespace {

QString typeLabel(ColumnType type) {
    switch (type) {
    case ColumnType::Untyped:
        return QStringLiteral("型なし");
    case ColumnType::Text:
        return QStringLiteral("文字");
    case ColumnType::Int16:
        return QStringLiteral("16ビット整数");
    case ColumnType::Int32:
        return QStringLiteral("32ビット整数");
    case ColumnType::Int64:
        return QStringLiteral("整数");
    case ColumnType::Double:
        return QStringLiteral("数値");
    case ColumnType::Bool:
        return QStringLiteral("True/False");
    case ColumnType::Date:
        return QStringLiteral("日付");
    case ColumnType::DateTime:
        return QStringLiteral("日付と時刻");
    }
    return {};
}

} // namespace

QString rowset::quoteName(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

RowSetCursor::RowSetCursor(std::shared_ptr<Connection> connection, const QString& sourceText)
    : conn(std::move(connection))
    , source(sourceText) {}

RowSetCursor::~RowSetCursor() = default;

void RowSetCursor::fail(const QString& message, const QString& statement) const {
    throw DbError(message, statement.isEmpty() ? source : statement, conn ? conn->filePath() : QString());
}

void RowSetCursor::failEngine(const QSqlError& error, const QString& statement) const {
    throw conn->engine().failure(error, statement.isEmpty() ? source : statement, conn->filePath());
}

void RowSetCursor::ensureOpen() const {
    if (closed)
        fail(QStringLiteral("このレコードセットは閉じられています。"));
}

void RowSetCursor::ensureUpdatable() const {
    if (!isUpdatable())
        fail(QStringLiteral("このレコードセットは読み取り専用です（一つの表の上に開かれていません）。"));
}

void RowSetCursor::addNew() {
    ensureUpdatable();
}

void RowSetCursor::setNewRowValue(int, const QVariant&) {
    ensureUpdatable();
}

void RowSetCursor::setValue(int, const QVariant&) {
    ensureUpdatable();
}

void RowSetCursor::remove() {
    ensureUpdatable();
}

bool RowSetCursor::pendingValue(int, QVariant*) const {
    return false;
}

int RowSetCursor::columnIndex(const QString& name) {
    ensureColumns();
    const auto it = index.constFind(name.trimmed().toLower());
    if (it == index.constEnd())
        fail(QStringLiteral("レコードセットに列「%1」がありません。").arg(name));
    return it.value();
}

QVariant RowSetCursor::storable(int column, const QVariant& value) const {
    bool ok = false;
    const QVariant stored = columntype::toStorage(types.at(column), value, &ok);
    if (!ok)
        fail(QStringLiteral("列 %1（%2）には値「%3」を入れられません。")
                 .arg(names.at(column), typeLabel(types.at(column)), value.toString()));
    return stored;
}

void RowSetCursor::setColumns(const QStringList& columnNames, const QList<ColumnType>& columnTypes) {
    names = columnNames;
    types = columnTypes;
    index.clear();
    for (int i = 0; i < names.size(); ++i) {
        const QString lower = names.at(i).toLower();
        if (!index.contains(lower))
            index.insert(lower, i);
    }
}

QSqlQuery& RowSetCursor::prepared(Connection::Compiled& slot, const QString& statement) {
    if (!slot) {
        Connection::Compiled query = conn->compiled(statement);
        if (query->lastError().isValid())
            failEngine(query->lastError(), statement);
        slot = std::move(query);
    }
    return *slot;
}

void RowSetCursor::run(QSqlQuery& query) {
    // A session lost and replaced since the query was compiled: made again on the live one.
    if (conn->isStale(query))
        conn->recompile(query);
    if (query.exec())
        return;
    if (conn->revived(query.lastError(), query.lastQuery())) {
        conn->recompile(query);
        if (query.exec())
            return;
    }
    failEngine(query.lastError(), query.lastQuery());
}

void RowSetCursor::atEnd(Pos end, bool setIsEmpty) {
    pos = end;
    rowValid = false;
    if (setIsEmpty)
        empty = Tri::Yes;
}

void RowSetCursor::resolve() {
    if (pos != Pos::Unresolved)
        return;
    if (!toFirst())
        atEnd(Pos::Eof, true);
}

bool RowSetCursor::isEmptySet() {
    if (empty == Tri::Unknown)
        empty = isEmptyNow() ? Tri::Yes : Tri::No;
    return empty == Tri::Yes;
}

void RowSetCursor::requireRow() {
    resolve();
    switch (pos) {
    case Pos::Row:
        break;
    case Pos::Eof:
        fail(QStringLiteral("現在の行がありません（レコードセットの終わりです）。"));
    case Pos::Bof:
        fail(QStringLiteral("現在の行がありません（レコードセットの始まりの前です）。"));
    case Pos::Deleted:
        fail(QStringLiteral("現在の行がありません（その行は削除されました）。"));
    case Pos::Unresolved:
        break;
    }
    if (!rowValid)
        reloadRow();
}

} // namespace desk
