#pragma once

#include "entry/ModuleContext.h"
#include "report/Report.h"

#include <memory>

namespace tallysvc {
class TallyResult;
}

namespace tallyapp {

using tallysvc::TallyResult;

// The report of a result's kind (DRuriage, DRuriage1, DRuriage2, DRnyukin1, DRnyukin2,
// DRSpec1), a column report: the inn's name, the kind's title and the period over one
// line per result row and the totals of the amount columns. It prints the result's own rows, which must
// outlive it.
std::unique_ptr<desk::Report> createReport(const TallyResult& result, const desk::ModuleContext& context);

} // namespace tallyapp
