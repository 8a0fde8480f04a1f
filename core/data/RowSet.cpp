#include "RowSet.h"

#include "Connection.h"
#include "Engine.h"
#include "Criterion.h"
#include "DbError.h"
#include "Sql.h"
#include "StatementCursor.h"
#include "TableCursor.h"

#include <QRegularExpression>

namespace desk {

using rowset::quoteName;

namespace {

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

RowSet::RowSet(std::shared_ptr<Connection> connection, const QString& source, const QVariantList& binds) {
    if (!connection)
        throw DbError(QStringLiteral("レコードセットには開いた接続が要ります。"), source);
    // Names a missing object in the words of the source.
    const auto noSuchObject = [&](const QString& name) {
        throw DbError(QStringLiteral("表または保存したクエリ「%1」がありません。").arg(name), source,
                      connection->filePath());
    };

    const auto name = bareName().match(source);
    if (name.hasMatch()) {
        const Connection::Object object = connection->object(unbracket(name.captured(1)));
        if (object.kind == QLatin1String("table"))
            d = std::make_unique<TableCursor>(connection, source, object.name, QString(), QVariantList());
        else if (object.kind == QLatin1String("view"))
            d = std::make_unique<StatementCursor>(connection, source,
                                                  QStringLiteral("SELECT * FROM ") + quoteName(object.name),
                                                  QVariantList(), object.name);
        else
            noSuchObject(source.trimmed());
        return;
    }

    const Sql::Bound bound(Sql::translate(source, connection->engine()));
    const QString translated = bound.sql();
    const QVariantList values = bound.values(binds);
    const QString masked = Sql::maskLiterals(translated);
    const auto simple = simpleSelect().match(masked);
    if (simple.hasMatch()) {
        const Connection::Object object = connection->object(unbracket(simple.captured(1)));
        const bool reshaped = simple.capturedLength(2) > 0 && reshapingWord().match(simple.captured(2)).hasMatch();
        if (object.kind == QLatin1String("table") && !reshaped) {
            const QString where =
                simple.capturedLength(2) > 0 ? translated.mid(simple.capturedStart(2)).trimmed() : QString();
            // Nothing before WHERE takes a value, so every value belongs to the filter.
            d = std::make_unique<TableCursor>(connection, source, object.name, where, values);
            return;
        }
        if (object.kind.isEmpty())
            noSuchObject(simple.captured(1));
        d = std::make_unique<StatementCursor>(connection, source, translated, values, object.name);
        return;
    }
    static const QRegularExpression from(QStringLiteral(R"(\bfrom\s+(\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_]*))"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto hint = from.match(masked);
    d = std::make_unique<StatementCursor>(connection, source, translated, values,
                                          hint.hasMatch() ? unbracket(hint.captured(1)) : QString());
}

RowSet::~RowSet() = default;

bool RowSet::isUpdatable() const {
    d->ensureOpen();
    return d->isUpdatable();
}

QStringList RowSet::columnNames() const {
    d->ensureOpen();
    d->ensureColumns();
    return d->names;
}

int RowSet::recordCount() const {
    d->ensureOpen();
    return d->recordCount();
}

bool RowSet::isEmpty() const {
    d->ensureOpen();
    return d->isEmptySet();
}

bool RowSet::eof() const {
    d->ensureOpen();
    d->resolve();
    return d->pos == RowSetCursor::Pos::Eof || (d->pos == RowSetCursor::Pos::Bof && d->isEmptySet());
}

bool RowSet::bof() const {
    d->ensureOpen();
    d->resolve();
    return d->pos == RowSetCursor::Pos::Bof || (d->pos == RowSetCursor::Pos::Eof && d->isEmptySet());
}

void RowSet::moveFirst() {
    d->ensureOpen();
    d->writePending();
    if (!d->toFirst())
        d->atEnd(RowSetCursor::Pos::Eof, true);
}

void RowSet::moveNext() {
    using Pos = RowSetCursor::Pos;
    d->ensureOpen();
    d->writePending();
    if (d->pos == Pos::Unresolved) {
        d->resolve();
        if (d->pos != Pos::Row)
            return;
    }
    switch (d->pos) {
    case Pos::Eof:
        return;
    case Pos::Bof:
        moveFirst();
        return;
    default:
        break;
    }
    if (!d->toAfter(d->key))
        d->atEnd(Pos::Eof, false);
}

void RowSet::movePrevious() {
    using Pos = RowSetCursor::Pos;
    d->ensureOpen();
    d->writePending();
    if (d->pos == Pos::Unresolved) {
        d->resolve();
        if (d->pos != Pos::Row)
            return;
    }
    switch (d->pos) {
    case Pos::Bof:
        return;
    case Pos::Eof:
        moveLast();
        return;
    default:
        break;
    }
    if (!d->toBefore(d->key))
        d->atEnd(Pos::Bof, false);
}

void RowSet::moveLast() {
    d->ensureOpen();
    d->writePending();
    if (!d->toLast())
        d->atEnd(RowSetCursor::Pos::Eof, true);
}

bool RowSet::find(const QString& criterion) {
    using Pos = RowSetCursor::Pos;
    d->ensureOpen();
    Criterion parsed = [&] {
        try {
            return Criterion::parse(criterion);
        } catch (const DbError& e) {
            throw DbError(e.message(), criterion, d->conn->filePath());
        }
    }();
    const int column = [&] {
        d->ensureColumns();
        const auto it = d->index.constFind(parsed.column().toLower());
        if (it == d->index.constEnd())
            throw DbError(QStringLiteral("レコードセットに列「%1」がありません。").arg(parsed.column()), criterion,
                          d->conn->filePath());
        return it.value();
    }();
    d->writePending();

    // The search starts on the current row itself; after a delete, on the row after it. A set
    // not read yet stands on its first row: the search starts at the first key without
    // reading that row first (on a server, a trip there and back saved).
    qint64 start = 0;
    switch (d->pos) {
    case Pos::Eof:
        return false;
    case Pos::Bof:
    case Pos::Unresolved:
        start = d->firstKey();
        break;
    case Pos::Row:
        start = d->key;
        break;
    case Pos::Deleted:
        start = d->key + 1;
        break;
    }
    if (d->findFrom(column, parsed, start))
        return true;
    d->atEnd(Pos::Eof, false);
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
    d->setBookmark(bookmark);
}

QList<RowSet::Bookmark> RowSet::bookmarks() const {
    d->ensureOpen();
    d->writePending();
    return d->bookmarks();
}

void RowSet::addNew() {
    d->ensureOpen();
    d->ensureUpdatable();
    d->addNew();
}

void RowSet::setNewRowValue(const QString& column, const QVariant& value) {
    d->ensureOpen();
    d->ensureUpdatable();
    const int i = d->columnIndex(column);
    d->setNewRowValue(i, d->storable(i, value));
}

void RowSet::setValue(const QString& column, const QVariant& value) {
    d->ensureOpen();
    d->ensureUpdatable();
    const int i = d->columnIndex(column);
    d->setValue(i, d->storable(i, value));
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
    d->remove();
}

QVariant RowSet::value(const QString& column) const {
    return value(d->columnIndex(column));
}

QVariant RowSet::value(int column) const {
    d->ensureOpen();
    d->ensureColumns();
    if (column < 0 || column >= d->names.size())
        d->fail(QStringLiteral("レコードセットに列 %1 がありません。").arg(column));
    QVariant pending;
    if (d->pendingValue(column, &pending))
        return pending;
    d->requireRow();
    return columntype::fromStorage(d->types.at(column), d->row.at(column));
}

void RowSet::requery() {
    d->ensureOpen();
    d->writePending();
    d->pos = RowSetCursor::Pos::Unresolved;
    d->rowValid = false;
    d->empty = RowSetCursor::Tri::Unknown;
    d->forget();
}

void RowSet::close() {
    if (d->closed)
        return;
    d->discardPending();
    d->release();
    d->closed = true;
}

Connection& RowSet::connection() const {
    return *d->conn;
}

} // namespace desk
