#pragma once

#include "convert/Convert.h"
#include "ui/GridColumn.h"

#include <QAbstractTableModel>
#include <QList>
#include <QVector>

#include <memory>

namespace desk {

class Connection;
class RowSet;

// An editable grid over one work table of a data file: the rows of this desk only (when the
// table keeps desks apart), the columns of a GridColumns table, and a trailing new-row line
// that becomes a row when the clerk types into it. A cell the clerk or the code changes is
// written to its row at once. The rows are not copied: the model keeps each row's bookmark
// and reads a row when it is shown.
//
// The Qt interface (data, setData, removeRows) never throws: a failed read shows an empty
// cell, a failed write returns false and leaves lastError(). The calls meant for windows
// (setCellValue, setRowValues, removeLine, requery) throw DbError, so that a guarded slot
// reports them.
class DataGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit DataGridModel(QObject* parent = nullptr);
    ~DataGridModel() override;

    // Shows this desk's lines of the work table `table` with the given columns; with newRowLine
    // a trailing line for new rows, which become this desk's. Reads the row positions at once
    // (DbError when the table cannot be read).
    void open(std::shared_ptr<Connection> connection, const QString& table, const GridColumns& columns,
              bool newRowLine = true);
    // Reads the table again, as after another program or a store changed it.
    void requery();
    void close();
    bool isOpen() const;

    const GridColumns& columns() const { return m_columns; }
    // Number of rows of the table shown (the new-row line not counted).
    int lineCount() const { return static_cast<int>(m_keys.size()); }
    bool isNewRowLine(int row) const { return m_newRowLine && row == lineCount(); }
    // The index of a grid column bound to `field` (case-insensitive), or -1.
    int columnOf(const QString& field) const;

    // The stored value of a cell (a null QVariant for the new-row line).
    QVariant cellValue(int row, int column) const;
    // The values of a line by grid column.
    QVariantList lineValues(int row) const;
    // Writes one cell of a row, or several cells of a row in one update; on the new-row line
    // this adds the row. A typed text is stored as the column's type asks (numbers may be
    // written with full-width digits and thousands separators); an empty text stores no value.
    // A text that is no number is refused with a ConversionError (Refused) saying so
    // ("「abc」は数値ではありません。"), a number beyond the column's range with one naming the
    // column's caption and its limit.
    void setCellValue(int row, int column, const QVariant& value);
    void setRowValues(int row, const QMap<int, QVariant>& values);
    // Removes a row from the table.
    void removeLine(int row);

    QString lastError() const { return m_lastError; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    // Whether the bound column holds numbers (a typed text must then be one).
    bool isNumeric(int column) const;

private:
    bool loadRow(int row) const;
    QVariant storedForm(int column, const QVariant& value) const;
    void readPositions();

    std::shared_ptr<Connection> m_connection;
    std::unique_ptr<RowSet> m_rows;
    QString m_table;
    GridColumns m_columns;
    QVector<bool> m_numeric;
    QVector<bool> m_bound;                  // the table has the column
    QVector<convert::NumberLimit> m_limits; // of a typed number, by grid column
    bool m_newRowLine = true;
    bool m_revealing = false;
    QList<qint64> m_keys;

    // The row last read, so that painting a line costs one read.
    mutable int m_cachedRow = -1;
    mutable QVariantList m_cache;
    QString m_lastError;
};

} // namespace desk
