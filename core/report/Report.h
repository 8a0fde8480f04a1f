#pragma once

#include "report/CompanyLabels.h"
#include "report/JobKind.h"
#include "report/ReportDocument.h"
#include "report/ReportSection.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QPageLayout>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace desk {

class Connection;
class ReportPreview;
class RowSet;

// A banded report. A concrete report derives from it, declares its sections and controls
// in its constructor (millimetres, see ReportControl), then runs its start-up step: it
// opens or takes its row set and sets its run-time labels.
//
// Layout: the report header prints once at the top of the first page, the page header at
// the top of every page (under the report header on the first), one detail band per row
// of the data source in the source's order, the report footer once after the last detail
// band, and the page footer at the bottom of every page. A band never splits: a detail
// band or the report footer that does not fit above the page footer starts a new page.
//
// Default page: A4 portrait, 10 mm margins.
class Report : public QObject {
    Q_OBJECT

public:
    explicit Report(QObject* parent = nullptr);
    ~Report() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    // The name a PDF export proposes, without folder or suffix; the title when empty.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    // The name of one paper of a kind for a number and a day: 請求書_1002_20261208. A
    // character no file name may hold becomes "_"; an empty number or an invalid day is left
    // out (宿泊者名簿_20261201_20261208 carries two days and no number).
    static QString numberedFileName(const QString& kind, const QString& number, const QDate& day,
                                    const QDate& lastDay = {});

    ReportSection& section(SectionKind kind);
    const ReportSection& section(SectionKind kind) const;
    ReportSection& reportHeader() { return section(SectionKind::ReportHeader); }
    ReportSection& pageHeader() { return section(SectionKind::PageHeader); }
    ReportSection& detail() { return section(SectionKind::Detail); }
    ReportSection& pageFooter() { return section(SectionKind::PageFooter); }
    ReportSection& reportFooter() { return section(SectionKind::ReportFooter); }

    QPageLayout pageLayout() const { return m_pageLayout; }
    void setPageLayout(const QPageLayout& layout) { m_pageLayout = layout; }
    // Printable width in millimetres, for placing controls.
    double printableWidth() const;

    // A row set the screen hands over: the screen keeps owning it, it must outlive the
    // report's use of it, and its current row is kept across rendering.
    void setDataSource(RowSet* rows);
    // A row set the report owns from now on.
    void setDataSource(std::unique_ptr<RowSet> rows);
    // Opens the report's own connection to one file of the data directory and a row set
    // over source (table, saved query or statement in the suite's dialect).
    void openDataSource(const QString& dirPath, const QString& fileName, const QString& source);
    RowSet* dataSource() const { return m_rows; }

    // Sets the caption of a label by its control name; throws std::invalid_argument for
    // a name that is no label of this report.
    void setLabel(const QString& name, const QString& caption);
    QString label(const QString& name) const;
    // Fills Label16..Label23 from the inn's profile.
    void setCompanyLabels(const CompanyProfile& profile,
                          const CompanyLabelStyle& style = CompanyLabelStyle::standard());

    // The date printed by %D and %d; today when not set.
    QDate printDate() const;
    void setPrintDate(const QDate& date) { m_printDate = date; }

    // Reads the data source and lays the report out. Tells no job: the jobs below do.
    ReportDocument compose();

    // Composes and paints every page on the device (a printer or a PDF writer) as a job
    // of the given kind. Returns the number of pages.
    int render(QPagedPaintDevice* device, JobKind kind);
    // An Export job into a PDF file; throws when the file cannot be written.
    void exportPdf(const QString& fileName);
    // A Print job: asks for the printer through the dialogs seam, then prints. False, and
    // no job at all, when the user cancels the printer choice.
    bool print(QWidget* parent);
    // A Preview job: composes and shows the preview window, which does not block and
    // deletes itself when closed. parent keeps the preview above it.
    ReportPreview* showPreview(QWidget* parent = nullptr);

    // Runs work as a job of the given kind: the report is told when it starts and when it
    // ends (completed false when work threw; the error then goes on to the caller).
    void runJob(JobKind kind, const std::function<void()>& work);

    // "2026年12月7日" and "2026/12/07", the two print-date forms.
    static QString longDateText(const QDate& date);
    static QString shortDateText(const QDate& date);
    // The family every report prints in.
    static QString fontFamily();

signals:
    void jobStarted(desk::JobKind kind);
    void jobFinished(desk::JobKind kind, bool completed);

protected:
    // Hooks for a concrete report; the signals follow them. A report that records a
    // printout does it on onJobFinished(JobKind::Print, true).
    virtual void onJobStarted(JobKind kind) {}
    virtual void onJobFinished(JobKind kind, bool completed) {}

private:
    bool isNameTaken(const QString& name) const;
    const ReportControl* findControl(const QString& name) const;

    QString m_title;
    QString m_fileName;
    QPageLayout m_pageLayout;
    std::array<std::unique_ptr<ReportSection>, 5> m_sections;
    QHash<QString, QString> m_labels;
    QDate m_printDate;
    std::shared_ptr<Connection> m_connection;
    std::unique_ptr<RowSet> m_ownedRows;
    RowSet* m_rows = nullptr;
};

} // namespace desk
