#pragma once

#include "report/JobKind.h"
#include "report/ReportDocument.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class ReportPreview;
}

namespace desk {

class Report;

// The print preview: the composed pages as they will print, page navigation, zoom,
// printing, PDF export. Modeless; deletes itself when closed. Printing and export use
// the pages shown, so what the user saw is what comes out; the report is told each job.
class ReportPreview : public QWidget {
    Q_OBJECT

public:
    // Zoom choices of CmbZoom, in order; FitPage and FitWidth follow the window size.
    enum Zoom { FitPage, FitWidth, Zoom50, Zoom75, Zoom100, Zoom125, Zoom150, Zoom200 };

    ReportPreview(ReportDocument doc, Report* report, QWidget* parent = nullptr);
    ~ReportPreview() override;

    const ReportDocument& document() const { return m_doc; }
    int currentPage() const { return m_page; }
    int pageCount() const { return m_doc.pageCount; }
    void showPage(int page);
    void setZoom(Zoom zoom);
    // Resolution the current page is drawn at.
    double dotsPerInch() const { return m_dpi; }

    // Asks for a printer through the dialogs seam and prints (a Print job). False when
    // the user cancelled, in which case nothing was printed and no job was told.
    bool printDocument();
    // Asks for a file name through the dialogs seam and writes the pages as PDF (an
    // Export job). False when the user cancelled.
    bool exportDocument();
    // The folder a PDF is proposed in: the one the user last exported to on this computer
    // (while it exists), else the home folder.
    static QString pdfFolder();

protected:
    // A fitted page follows the size of the viewport, which settles only after the
    // window's own layout has run.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runJob(JobKind kind, const std::function<void()>& work);
    void refresh();
    double wantedDpi() const;

    std::unique_ptr<Ui::ReportPreview> m_ui;
    ReportDocument m_doc;
    QPointer<Report> m_report;
    int m_page = 1;
    double m_dpi = 0.0;
};

} // namespace desk
