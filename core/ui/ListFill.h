#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace desk {

class RowSet;

// One column of a list view filled from a row set. The cell shows the row set's column
// `field`: through `text` when given, else in `format` (convert::formatValue) when given,
// else as it is; no value shows empty.
struct ListColumn {
    QString field;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString format = {};
    std::function<QString(const QVariant&)> text = {};
};
using ListColumns = QList<ListColumn>;

// Replaces the items of list by one item per row of rows, from its first row, and returns
// them in order. The row set is left past its last row.
QList<QTreeWidgetItem*> fillList(QTreeWidget* list, RowSet& rows, const ListColumns& columns);

// The same from records (a row's values in column order, as a code table reads them):
// column i of the list shows the record's value at columns[i].first, as text.
QList<QTreeWidgetItem*> fillList(QTreeWidget* list, const QList<QVariantList>& records,
                                 const QList<QPair<int, Qt::Alignment>>& columns);

} // namespace desk
