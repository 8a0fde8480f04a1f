#include "report/ShowReport.h"

#include "ui/BusyCursor.h"

namespace desk {

ReportPreview* showReport(std::unique_ptr<Report> report, QWidget* parent) {
    ReportPreview* preview = nullptr;
    {
        BusyCursor busy;
        preview = report->showPreview(parent);
    }
    report.release()->setParent(preview);
    return preview;
}

} // namespace desk
