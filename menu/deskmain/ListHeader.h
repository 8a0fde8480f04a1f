#pragma once

#include "report/ReportSection.h"

namespace deskmain {

// The top of both printed lists of the main menu: the inn's profile, the title, the print
// date and the rule above the column headings, which the caller adds at top 43 mm.
void addListHeader(desk::ReportSection& header, double width, const QString& title);

} // namespace deskmain
