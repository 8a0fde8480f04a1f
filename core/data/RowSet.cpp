#include "RowSet.h"

#include "ColumnType.h"
#include "Connection.h"
#include "Criterion.h"
#include "DbError.h"
#include "Sql.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>

#include <limits>

namespace desk {

namespace {

QString quoteName(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString typeLabel(ColumnType type) {
    switch (type) {
    case ColumnType::Untyped:
        return QStringLiteral("untyped");
    case ColumnType::Text:
        return QStringLiteral("text");
    case ColumnType::Int16:
        return QStringLiteral("16-bit integer");
    case ColumnType::Int32:
        return QStringLiteral("32-bit integer");
    case ColumnType::Int64:
        return QStringLiteral("integer");
    case ColumnType::Double:
        return QStringLiteral("number");
    case ColumnType::Bool:
        return QStringLiteral("True/False");
    case ColumnType::Date:
        return QStringLiteral("date");
    case ColumnType::DateTime:
        return QStringLiteral("date and time");
    }
    return {};
}

// "Reserve", "[Reserve]"
const QRegularExpression& bareName() {
    static const QRegularExpression re(QStringLiteral(R"(^\s*(\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_]*)\s*$)"));
    return re;
}

// "SELECT * FROM t [WHERE ...]" over one base table: updatable, the WHERE part applied to
// every query. Anything that sorts, groups or combines is an ordinary statement.
const QRegularExpression& simpleSelect() {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+(\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_]*)\s*(?:where\s+(.+))?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return re;
}

const QRegularExpression& reshapingWord() {
    static const QRegularExpression re(
        QStringLiteral(R"(\b(order|group|having|limit|union|intersect|except|offset|window)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

QString unbracket(const QString& name) {
    const QString t = name.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2);
    return t;
}

} // namespace

class RowSet::Private {
public:
    enum class Mode { Table, Statement };
    enum class Pos { Unresolved, Row, Bof, Eof, Deleted };
    enum class Edit { None, AddNew, Change };
    enum class Tri { Unknown, Yes, No };

    // Declared first so that it goes last: every query below must be gone before the
    // connection is.
    std::shared_ptr<Connection> conn;
    QString source;
    Mode mode = Mode::Table;
    bool closed = false;

    QStringList names;
    QList<ColumnType> types;
    QHash<QString, int> index; // lower-case name → column

    // table mode
    QString table;
    QString filter;
    QVariantList filterBinds;         // the values of the filter's "?" marks, bound first
    QMap<int, QVariant> newRowValues; // storage form
    std::unique_ptr<QSqlQuery> qFirst, qNext, qPrev, qLast, qAt, qCount, qExists, qDelete;
    QHash<QString, std::shared_ptr<QSqlQuery>> qFind;

    // statement mode
    QString sql;
    QVariantList sqlBinds;
    QString fromHint;
    std::unique_ptr<QSqlQuery> qStatement;
    bool loaded = false;
    QVector<QVector<QVariant>> rows;

    // position: a rowid in table mode, a row index in statement mode
    Pos pos = Pos::Unresolved;
    qint64 key = 0;
    Tri empty = Tri::Unknown;
    QVector<QVariant> row; // storage form
    bool rowValid = false;

    Edit edit = Edit::None;
    QMap<int, QVariant> pending; // storage form
    Pos savedPos = Pos::Unresolved;
    qint64 savedKey = 0;

    [[noreturn]] void fail(const QString& message, const QString& statement = {}) const {
        throw DbError(message, statement.isEmpty() ? source : statement, conn ? conn->filePath() : QString());
    }

    void ensureOpen() const {
        if (closed)
            fail(QStringLiteral("The row set is closed"));
    }

    void ensureUpdatable() const {
        if (mode != Mode::Table)
            fail(QStringLiteral("The row set is read-only: it is not over one base table"));
    }

    int columnIndex(const QString& name) {
        if (mode == Mode::Statement)
            load();
        const auto it = index.constFind(name.trimmed().toLower());
        if (it == index.constEnd())
            fail(QStringLiteral("The row set has no column named \"%1\"").arg(name));
        return it.value();
    }

    void setColumns(const QStringList& columnNames, const QList<ColumnType>& columnTypes) {
        names = columnNames;
        types = columnTypes;
        index.clear();
        for (int i = 0; i < names.size(); ++i) {
            const QString key = names.at(i).toLower();
            if (!index.contains(key))
                index.insert(key, i);
        }
    }

    QSqlQuery& prepared(std::unique_ptr<QSqlQuery>& slot, const QString& statement) {
        if (!slot) {
            auto query = std::make_unique<QSqlQuery>(conn->database());
            query->setForwardOnly(true);
            if (!query->prepare(statement))
                fail(query->lastError().text(), statement);
            slot = std::move(query);
        }
        return *slot;
    }

    void run(QSqlQuery& query) {
        if (!query.exec())
            fail(query.lastError().text(), query.lastQuery());
    }

    // Binds the filter's values; the query's own values follow from the index returned.
    int bindFilter(QSqlQuery& query) const {
        for (int i = 0; i < filterBinds.size(); ++i)
            query.bindValue(i, filterBinds.at(i));
        return static_cast<int>(filterBinds.size());
    }

    // A write the engine refuses; a duplicate key is named with the value written.
    void runWrite(QSqlQuery& query) {
        if (query.exec())
            return;
        throw DbError::fromEngine(query.lastError().text(), query.lastQuery(), conn->filePath(),
                                  [&](const QString& column) -> QVariant {
                                      const auto it = index.constFind(column.toLower());
                                      if (it == index.constEnd())
                                          return {};
                                      const auto value = pending.constFind(it.value());
                                      if (value != pending.constEnd())
                                          return value.value();
                                      return rowValid ? row.value(it.value()) : QVariant();
                                  });
    }

    // --- table mode -----------------------------------------------------------------

    QString selectRows() const { return QStringLiteral("SELECT rowid, * FROM ") + quoteName(table); }

    QString whereAll() const {
        return filter.isEmpty() ? QString() : QString(QStringLiteral(" WHERE (") + filter + u')');
    }

    QString whereAnd(const QString& condition) const {
        if (filter.isEmpty())
            return QStringLiteral(" WHERE ") + condition;
        return QStringLiteral(" WHERE (") + filter + QStringLiteral(") AND ") + condition;
    }

    void openTable(const QString& name, const QString& where, const QVariantList& whereBinds) {
        mode = Mode::Table;
        table = name;
        filter = where;
        filterBinds = whereBinds;
        QStringList columnNames;
        QList<ColumnType> columnTypes;
        for (const Connection::Column& c : conn->columns(table)) {
            columnNames << c.name;
            columnTypes << columntype::fromDeclared(c.declaredType);
        }
        setColumns(columnNames, columnTypes);
        // Compiles the filter now, so a bad statement fails at open; no row is read.
        prepared(qFirst, selectRows() + whereAll() + QStringLiteral(" ORDER BY rowid LIMIT 1"));
    }

    // Runs a positioning query; true and the row loaded when it found one.
    bool fetch(QSqlQuery& query) {
        run(query);
        const bool found = query.next();
        if (found) {
            key = query.value(0).toLongLong();
            row.resize(names.size());
            for (int i = 0; i < names.size(); ++i)
                row[i] = query.value(i + 1);
            rowValid = true;
            pos = Pos::Row;
            empty = Tri::No;
        }
        query.finish();
        return found;
    }

    bool fetchFirst() {
        QSqlQuery& q = prepared(qFirst, {});
        bindFilter(q);
        return fetch(q);
    }

    bool fetchAfter(qint64 rowid) {
        QSqlQuery& q = prepared(qNext, selectRows() + whereAnd(QStringLiteral("rowid > ?")) +
                                           QStringLiteral(" ORDER BY rowid LIMIT 1"));
        q.bindValue(bindFilter(q), rowid);
        return fetch(q);
    }

    bool fetchBefore(qint64 rowid) {
        QSqlQuery& q = prepared(qPrev, selectRows() + whereAnd(QStringLiteral("rowid < ?")) +
                                           QStringLiteral(" ORDER BY rowid DESC LIMIT 1"));
        q.bindValue(bindFilter(q), rowid);
        return fetch(q);
    }

    bool fetchLast() {
        QSqlQuery& q = prepared(qLast, selectRows() + whereAll() + QStringLiteral(" ORDER BY rowid DESC LIMIT 1"));
        bindFilter(q);
        return fetch(q);
    }

    bool fetchAt(qint64 rowid) {
        QSqlQuery& q = prepared(qAt, selectRows() + QStringLiteral(" WHERE rowid = ?"));
        q.bindValue(0, rowid);
        return fetch(q);
    }

    bool tableIsEmpty() {
        QSqlQuery& q =
            prepared(qExists, QStringLiteral("SELECT EXISTS(SELECT 1 FROM ") + quoteName(table) + whereAll() + u')');
        bindFilter(q);
        run(q);
        const bool isEmpty = q.next() && q.value(0).toLongLong() == 0;
        q.finish();
        return isEmpty;
    }

    // --- statement mode -------------------------------------------------------------

    void openStatement(const QString& statement, const QVariantList& binds, const QString& hint) {
        mode = Mode::Statement;
        sql = statement;
        sqlBinds = binds;
        fromHint = hint;
        const QString head = Sql::maskLiterals(sql).trimmed().left(6).toUpper();
        if (!head.startsWith(QLatin1String("SELECT")) && !head.startsWith(QLatin1String("WITH")))
            fail(QStringLiteral("A row set can only be opened on a table, a saved query or a SELECT statement"));
        prepared(qStatement, sql);
    }

    void load() {
        if (loaded)
            return;
        QSqlQuery& q = prepared(qStatement, sql);
        for (int i = 0; i < sqlBinds.size(); ++i)
            q.bindValue(i, sqlBinds.at(i));
        run(q);
        const QSqlRecord record = q.record();
        QStringList columnNames;
        QList<ColumnType> columnTypes;
        for (int i = 0; i < record.count(); ++i) {
            const QSqlField field = record.field(i);
            QString declared = fromHint.isEmpty() ? QString() : conn->declaredType(field.name(), fromHint);
            if (declared.isEmpty())
                declared = conn->declaredType(field.name(), field.tableName());
            columnNames << field.name();
            columnTypes << columntype::fromDeclared(declared);
        }
        setColumns(columnNames, columnTypes);
        rows.clear();
        while (q.next()) {
            QVector<QVariant> values(record.count());
            for (int i = 0; i < record.count(); ++i)
                values[i] = q.value(i);
            rows.append(values);
        }
        q.finish();
        loaded = true;
        empty = rows.isEmpty() ? Tri::Yes : Tri::No;
    }

    bool showIndex(qint64 i) {
        if (i < 0 || i >= rows.size())
            return false;
        key = i;
        row = rows.at(i);
        rowValid = true;
        pos = Pos::Row;
        return true;
    }

    // --- shared ---------------------------------------------------------------------

    void atEnd(Pos end, bool setIsEmpty) {
        pos = end;
        rowValid = false;
        if (setIsEmpty)
            empty = Tri::Yes;
    }

    void resolve() {
        if (pos != Pos::Unresolved)
            return;
        if (mode == Mode::Statement) {
            load();
            if (!showIndex(0))
                atEnd(Pos::Eof, true);
        } else if (!fetchFirst()) {
            atEnd(Pos::Eof, true);
        }
    }

    bool isEmptySet() {
        if (empty == Tri::Unknown) {
            if (mode == Mode::Statement)
                load();
            else
                empty = tableIsEmpty() ? Tri::Yes : Tri::No;
        }
        return empty == Tri::Yes;
    }

    void requireRow() {
        resolve();
        switch (pos) {
        case Pos::Row:
            break;
        case Pos::Eof:
            fail(QStringLiteral("No current row: the row set is at end-of-set"));
        case Pos::Bof:
            fail(QStringLiteral("No current row: the row set is at beginning-of-set"));
        case Pos::Deleted:
            fail(QStringLiteral("No current row: the current row has been deleted"));
        case Pos::Unresolved:
            break;
        }
        if (!rowValid && mode == Mode::Table && !fetchAt(key))
            fail(QStringLiteral("The current row no longer exists in table %1").arg(table));
    }

    void writePending() {
        if (edit == Edit::None)
            return;
        if (edit == Edit::AddNew) {
            for (auto it = newRowValues.constBegin(); it != newRowValues.constEnd(); ++it) {
                if (!pending.contains(it.key()))
                    pending.insert(it.key(), it.value());
            }
            QString statement;
            if (pending.isEmpty()) {
                statement = QStringLiteral("INSERT INTO ") + quoteName(table) + QStringLiteral(" DEFAULT VALUES");
            } else {
                QStringList columns;
                QStringList marks;
                for (auto it = pending.constBegin(); it != pending.constEnd(); ++it) {
                    columns << quoteName(names.at(it.key()));
                    marks << QStringLiteral("?");
                }
                statement = QStringLiteral("INSERT INTO ") + quoteName(table) + QStringLiteral(" (") +
                            columns.join(QLatin1String(", ")) + QStringLiteral(") VALUES (") +
                            marks.join(QLatin1String(", ")) + u')';
            }
            QSqlQuery q(conn->database());
            if (!q.prepare(statement))
                fail(q.lastError().text(), statement);
            for (const QVariant& v : std::as_const(pending))
                q.addBindValue(v);
            runWrite(q);
            key = q.lastInsertId().toLongLong();
            q.finish();
            pos = Pos::Row;
            empty = Tri::No;
        } else {
            QStringList sets;
            for (auto it = pending.constBegin(); it != pending.constEnd(); ++it)
                sets << quoteName(names.at(it.key())) + QStringLiteral(" = ?");
            const QString statement = QStringLiteral("UPDATE ") + quoteName(table) + QStringLiteral(" SET ") +
                                      sets.join(QLatin1String(", ")) + QStringLiteral(" WHERE rowid = ?");
            QSqlQuery q(conn->database());
            if (!q.prepare(statement))
                fail(q.lastError().text(), statement);
            for (const QVariant& v : std::as_const(pending))
                q.addBindValue(v);
            q.addBindValue(key);
            runWrite(q);
            const int affected = q.numRowsAffected();
            q.finish();
            if (affected == 0)
                fail(QStringLiteral("The current row no longer exists in table %1").arg(table), statement);
        }
        rowValid = false;
        edit = Edit::None;
        pending.clear();
    }

    void discardPending() {
        if (edit == Edit::AddNew) {
            pos = savedPos;
            key = savedKey;
            rowValid = false;
        }
        edit = Edit::None;
        pending.clear();
    }
};

RowSet::RowSet(std::shared_ptr<Connection> connection, const QString& source, const QVariantList& binds)
    : d(std::make_unique<Private>()) {
    d->conn = std::move(connection);
    d->source = source;
    if (!d->conn)
        throw DbError(QStringLiteral("A row set needs an open connection"), source);

    const auto name = bareName().match(source);
    if (name.hasMatch()) {
        const Connection::Object object = d->conn->object(unbracket(name.captured(1)));
        if (object.kind == QLatin1String("table"))
            d->openTable(object.name, {}, {});
        else if (object.kind == QLatin1String("view"))
            d->openStatement(QStringLiteral("SELECT * FROM ") + quoteName(object.name), {}, object.name);
        else
            d->fail(QStringLiteral("There is no table or saved query named \"%1\"").arg(source.trimmed()));
        return;
    }

    const Sql::Bound bound(Sql::translate(source));
    const QString translated = bound.sql();
    const QVariantList values = bound.values(binds);
    const QString masked = Sql::maskLiterals(translated);
    const auto simple = simpleSelect().match(masked);
    if (simple.hasMatch()) {
        const Connection::Object object = d->conn->object(unbracket(simple.captured(1)));
        const bool reshaped = simple.capturedLength(2) > 0 && reshapingWord().match(simple.captured(2)).hasMatch();
        if (object.kind == QLatin1String("table") && !reshaped) {
            const QString where =
                simple.capturedLength(2) > 0 ? translated.mid(simple.capturedStart(2)).trimmed() : QString();
            // Nothing before WHERE takes a value, so every value belongs to the filter.
            d->openTable(object.name, where, values);
            return;
        }
        if (object.kind.isEmpty())
            d->fail(QStringLiteral("There is no table or saved query named \"%1\"").arg(simple.captured(1)));
        d->openStatement(translated, values, object.name);
        return;
    }
    static const QRegularExpression from(QStringLiteral(R"(\bfrom\s+(\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_]*))"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto hint = from.match(masked);
    d->openStatement(translated, values, hint.hasMatch() ? unbracket(hint.captured(1)) : QString());
}

RowSet::~RowSet() = default;

bool RowSet::isUpdatable() const {
    d->ensureOpen();
    return d->mode == Private::Mode::Table;
}

QStringList RowSet::columnNames() const {
    d->ensureOpen();
    if (d->mode == Private::Mode::Statement)
        d->load();
    return d->names;
}

int RowSet::recordCount() const {
    d->ensureOpen();
    if (d->mode == Private::Mode::Statement) {
        d->load();
        return static_cast<int>(d->rows.size());
    }
    QSqlQuery& q =
        d->prepared(d->qCount, QStringLiteral("SELECT COUNT(*) FROM ") + quoteName(d->table) + d->whereAll());
    d->bindFilter(q);
    d->run(q);
    const int count = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return count;
}

bool RowSet::isEmpty() const {
    d->ensureOpen();
    return d->isEmptySet();
}

bool RowSet::eof() const {
    d->ensureOpen();
    d->resolve();
    return d->pos == Private::Pos::Eof || (d->pos == Private::Pos::Bof && d->isEmptySet());
}

bool RowSet::bof() const {
    d->ensureOpen();
    d->resolve();
    return d->pos == Private::Pos::Bof || (d->pos == Private::Pos::Eof && d->isEmptySet());
}

void RowSet::moveFirst() {
    d->ensureOpen();
    d->writePending();
    if (d->mode == Private::Mode::Statement) {
        d->load();
        if (!d->showIndex(0))
            d->atEnd(Private::Pos::Eof, true);
    } else if (!d->fetchFirst()) {
        d->atEnd(Private::Pos::Eof, true);
    }
}

void RowSet::moveNext() {
    d->ensureOpen();
    d->writePending();
    if (d->pos == Private::Pos::Unresolved) {
        d->resolve();
        if (d->pos != Private::Pos::Row)
            return;
    }
    switch (d->pos) {
    case Private::Pos::Eof:
        return;
    case Private::Pos::Bof:
        moveFirst();
        return;
    default:
        break;
    }
    const qint64 from = d->key;
    const bool found = d->mode == Private::Mode::Statement ? d->showIndex(from + 1) : d->fetchAfter(from);
    if (!found) {
        d->atEnd(Private::Pos::Eof, false);
        if (d->mode == Private::Mode::Statement)
            d->key = d->rows.size();
    }
}

void RowSet::movePrevious() {
    d->ensureOpen();
    d->writePending();
    if (d->pos == Private::Pos::Unresolved) {
        d->resolve();
        if (d->pos != Private::Pos::Row)
            return;
    }
    switch (d->pos) {
    case Private::Pos::Bof:
        return;
    case Private::Pos::Eof:
        moveLast();
        return;
    default:
        break;
    }
    const qint64 from = d->key;
    const bool found = d->mode == Private::Mode::Statement ? d->showIndex(from - 1) : d->fetchBefore(from);
    if (!found) {
        d->atEnd(Private::Pos::Bof, false);
        if (d->mode == Private::Mode::Statement)
            d->key = -1;
    }
}

void RowSet::moveLast() {
    d->ensureOpen();
    d->writePending();
    if (d->mode == Private::Mode::Statement) {
        d->load();
        if (!d->showIndex(d->rows.size() - 1))
            d->atEnd(Private::Pos::Eof, true);
    } else if (!d->fetchLast()) {
        d->atEnd(Private::Pos::Eof, true);
    }
}

bool RowSet::find(const QString& criterion) {
    d->ensureOpen();
    Criterion parsed = [&] {
        try {
            return Criterion::parse(criterion);
        } catch (const DbError& e) {
            throw DbError(e.message(), criterion, d->conn->filePath());
        }
    }();
    const int column = [&] {
        if (d->mode == Private::Mode::Statement)
            d->load();
        const auto it = d->index.constFind(parsed.column().toLower());
        if (it == d->index.constEnd())
            throw DbError(QStringLiteral("The row set has no column named \"%1\"").arg(parsed.column()), criterion,
                          d->conn->filePath());
        return it.value();
    }();
    d->writePending();
    d->resolve();

    // The search starts on the current row itself; after a delete, on the row after it.
    qint64 start = 0;
    switch (d->pos) {
    case Private::Pos::Eof:
        return false;
    case Private::Pos::Bof:
    case Private::Pos::Unresolved:
        start = d->mode == Private::Mode::Statement ? 0 : std::numeric_limits<qint64>::min();
        break;
    case Private::Pos::Row:
        start = d->key;
        break;
    case Private::Pos::Deleted:
        start = d->key + 1;
        break;
    }

    const ColumnType type = d->types.at(column);
    if (d->mode == Private::Mode::Statement) {
        for (qint64 i = std::max<qint64>(start, 0); i < d->rows.size(); ++i) {
            if (parsed.matches(d->rows.at(i).at(column), type))
                return d->showIndex(i);
        }
        d->atEnd(Private::Pos::Eof, false);
        d->key = d->rows.size();
        return false;
    }

    const QString cacheKey = QString::number(column) + u'|' + parsed.op() + u'|' + (parsed.isNull() ? u'n' : u'v');
    std::shared_ptr<QSqlQuery>& slot = d->qFind[cacheKey];
    if (!slot) {
        QString condition;
        const QString name = quoteName(d->names.at(column));
        if (parsed.isNull())
            condition = name + (parsed.op() == QLatin1String("=") ? QStringLiteral(" IS NULL")
                                                                  : QStringLiteral(" IS NOT NULL"));
        else
            condition = name + u' ' + parsed.op() + QStringLiteral(" ?");
        const QString statement = d->selectRows() + d->whereAnd(condition + QStringLiteral(" AND rowid >= ?")) +
                                  QStringLiteral(" ORDER BY rowid LIMIT 1");
        std::unique_ptr<QSqlQuery> query;
        d->prepared(query, statement);
        slot = std::shared_ptr<QSqlQuery>(std::move(query));
    }
    QSqlQuery& q = *slot;
    int bind = d->bindFilter(q);
    if (!parsed.isNull())
        q.bindValue(bind++, parsed.operand(type));
    q.bindValue(bind, start);
    if (d->fetch(q))
        return true;
    d->atEnd(Private::Pos::Eof, false);
    return false;
}

RowSet::Bookmark RowSet::bookmark() const {
    d->ensureOpen();
    d->requireRow();
    return d->key;
}

void RowSet::setBookmark(Bookmark bookmark) {
    d->ensureOpen();
    d->writePending();
    if (d->mode == Private::Mode::Statement) {
        d->load();
        if (!d->showIndex(bookmark))
            d->fail(QStringLiteral("The bookmark does not name a row of this row set"));
        return;
    }
    if (!d->fetchAt(bookmark))
        d->fail(QStringLiteral("The bookmarked row no longer exists in table %1").arg(d->table));
}

QList<RowSet::Bookmark> RowSet::bookmarks() const {
    d->ensureOpen();
    d->writePending();
    QList<Bookmark> keys;
    if (d->mode == Private::Mode::Statement) {
        d->load();
        keys.reserve(d->rows.size());
        for (qint64 i = 0; i < d->rows.size(); ++i)
            keys.append(i);
        return keys;
    }
    QSqlQuery q(d->conn->database());
    q.setForwardOnly(true);
    const QString statement =
        QStringLiteral("SELECT rowid FROM ") + quoteName(d->table) + d->whereAll() + QStringLiteral(" ORDER BY rowid");
    if (!q.prepare(statement))
        d->fail(q.lastError().text(), statement);
    d->bindFilter(q);
    d->run(q);
    while (q.next())
        keys.append(q.value(0).toLongLong());
    return keys;
}

void RowSet::addNew() {
    d->ensureOpen();
    d->ensureUpdatable();
    d->writePending();
    d->savedPos = d->pos;
    d->savedKey = d->key;
    d->edit = Private::Edit::AddNew;
    d->pending.clear();
}

void RowSet::setNewRowValue(const QString& column, const QVariant& value) {
    d->ensureOpen();
    d->ensureUpdatable();
    const int i = d->columnIndex(column);
    bool ok = false;
    const QVariant stored = columntype::toStorage(d->types.at(i), value, &ok);
    if (!ok)
        d->fail(QStringLiteral("Column %1 (%2) cannot hold the value \"%3\"")
                    .arg(d->names.at(i), typeLabel(d->types.at(i)), value.toString()));
    d->newRowValues.insert(i, stored);
}

void RowSet::setValue(const QString& column, const QVariant& value) {
    d->ensureOpen();
    d->ensureUpdatable();
    const int i = d->columnIndex(column);
    bool ok = false;
    const QVariant stored = columntype::toStorage(d->types.at(i), value, &ok);
    if (!ok)
        d->fail(QStringLiteral("Column %1 (%2) cannot hold the value \"%3\"")
                    .arg(d->names.at(i), typeLabel(d->types.at(i)), value.toString()));
    if (d->edit == Private::Edit::None) {
        d->requireRow();
        d->edit = Private::Edit::Change;
    }
    d->pending.insert(i, stored);
}

void RowSet::update() {
    d->ensureOpen();
    d->writePending();
}

void RowSet::cancelUpdate() {
    d->ensureOpen();
    d->discardPending();
}

void RowSet::remove() {
    d->ensureOpen();
    d->ensureUpdatable();
    if (d->edit == Private::Edit::AddNew) {
        d->discardPending();
        return;
    }
    d->discardPending();
    d->requireRow();
    const QString statement = QStringLiteral("DELETE FROM ") + quoteName(d->table) + QStringLiteral(" WHERE rowid = ?");
    QSqlQuery& q = d->prepared(d->qDelete, statement);
    q.bindValue(0, d->key);
    d->run(q);
    q.finish();
    d->pos = Private::Pos::Deleted;
    d->rowValid = false;
    d->empty = Private::Tri::Unknown;
}

QVariant RowSet::value(const QString& column) const {
    return value(d->columnIndex(column));
}

QVariant RowSet::value(int column) const {
    d->ensureOpen();
    if (d->mode == Private::Mode::Statement)
        d->load();
    if (column < 0 || column >= d->names.size())
        d->fail(QStringLiteral("The row set has no column %1").arg(column));
    const ColumnType type = d->types.at(column);
    if (d->edit != Private::Edit::None) {
        const auto it = d->pending.constFind(column);
        if (it != d->pending.constEnd())
            return columntype::fromStorage(type, it.value());
        if (d->edit == Private::Edit::AddNew)
            return {};
    }
    d->requireRow();
    return columntype::fromStorage(type, d->row.at(column));
}

void RowSet::requery() {
    d->ensureOpen();
    d->writePending();
    d->pos = Private::Pos::Unresolved;
    d->rowValid = false;
    d->empty = Private::Tri::Unknown;
    if (d->mode == Private::Mode::Statement) {
        d->loaded = false;
        d->rows.clear();
    }
}

void RowSet::close() {
    if (d->closed)
        return;
    d->discardPending();
    d->qFirst.reset();
    d->qNext.reset();
    d->qPrev.reset();
    d->qLast.reset();
    d->qAt.reset();
    d->qCount.reset();
    d->qExists.reset();
    d->qDelete.reset();
    d->qFind.clear();
    d->qStatement.reset();
    d->rows.clear();
    d->closed = true;
}

Connection& RowSet::connection() const {
    return *d->conn;
}

} // namespace desk
