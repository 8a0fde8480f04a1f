#include "GuestRegisterCsv.h"

#include "DRMeibo.h"

#include "convert/Convert.h"
#include "convert/Csv.h"
#include "data/RowSet.h"

namespace deskmain {

QByteArray guestRegisterCsv(desk::RowSet& rows) {
    using desk::csv::Guard;
    const desk::ReportColumns columns = DRMeibo::registerColumns();
    QList<QStringList> lines;
    QStringList cells;
    for (const desk::ReportColumn& c : columns)
        cells << desk::csv::field(c.heading, Guard::Formula);
    lines << cells;
    if (!rows.isEmpty()) {
        for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
            cells.clear();
            for (const desk::ReportColumn& c : columns)
                cells << desk::csv::field(desk::convert::dayCellText(rows.value(c.field)), Guard::Formula);
            lines << cells;
        }
    }
    return desk::csv::document(lines);
}

} // namespace deskmain
