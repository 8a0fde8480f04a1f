#pragma once

#include "tallysvc/TallyKinds.h"
#include "ui/GridColumn.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace tallyapp {

// How the aggregation window, its report and its chart lay out each kind that the store
// (tallysvc) reads; the kinds themselves are the store's, named here as the window knows them.
namespace Aggregation {

using tallysvc::KindCount;
using tallysvc::kindOf;
using tallysvc::layoutOf;
using tallysvc::LevyKind;
using tallysvc::OccupancyKind;
using tallysvc::reportTitle;
using tallysvc::summedFields;
using tallysvc::TaxRateKind;

// The result grid's columns.
desk::GridColumns gridColumns(int kind);

// The printed report's design name.
QString reportName(int kind);

// The result columns the chart draws: bars of valueField per category, named by
// categoryField (fallbackField where that is empty); a kind with a date shows one bar group
// per day with seriesField stacked in it.
struct ChartFields {
    QString categoryField;
    QString fallbackField; // names the bar when categoryField is empty
    QString valueField;
    QString seriesField; // stacked series per value of this field; empty: one series
    QString valueTitle;
    // Rates per day: one bar a day (a month's bar their mean) under the day's own rows
    // alone, never the period's line.
    bool dailyRates = false;
};
ChartFields chartFields(int kind);

} // namespace Aggregation
} // namespace tallyapp
