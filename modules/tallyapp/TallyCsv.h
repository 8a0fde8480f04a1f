#pragma once

#include <QByteArray>
#include <QStringList>

namespace desk {
class QueryGridModel;
}

namespace tallyapp {

// The result as the grid shows it, for a spreadsheet: the headings, every row and a totals
// line ("合計" and the sums of the summed columns), in desk::csv's file form. Amounts are plain whole numbers
// (rounded as the grid shows them, no separators); dates and texts as shown.
QByteArray tallyCsv(const desk::QueryGridModel& model, const QStringList& summedFields);

} // namespace tallyapp
