#include "ListFill.h"

#include "convert/Convert.h"
#include "data/RowSet.h"

#include <QTreeWidget>

namespace desk {

QList<QTreeWidgetItem*> fillList(QTreeWidget* list, RowSet& rows, const ListColumns& columns) {
    list->clear();
    QList<QTreeWidgetItem*> items;
    if (rows.isEmpty())
        return items;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        auto* item = new QTreeWidgetItem;
        for (int i = 0; i < columns.size(); ++i) {
            const ListColumn& column = columns.at(i);
            const QVariant value = rows.value(column.field);
            item->setText(i, column.text               ? column.text(value)
                             : column.format.isEmpty() ? convert::textOf(value)
                                                       : convert::formatValue(value, column.format));
            item->setTextAlignment(i, column.alignment);
        }
        items << item;
    }
    // One insertion: the view lays itself out once, however long the list.
    list->addTopLevelItems(items);
    return items;
}

QList<QTreeWidgetItem*> fillList(QTreeWidget* list, const QList<QVariantList>& records,
                                 const QList<QPair<int, Qt::Alignment>>& columns) {
    QList<QTreeWidgetItem*> items;
    for (const QVariantList& record : records) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < columns.size(); ++c) {
            item->setText(c, convert::textOf(record.value(columns[c].first)));
            item->setTextAlignment(c, columns[c].second);
        }
        items << item;
    }
    list->clear();
    list->addTopLevelItems(items);
    return items;
}

} // namespace desk
