#include "FrmMeals.h"

#include "ui_FrmMeals.h"

#include "MealReport.h"
#include "report/ReportPreview.h"
#include "ui/BusyCursor.h"
#include "ui/CsvFile.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"

#include <QHeaderView>

namespace tallyapp {

namespace {

using tallysvc::MealSheet;

// The sheet's columns on screen: the day is the frame's title.
constexpr int FirstShownField = 1;

} // namespace

FrmMeals::FrmMeals(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::FrmMeals>())
    , m_context(context) {
    m_ui->setupUi(this);
    for (QTableWidget* grid : {m_ui->GridDay1, m_ui->GridDay2}) {
        const QStringList headings = MealSheet::headings().mid(FirstShownField);
        grid->setColumnCount(int(headings.size()));
        grid->setHorizontalHeaderLabels(headings);
        grid->verticalHeader()->setVisible(false);
        grid->horizontalHeader()->setStretchLastSection(true);
    }
    desk::guardedConnect(m_ui->DateTextBox1, &calfield::DateTextBox::Change, this, &FrmMeals::DateTextBox1_Change);
    desk::onClicked(m_ui->CmdPrint, this, &FrmMeals::CmdPrint_Click);
    desk::onClicked(m_ui->CmdCsv, this, &FrmMeals::CmdCsv_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);

    const QDate today = QDate::currentDate();
    m_ui->DateTextBox1->showDay(today);
    showDays(today);
    m_ui->DateTextBox1->setFocus();
}

FrmMeals::~FrmMeals() = default;

void FrmMeals::DateTextBox1_Change() {
    // Counted again as soon as the three boxes name a day; a day half typed counts nothing.
    const std::optional<QDate> day = m_ui->DateTextBox1->typedDay();
    if (day && day->isValid() && (m_days.isEmpty() || *day != m_days.first().day))
        showDays(*day);
}

void FrmMeals::showDays(const QDate& first) {
    QList<tallysvc::MealDay> days;
    {
        desk::BusyCursor busy;
        const MealSheet sheet(m_context.DirPath());
        days << sheet.day(first) << sheet.day(first.addDays(1));
    }
    m_days = days;
    fillGrid(m_ui->GridDay1, m_days.at(0));
    fillGrid(m_ui->GridDay2, m_days.at(1));
    m_ui->FrameDay1->setTitle(desk::Report::longDateText(m_days.at(0).day));
    m_ui->FrameDay2->setTitle(desk::Report::longDateText(m_days.at(1).day));
}

void FrmMeals::fillGrid(QTableWidget* grid, const tallysvc::MealDay& day) {
    const QList<MealSheet::Line> lines = MealSheet::lines({day});
    grid->clearContents();
    grid->setRowCount(int(lines.size()));
    for (int r = 0; r < lines.size(); ++r) {
        const QStringList fields = MealSheet::fields(lines.at(r)).mid(FirstShownField);
        for (int c = 0; c < fields.size(); ++c) {
            auto* item = new QTableWidgetItem(fields.at(c));
            // The four counts stand right, as numbers do.
            if (c >= 4 && c <= 7)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (lines.at(r).change.size() > 0)
                item->setForeground(QColor(0xC0, 0x00, 0x00));
            grid->setItem(r, c, item);
        }
    }
    grid->resizeColumnsToContents();
}

void FrmMeals::CmdPrint_Click() {
    if (m_days.isEmpty())
        return;
    std::unique_ptr<desk::Report> report;
    {
        desk::BusyCursor busy;
        report = createMealReport(m_days, m_context);
    }
    // Printed on paper or into a PDF file, the sheet is the one the kitchen has: the next
    // marks of changes are made against it.
    const QList<tallysvc::MealDay> printed = m_days;
    desk::guardedConnect(report.get(), &desk::Report::jobFinished, this,
                         [this, printed](desk::JobKind kind, bool completed) {
                             if (!completed || kind == desk::JobKind::Preview)
                                 return;
                             const MealSheet sheet(m_context.DirPath());
                             for (const tallysvc::MealDay& day : printed)
                                 sheet.recordPrint(day);
                             if (!m_days.isEmpty())
                                 showDays(m_days.first().day);
                         });
    desk::ReportPreview* preview = report->showPreview(this);
    report.release()->setParent(preview);
}

void FrmMeals::CmdCsv_Click() {
    if (m_days.isEmpty())
        return;
    const QString fileName =
        desk::askCsvFileName(this, QStringLiteral("食数表"), m_days.first().day, m_days.last().day);
    if (fileName.isEmpty())
        return;
    desk::writeCsvFile(this, fileName, mealCsv(m_days), QStringLiteral("警告"));
}

} // namespace tallyapp
