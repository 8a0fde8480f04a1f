#include "FrmSyukei.h"

#include "ui_FrmSyukei.h"

#include "Aggregation.h"
#include "TallyReport.h"
#include "TallyChart.h"
#include "TallyCsv.h"
#include "tallysvc/TallyResult.h"
#include "convert/Convert.h"
#include "report/ReportPreview.h"
#include "ui/BusyCursor.h"
#include "ui/CsvFile.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/QueryGridModel.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>

namespace tallyapp {

namespace {

// The size the chart is drawn at for paper and image files, whatever the window's size.
constexpr QSize ChartPictureSize(1200, 800);

QString warningTitle() {
    return QStringLiteral("警告");
}

} // namespace

FrmSyukei::FrmSyukei(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::FrmSyukei>())
    , m_context(context) {
    m_ui->setupUi(this);

    m_model = new desk::QueryGridModel(this);
    m_ui->DataGrid1->setGridModel(m_model, {});
    m_ui->DataGrid1->verticalHeader()->setVisible(false);

    m_chartView = new QChartView(m_ui->PageChart);
    m_chartView->setObjectName(QStringLiteral("ChartView"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_ui->layoutPageChart->insertWidget(0, m_chartView, 1);

    desk::onClicked(m_ui->CmdPrint, this, &FrmSyukei::CmdPrint_Click);
    desk::onClicked(m_ui->CmdCsv, this, &FrmSyukei::CmdCsv_Click);
    desk::onClicked(m_ui->CmdChartPrint, this, &FrmSyukei::CmdChartPrint_Click);
    desk::onClicked(m_ui->CmdChartSave, this, &FrmSyukei::CmdChartSave_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);
}

FrmSyukei::~FrmSyukei() = default;

int FrmSyukei::kind() const {
    return m_result ? m_result->kind() : -1;
}

void FrmSyukei::showResult(std::shared_ptr<TallyResult> result) {
    m_ui->Text1->setText(desk::convert::shortDateText(result->first()));
    m_ui->Text2->setText(desk::convert::shortDateText(result->last()));
    m_model->setShowUnboundFields(false);
    m_model->setColumns(Aggregation::gridColumns(result->kind()));
    m_model->setRows(result->rows());
    m_result = std::move(result);
    m_ui->DataGrid1->setGridModel(m_model, Aggregation::gridColumns(m_result->kind()));
    fitColumns();

    QChart* old = m_chartView->chart();
    m_chartView->setChart(buildChart(*m_model, m_result->kind()));
    delete old;
    m_ui->DataGrid1->setFocus();
}

void FrmSyukei::fitColumns() {
    // The design's widths were made for a narrower screen font: a column grows to its
    // heading and its widest text instead of cutting them.
    QAbstractItemView* grid = m_ui->DataGrid1; // sizeHintForColumn is public here
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int wanted =
            std::max(grid->sizeHintForColumn(c), m_ui->DataGrid1->horizontalHeader()->sectionSizeHint(c));
        if (wanted > m_ui->DataGrid1->columnWidth(c))
            m_ui->DataGrid1->setColumnWidth(c, wanted);
    }
}

void FrmSyukei::CmdPrint_Click() {
    if (!m_result)
        return;
    desk::BusyCursor busy;
    auto report = createReport(*m_result, m_context);
    desk::ReportPreview* preview = report->showPreview(this);
    // The report lives as long as its preview.
    report.release()->setParent(preview);
}

void FrmSyukei::CmdCsv_Click() {
    if (!m_result)
        return;
    const QString fileName =
        desk::askCsvFileName(this, Aggregation::reportTitle(m_result->kind()), m_result->first(), m_result->last());
    if (fileName.isEmpty())
        return;
    QByteArray bytes;
    {
        desk::BusyCursor busy;
        bytes = tallyCsv(*m_model, Aggregation::summedFields(m_result->kind()));
    }
    desk::writeCsvFile(this, fileName, bytes, warningTitle());
}

void FrmSyukei::CmdChartPrint_Click() {
    if (!m_result)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(Aggregation::reportTitle(m_result->kind()));
    if (!desk::dialogs().choosePrinter(this, &printer))
        return;
    desk::BusyCursor busy;
    paintChartPage(&printer, *m_model, m_result->kind(), m_result->first(), m_result->last(),
                   m_context.MyCompanyName());
}

void FrmSyukei::CmdChartSave_Click() {
    if (!m_result)
        return;
    const QString suggested =
        QDir::home().filePath(Aggregation::reportTitle(m_result->kind()) + QStringLiteral(".png"));
    QString fileName =
        desk::dialogs().saveFileName(this, QStringLiteral("画像保存"), suggested, QStringLiteral("PNG画像 (*.png)"));
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".png");
    bool saved = false;
    {
        desk::BusyCursor busy;
        saved = chartImage(*m_model, m_result->kind(), ChartPictureSize).save(fileName, "PNG");
    }
    if (!saved)
        desk::dialogs().message(
            this, QStringLiteral("ファイルに書き込めませんでした。\n") + QDir::toNativeSeparators(fileName),
            warningTitle(), desk::Dialogs::Icon::Critical);
}

} // namespace tallyapp
