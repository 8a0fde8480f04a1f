#include "DataGridModel.h"

#include "convert/Convert.h"
#include "data/ColumnType.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"

#include <QMap>

#include <cmath>
#include <exception>

namespace desk {

namespace {

bool isNumberType(ColumnType type) {
    switch (type) {
    case ColumnType::Int16:
    case ColumnType::Int32:
    case ColumnType::Int64:
    case ColumnType::Double:
        return true;
    default:
        return false;
    }
}

QString errorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const DbError& e) {
        return e.text();
    } catch (const ConversionError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

} // namespace

DataGridModel::DataGridModel(QObject* parent)
    : QAbstractTableModel(parent) {}

DataGridModel::~DataGridModel() = default;

void DataGridModel::open(std::shared_ptr<Connection> connection, const QString& table, const GridColumns& columns,
                         bool newRowLine) {
    beginResetModel();
    m_rows.reset();
    m_keys.clear();
    m_cachedRow = -1;
    m_connection = std::move(connection);
    m_table = table;
    m_columns = columns;
    m_newRowLine = newRowLine;
    m_numeric.fill(false, columns.size());
    m_bound.fill(false, columns.size());
    m_limits.fill(convert::NumberLimit::int32(), columns.size());
    try {
        const QList<Connection::Column> tableColumns = m_connection->columns(table);
        if (tableColumns.isEmpty())
            throw DbError(QStringLiteral("There is no table named \"%1\"").arg(table), table, m_connection->filePath());
        for (const Connection::Column& c : tableColumns) {
            for (int i = 0; i < m_columns.size(); ++i) {
                if (c.name.compare(m_columns.at(i).field, Qt::CaseInsensitive) == 0) {
                    m_bound[i] = true;
                    const ColumnType type = columntype::fromDeclared(c.declaredType);
                    m_numeric[i] = isNumberType(type);
                    // Counts in 16 bits; amounts, quantities and rates are taken as 32-bit
                    // amounts by the slips and the statement.
                    m_limits[i] =
                        type == ColumnType::Int16 ? convert::NumberLimit::int16() : convert::NumberLimit::int32();
                }
            }
        }
        // Work tables shared by several desks: this grid sees and writes this desk's lines only.
        m_rows = openDeskRows(m_connection, table);
        readPositions();
    } catch (...) {
        m_rows.reset();
        m_connection.reset();
        m_keys.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

void DataGridModel::readPositions() {
    m_keys = m_rows->bookmarks();
    m_cachedRow = -1;
}

void DataGridModel::requery() {
    if (!m_rows)
        return;
    beginResetModel();
    try {
        m_rows->requery();
        readPositions();
    } catch (...) {
        m_keys.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

void DataGridModel::close() {
    beginResetModel();
    m_rows.reset();
    m_connection.reset();
    m_keys.clear();
    m_cachedRow = -1;
    endResetModel();
}

bool DataGridModel::isOpen() const {
    return m_rows != nullptr;
}

int DataGridModel::columnOf(const QString& field) const {
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool DataGridModel::isNumeric(int column) const {
    return column >= 0 && column < m_numeric.size() && m_numeric.at(column);
}

bool DataGridModel::loadRow(int row) const {
    if (row == m_cachedRow)
        return true;
    if (!m_rows || row < 0 || row >= lineCount())
        return false;
    m_cachedRow = -1;
    m_rows->setBookmark(m_keys.at(row));
    m_cache.clear();
    for (int i = 0; i < m_columns.size(); ++i)
        m_cache.append(m_bound.at(i) ? m_rows->value(m_columns.at(i).field) : QVariant());
    m_cachedRow = row;
    return true;
}

QVariant DataGridModel::cellValue(int row, int column) const {
    if (column < 0 || column >= m_columns.size())
        throw DbError(QStringLiteral("The grid has no column %1").arg(column), m_table);
    if (isNewRowLine(row))
        return {};
    if (!loadRow(row))
        throw DbError(QStringLiteral("The grid has no row %1").arg(row), m_table);
    return m_cache.at(column);
}

QVariantList DataGridModel::lineValues(int row) const {
    QVariantList values;
    for (int i = 0; i < m_columns.size(); ++i)
        values.append(cellValue(row, i));
    return values;
}

QVariant DataGridModel::storedForm(int column, const QVariant& value) const {
    const bool isText = value.metaType().id() == QMetaType::QString;
    if (isText && value.toString().trimmed().isEmpty())
        return {};
    if (!isNumeric(column) || !isText)
        return value;
    // What the clerk typed: full-width digits and thousands separators are fine; a text that
    // is no number is told so. A number beyond what the column's amounts and counts are taken
    // as later is refused now, not when the guest's bill is made.
    const std::optional<double> number = convert::typedNumber(value.toString());
    if (!number)
        throw convert::notANumber(value.toString());
    const convert::NumberLimit limit = m_limits.at(column);
    if (!limit.holds(*number)) {
        const QString caption = m_columns.at(column).caption.trimmed();
        throw convert::outOfLimit(caption.isEmpty() ? m_columns.at(column).field : caption, limit, number);
    }
    return *number;
}

void DataGridModel::setCellValue(int row, int column, const QVariant& value) {
    setRowValues(row, {{column, value}});
}

void DataGridModel::setRowValues(int row, const QMap<int, QVariant>& values) {
    if (!m_rows)
        throw DbError(QStringLiteral("The grid is not open"), m_table);
    if (row < 0 || row > lineCount() || (row == lineCount() && !m_newRowLine))
        throw DbError(QStringLiteral("The grid has no row %1").arg(row), m_table);
    QMap<int, QVariant> stored;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        if (it.key() < 0 || it.key() >= m_columns.size() || !m_bound.at(it.key()))
            throw DbError(QStringLiteral("The grid has no bound column %1").arg(it.key()), m_table);
        stored.insert(it.key(), storedForm(it.key(), it.value()));
    }
    const bool adding = isNewRowLine(row);
    if (adding) {
        bool anything = false;
        for (const QVariant& v : std::as_const(stored))
            anything = anything || !v.isNull();
        // The new-row line becomes a row only when something is typed into it.
        if (!anything)
            return;
    }

    m_cachedRow = -1;
    try {
        if (adding) {
            m_rows->addNew();
        } else {
            m_rows->setBookmark(m_keys.at(row));
        }
        for (auto it = stored.constBegin(); it != stored.constEnd(); ++it)
            m_rows->setValue(m_columns.at(it.key()).field, it.value());
        m_rows->update();
    } catch (...) {
        m_rows->cancelUpdate();
        throw;
    }

    if (adding) {
        // The line typed into keeps its place (and the view's current cell): a fresh new-row
        // line appears after it, then the line shows what was typed.
        const qint64 key = m_rows->bookmark();
        m_revealing = true;
        beginInsertRows({}, row + 1, row + 1);
        m_keys.append(key);
        endInsertRows();
        m_revealing = false;
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    } else {
        emit dataChanged(index(row, stored.firstKey()), index(row, stored.lastKey()));
    }
}

void DataGridModel::removeLine(int row) {
    if (!m_rows)
        throw DbError(QStringLiteral("The grid is not open"), m_table);
    if (row < 0 || row >= lineCount())
        throw DbError(QStringLiteral("The grid has no row %1").arg(row), m_table);
    m_cachedRow = -1;
    m_rows->setBookmark(m_keys.at(row));
    m_rows->remove();
    beginRemoveRows({}, row, row);
    m_keys.removeAt(row);
    endRemoveRows();
}

int DataGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_rows)
        return 0;
    return lineCount() + (m_newRowLine ? 1 : 0);
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const GridColumn& column = m_columns.at(index.column());
    switch (role) {
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column.alignment);
    case Qt::DisplayRole:
    case Qt::EditRole:
        break;
    default:
        return {};
    }
    // While a typed-into new-row line turns into a row, it still reads as the empty line.
    if (isNewRowLine(index.row()) || (m_revealing && index.row() == lineCount() - 1))
        return {};
    try {
        if (!loadRow(index.row()))
            return {};
        const QVariant value = m_cache.at(index.column());
        return role == Qt::DisplayRole ? QVariant(column.display(value)) : value;
    } catch (...) {
        // A row another window removed meanwhile: shown empty until the grid is read again.
        m_cachedRow = -1;
        return {};
    }
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_columns.size())
            return {};
        if (role == Qt::DisplayRole)
            return m_columns.at(section).caption;
        return {};
    }
    if (role == Qt::DisplayRole && section >= 0 && section < rowCount())
        return isNewRowLine(section) ? QStringLiteral("*") : QString();
    return {};
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() < m_columns.size() && m_columns.at(index.column()).editable && m_bound.at(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool DataGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    if (!(flags(index) & Qt::ItemIsEditable))
        return false;
    try {
        m_lastError.clear();
        setCellValue(index.row(), index.column(), value);
        return true;
    } catch (...) {
        m_lastError = errorText(std::current_exception());
        return false;
    }
}

bool DataGridModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || count < 1 || row < 0 || row + count > lineCount())
        return false;
    try {
        m_lastError.clear();
        for (int i = 0; i < count; ++i)
            removeLine(row);
        return true;
    } catch (...) {
        m_lastError = errorText(std::current_exception());
        return false;
    }
}

} // namespace desk
