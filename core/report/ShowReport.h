#pragma once

#include "report/Report.h"
#include "report/ReportPreview.h"

#include <memory>

class QWidget;

namespace desk {

// Shows a report the way every screen does: composed under the busy pointer, in its
// modeless preview window above parent, from which the clerk prints or exports. The
// preview owns the report from then on; closing the preview deletes both. When composing
// fails, nothing is shown, the report is deleted, and the error goes on to the caller
// (whose slot guard shows it).
ReportPreview* showReport(std::unique_ptr<Report> report, QWidget* parent);

} // namespace desk
