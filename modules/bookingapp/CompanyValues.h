#pragma once

#include "entry/ModuleContext.h"
#include "report/CompanyProfile.h"

namespace bookingapp {

// The inn's profile as the entry object last handed it over; read at print time so a
// report shows the latest values.
desk::CompanyProfile companyValues(const desk::ModuleContext& context);

} // namespace bookingapp
