#pragma once

#include "entry/ModuleContext.h"
#include "report/Report.h"
#include "tallysvc/MealSheet.h"

#include <QByteArray>

#include <memory>

namespace tallyapp {

// The kitchen's meal sheet (食数表) of the days shown, on A4: the inn's name, the days under
// the title, one line per line of the sheet (totals, plans, parties with their notes and
// marks, extras, the check of a past day).
std::unique_ptr<desk::Report> createMealReport(const QList<tallysvc::MealDay>& days,
                                               const desk::ModuleContext& context);

// The same lines for a spreadsheet, in desk::csv's file form; the clerks' texts (names,
// notes) are guarded against formulas.
QByteArray mealCsv(const QList<tallysvc::MealDay>& days);

} // namespace tallyapp
