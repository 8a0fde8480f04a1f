#pragma once

#include "ui/GridColumn.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace tallyapp {

// The ten aggregations of the module: what each reads, how its result is laid out on the
// screen and in print, and what its chart shows. Kinds 0–2 total sales, 3–4 payments,
// 5–9 count guests by one of their five classifications.
namespace Aggregation {

constexpr int KindCount = 10;

// The kind chosen by the subject (0 sales, 1 payments, 2 guests) and the element chosen
// in that subject's group; -1 when the pair names no kind.
int kindOf(int subject, int element);

// The database file the kind reads.
QString fileName(int kind);

// The statement of the kind over the period, in the suite's dialect. The two days go in
// through the dialect's date literal, never as typed text.
QString statement(int kind, const QDate& first, const QDate& last);

// The result grid's columns (0..5, kinds 5–9 share layout 5).
int layoutOf(int kind);
desk::GridColumns gridColumns(int kind);

// The printed report: its design name, its title, and the result columns whose sums the
// report footer (and the CSV's totals line) carries.
QString reportName(int kind);
QString reportTitle(int kind);
QStringList summedFields(int kind);

// The result columns the chart draws: bars of valueField per category, named by
// categoryField (fallbackField where that is empty); a kind with a date shows one bar group
// per day with seriesField stacked in it.
struct ChartFields {
    QString categoryField;
    QString fallbackField; // names the bar when categoryField is empty
    QString valueField;
    QString seriesField; // stacked series per value of this field; empty: one series
    QString valueTitle;
};
ChartFields chartFields(int kind);

} // namespace Aggregation
} // namespace tallyapp
