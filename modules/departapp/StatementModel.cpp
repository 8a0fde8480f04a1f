#include "StatementModel.h"

namespace departapp {

StatementModel::StatementModel(desk::GridColumns columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_columns(std::move(columns)) {}

void StatementModel::setStatement(const departsvc::Statement& statement) {
    beginResetModel();
    m_lines = statement.lines;
    endResetModel();
}

void StatementModel::clear() {
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

int StatementModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_lines.size());
}

int StatementModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant StatementModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const desk::GridColumn& column = m_columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return column.display(m_lines.at(index.row()).value(column.field));
    case Qt::EditRole:
        return m_lines.at(index.row()).value(column.field);
    case Qt::TextAlignmentRole:
        return int(column.alignment);
    default:
        return {};
    }
}

QVariant StatementModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columns.size()) {
        if (role == Qt::DisplayRole)
            return m_columns.at(section).caption;
        // Headings line up with their figures.
        if (role == Qt::TextAlignmentRole)
            return int((m_columns.at(section).alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags StatementModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace departapp
