#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <Qt>

class QTableView;

namespace desk {

// One column of a data grid, as the windows declare their grids: header text (leading
// blanks kept, they set the column's look), the bound column of the table or statement,
// width in pixels, alignment, display format ("#,##0", "##,###,###", a date pattern;
// empty shows the value as it is) and whether the clerk may type into it.
struct GridColumn {
    QString caption;
    QString field;
    int width = 80;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString format;
    bool editable = false;

    // The value as the grid shows it, through the one display formatter.
    QString display(const QVariant& value) const;
};

using GridColumns = QList<GridColumn>;

// Sets the widths of a view whose model shows the given columns in their order, and the
// look every grid of the suite shares (row height, no word wrap, whole-row-or-cell
// selection left to the caller).
void applyGridColumns(QTableView* view, const GridColumns& columns);

} // namespace desk
