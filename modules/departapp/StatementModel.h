#pragma once

#include "departsvc/Statement.h"
#include "ui/GridColumn.h"

#include <QAbstractTableModel>

namespace departapp {

// The check-out window's grid over a statement as worked out: one row per line, the
// columns as declared, each value shown through the one display formatter.
class StatementModel : public QAbstractTableModel {
    Q_OBJECT

public:
    StatementModel(desk::GridColumns columns, QObject* parent = nullptr);

    void setStatement(const departsvc::Statement& statement);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    desk::GridColumns m_columns;
    QList<departsvc::StatementLine> m_lines;
};

} // namespace departapp
