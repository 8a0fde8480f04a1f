#pragma once

#include "GridColumn.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

namespace desk {

class Connection;
class RowSet;

// A read-only grid over a saved query or a SELECT statement of a connection (the
// aggregation result, the check-out statement). The statement is in the suite's dialect;
// values the clerk typed go in as binds, never into its text. The result is read whole
// once, so no statement stays open on the file behind the grid.
//
// Columns: the declared GridColumns first, each bound to its field by name (matched
// without regard to case; an empty field takes the result column of the same position),
// then every result column no declared column binds, under its own name, unless
// setShowUnboundFields(false). The headings stand before any query and with no rows.
//
// Display goes through the one formatter; Qt::EditRole gives the typed value (QDate for
// date columns, numbers as numbers) for totals and exports.
class QueryGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QueryGridModel(QObject* parent = nullptr);
    explicit QueryGridModel(const GridColumns& columns, QObject* parent = nullptr);

    void setColumns(const GridColumns& columns);
    void setShowUnboundFields(bool show);

    // Runs the statement with its binds and reads every row; a failure (DbError) leaves
    // the model empty with its declared headings. A declared field the result does not
    // carry is a DbError naming it.
    void setQuery(const std::shared_ptr<Connection>& connection, const QString& statement,
                  const QVariantList& binds = {});
    // Reads every row of a row set (from its first; it is left on its first row), for a
    // window whose report prints the same row set the grid shows.
    void setRows(RowSet& rows);
    // Forgets the rows and the result's columns; the declared headings stay.
    void clear();

    // The column as shown: the declared one, or a plain one over an unbound field.
    GridColumn column(int column) const;
    // Typed value of a shown row and column, or by field name.
    QVariant value(int row, int column) const;
    QVariant value(int row, const QString& field) const;
    // Sum of a shown column over every row (null values count as 0).
    double columnSum(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void take(QStringList fields, QVector<QVector<QVariant>> rows, const QString& source, const QString& file);
    void rebind();
    int fieldIndex(const QString& name) const;

    GridColumns m_declared;
    bool m_showUnbound = true;
    QStringList m_fields;
    QVector<QVector<QVariant>> m_rows;
    GridColumns m_shown;   // what the view shows, in order
    QVector<int> m_source; // shown column → result column, -1 when the result has none (yet)
};

} // namespace desk
