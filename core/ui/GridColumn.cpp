#include "GridColumn.h"

#include "convert/Convert.h"

#include <QHeaderView>
#include <QTableView>

namespace desk {

QString GridColumn::display(const QVariant& value) const {
    return convert::formatValue(value, format);
}

void applyGridColumns(QTableView* view, const GridColumns& columns) {
    view->setWordWrap(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->horizontalHeader()->setHighlightSections(false);
    for (int i = 0; i < columns.size(); ++i)
        view->setColumnWidth(i, columns.at(i).width);
}

} // namespace desk
