#include "TallyCsv.h"

#include "convert/Convert.h"
#include "convert/Csv.h"
#include "ui/QueryGridModel.h"

namespace tallyapp {

namespace {

using desk::csv::field;

bool isNumberColumn(const desk::GridColumn& column) {
    return column.format.contains(QLatin1Char('#'));
}

} // namespace

QByteArray tallyCsv(const desk::QueryGridModel& model, const QStringList& summedFields) {
    const int columns = model.columnCount();
    QList<QStringList> lines;

    QStringList cells;
    for (int c = 0; c < columns; ++c)
        cells << field(model.column(c).caption.trimmed());
    lines << cells;

    for (int r = 0; r < model.rowCount(); ++r) {
        cells.clear();
        for (int c = 0; c < columns; ++c) {
            const desk::GridColumn column = model.column(c);
            const QVariant value = model.value(r, c);
            cells << field(isNumberColumn(column) ? desk::convert::formatValue(value, QStringLiteral("0"))
                                                  : column.display(value));
        }
        lines << cells;
    }

    // A kind whose result carries its own period line has no totals line to add.
    if (summedFields.isEmpty())
        return desk::csv::document(lines);
    cells.clear();
    for (int c = 0; c < columns; ++c) {
        const desk::GridColumn column = model.column(c);
        if (summedFields.contains(column.field, Qt::CaseInsensitive))
            cells << desk::convert::formatValue(model.columnSum(c), QStringLiteral("0"));
        else
            cells << (c == 0 ? QStringLiteral("合計") : QString());
    }
    lines << cells;

    return desk::csv::document(lines);
}

} // namespace tallyapp
