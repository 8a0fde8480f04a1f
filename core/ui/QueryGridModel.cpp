#include "QueryGridModel.h"

#include "data/ColumnType.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace desk {

QueryGridModel::QueryGridModel(QObject* parent)
    : QAbstractTableModel(parent) {}

QueryGridModel::QueryGridModel(const GridColumns& columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_declared(columns) {
    rebind();
}

void QueryGridModel::setColumns(const GridColumns& columns) {
    beginResetModel();
    m_declared = columns;
    rebind();
    endResetModel();
}

void QueryGridModel::setShowUnboundFields(bool show) {
    beginResetModel();
    m_showUnbound = show;
    rebind();
    endResetModel();
}

void QueryGridModel::clear() {
    beginResetModel();
    m_fields.clear();
    m_rows.clear();
    rebind();
    endResetModel();
}

void QueryGridModel::setQuery(const std::shared_ptr<Connection>& connection, const QString& statement,
                              const QVariantList& binds) {
    QStringList fields;
    QVector<QVector<QVariant>> rows;
    QList<ColumnType> types;
    int width = 0;
    try {
        connection->select(
            statement, binds,
            [&](const QSqlRecord& record) {
                for (int i = 0; i < record.count(); ++i) {
                    const QSqlField field = record.field(i);
                    fields << desk::Sql::resultName(field.name(), statement, connection->engine());
                    types << columntype::fromDeclared(connection->declaredType(field.name(), field.tableName()));
                }
                width = int(fields.size());
            },
            [&](const QSqlQuery& query) {
                QVector<QVariant> row(width);
                for (int i = 0; i < width; ++i)
                    row[i] = columntype::fromStorage(types.at(i), query.value(i));
                rows.append(std::move(row));
            });
    } catch (const DbError&) {
        // A failed run shows no rows of the previous one under headings that no longer fit.
        clear();
        throw;
    }

    take(std::move(fields), std::move(rows), statement, connection->filePath());
}

void QueryGridModel::setRows(RowSet& rowSet) {
    QStringList fields = rowSet.columnNames();
    QVector<QVector<QVariant>> rows;
    rows.reserve(rowSet.recordCount());
    const int width = int(fields.size());
    for (rowSet.moveFirst(); !rowSet.eof(); rowSet.moveNext()) {
        QVector<QVariant> row(width);
        for (int i = 0; i < width; ++i)
            row[i] = rowSet.value(i);
        rows.append(std::move(row));
    }
    rowSet.moveFirst();
    take(std::move(fields), std::move(rows), {}, rowSet.connection().filePath());
}

void QueryGridModel::take(QStringList fields, QVector<QVector<QVariant>> rows, const QString& source,
                          const QString& file) {
    for (const GridColumn& c : std::as_const(m_declared)) {
        if (c.field.isEmpty())
            continue;
        bool found = false;
        for (const QString& f : std::as_const(fields))
            found = found || f.compare(c.field, Qt::CaseInsensitive) == 0;
        if (!found) {
            clear();
            throw DbError(QStringLiteral("The result has no column \"%1\" for the grid").arg(c.field), source, file);
        }
    }

    beginResetModel();
    m_fields = std::move(fields);
    m_rows = std::move(rows);
    rebind();
    endResetModel();
}

int QueryGridModel::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void QueryGridModel::rebind() {
    m_shown = m_declared;
    m_source.clear();
    QVector<bool> bound(m_fields.size(), false);
    for (int i = 0; i < m_declared.size(); ++i) {
        const GridColumn& c = m_declared.at(i);
        int source = -1;
        if (c.field.isEmpty())
            source = i < m_fields.size() ? i : -1;
        else
            source = fieldIndex(c.field);
        if (source >= 0)
            bound[source] = true;
        m_source.append(source);
    }
    if (!m_showUnbound)
        return;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (bound.at(i))
            continue;
        GridColumn plain;
        plain.caption = m_fields.at(i);
        plain.field = m_fields.at(i);
        m_shown.append(plain);
        m_source.append(i);
    }
}

GridColumn QueryGridModel::column(int column) const {
    return column >= 0 && column < m_shown.size() ? m_shown.at(column) : GridColumn{};
}

QVariant QueryGridModel::value(int row, int column) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_source.size())
        return {};
    const int source = m_source.at(column);
    return source < 0 ? QVariant() : m_rows.at(row).at(source);
}

QVariant QueryGridModel::value(int row, const QString& field) const {
    const int source = fieldIndex(field);
    if (row < 0 || row >= m_rows.size() || source < 0)
        return {};
    return m_rows.at(row).at(source);
}

double QueryGridModel::columnSum(int column) const {
    double sum = 0;
    for (int row = 0; row < m_rows.size(); ++row)
        sum += value(row, column).toDouble();
    return sum;
}

int QueryGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int QueryGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant QueryGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_shown.at(index.column()).display(value(index.row(), index.column()));
    case Qt::EditRole:
        return value(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(m_shown.at(index.column()).alignment);
    default:
        return {};
    }
}

QVariant QueryGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < m_shown.size()) {
        if (role == Qt::DisplayRole)
            return m_shown.at(section).caption;
        // Headings line up with their figures.
        if (role == Qt::TextAlignmentRole)
            return int((m_shown.at(section).alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags QueryGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace desk
