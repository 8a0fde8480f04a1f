#include "report/ReportPreview.h"

#include "ui_ReportPreview.h"

#include "report/PdfText.h"
#include "report/Report.h"
#include "report/ReportPainter.h"

#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/SlotGuard.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStyle>

namespace desk {

namespace {

constexpr double screenDpi = 96.0;

} // namespace

ReportPreview::ReportPreview(ReportDocument doc, Report* report, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::ReportPreview>())
    , m_doc(std::move(doc))
    , m_report(report) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    if (!m_doc.title.isEmpty())
        setWindowTitle(m_doc.title + QStringLiteral(" - 印刷プレビュー"));

    m_ui->CmbZoom->addItems({QStringLiteral("ページ全体"), QStringLiteral("幅に合わせる"), QStringLiteral("50%"),
                             QStringLiteral("75%"), QStringLiteral("100%"), QStringLiteral("125%"),
                             QStringLiteral("150%"), QStringLiteral("200%")});
    m_ui->CmbZoom->setCurrentIndex(FitWidth);
    // The sheet stands out on a dark desk, as in any print preview.
    m_ui->ScrollPages->setBackgroundRole(QPalette::Dark);
    m_ui->PageHolder->setAutoFillBackground(false);

    connect(m_ui->CmdFirst, &QToolButton::clicked, this, [this] { showPage(1); });
    connect(m_ui->CmdPrevious, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_ui->CmdNext, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_ui->CmdLast, &QToolButton::clicked, this, [this] { showPage(m_doc.pageCount); });
    connect(m_ui->CmbZoom, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(m_ui->CmdPrint, &QPushButton::clicked, this, [this] { guarded(this, [this] { printDocument(); }); });
    connect(m_ui->CmdExport, &QPushButton::clicked, this, [this] { guarded(this, [this] { exportDocument(); }); });
    connect(m_ui->CmdClose, &QPushButton::clicked, this, &QWidget::close);

    const auto shortcut = [this](const QKeySequence& key, auto slot) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { showPage(m_page + 1); });
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { showPage(m_page - 1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { showPage(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_End), [this] { showPage(m_doc.pageCount); });
    shortcut(QKeySequence::ZoomIn, [this] { setZoom(Zoom(qMin(m_ui->CmbZoom->currentIndex() + 1, int(Zoom200)))); });
    shortcut(QKeySequence::ZoomOut, [this] { setZoom(Zoom(qMax(m_ui->CmbZoom->currentIndex() - 1, int(Zoom50)))); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { close(); });

    // A sheet of A4 at a readable size on the first show, but never past the screen it opens
    // on: the title bar stays on the screen and the buttons above the bottom edge (a 1,000-px
    // screen is common at a front desk). Fitted pages follow the viewport.
    const QRect room = screen()->availableGeometry();
    constexpr int titleBar = 40;
    resize(qMin(900, room.width()), qMin(1000, room.height() - titleBar));
    move(room.topLeft());
    m_ui->ScrollPages->viewport()->installEventFilter(this);
    refresh();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::showPage(int page) {
    const int clamped = qBound(1, page, qMax(1, m_doc.pageCount));
    if (clamped == m_page && m_dpi > 0.0)
        return;
    m_page = clamped;
    refresh();
    m_ui->ScrollPages->verticalScrollBar()->setValue(0);
}

void ReportPreview::setZoom(Zoom zoom) {
    m_ui->CmbZoom->setCurrentIndex(zoom);
}

double ReportPreview::wantedDpi() const {
    const QSizeF page = m_doc.pageLayout.fullRect(QPageLayout::Millimeter).size();
    // Room for the page holder's margins and a scroll bar, so a fitted page shows whole.
    const QMargins margins = m_ui->PageLayout->contentsMargins();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 4;
    const QSize view = m_ui->ScrollPages->viewport()->size() -
                       QSize(margins.left() + margins.right() + bar, margins.top() + margins.bottom() + bar);
    const double fitWidth = view.width() / page.width() * 25.4;
    const double fitHeight = view.height() / page.height() * 25.4;
    switch (m_ui->CmbZoom->currentIndex()) {
    case FitPage:
        return qMax(10.0, qMin(fitWidth, fitHeight));
    case FitWidth:
        return qMax(10.0, fitWidth);
    case Zoom50:
        return screenDpi * 0.5;
    case Zoom75:
        return screenDpi * 0.75;
    case Zoom125:
        return screenDpi * 1.25;
    case Zoom150:
        return screenDpi * 1.5;
    case Zoom200:
        return screenDpi * 2.0;
    default:
        return screenDpi;
    }
}

void ReportPreview::refresh() {
    m_dpi = wantedDpi();
    const double ratio = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(ReportPainter::pageImage(m_doc, m_page, m_dpi * ratio));
    pixmap.setDevicePixelRatio(ratio);
    m_ui->LblPageImage->setPixmap(pixmap);
    m_ui->LblPage->setText(QStringLiteral("%1 / %2").arg(m_page).arg(m_doc.pageCount));
    m_ui->CmdFirst->setEnabled(m_page > 1);
    m_ui->CmdPrevious->setEnabled(m_page > 1);
    m_ui->CmdNext->setEnabled(m_page < m_doc.pageCount);
    m_ui->CmdLast->setEnabled(m_page < m_doc.pageCount);
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->ScrollPages->viewport() && event->type() == QEvent::Resize) {
        const int zoom = m_ui->CmbZoom->currentIndex();
        if ((zoom == FitPage || zoom == FitWidth) && qAbs(wantedDpi() - m_dpi) > 0.5)
            refresh();
    }
    return QWidget::eventFilter(watched, event);
}

void ReportPreview::runJob(JobKind kind, const std::function<void()>& work) {
    // The report may be gone while its preview stays open; the pages still print.
    if (m_report)
        m_report->runJob(kind, work);
    else
        work();
}

bool ReportPreview::printDocument() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_doc.pageLayout);
    printer.setDocName(m_doc.title);
    if (!dialogs().choosePrinter(this, &printer))
        return false;
    BusyCursor busy;
    runJob(JobKind::Print, [&] { ReportPainter::paint(m_doc, &printer); });
    return true;
}

namespace {

// Where this desk's user last put a PDF: the folder the next one is proposed in.
QSettings pdfSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tesaro"), QStringLiteral("papers"));
}
const QString pdfFolderKey = QStringLiteral("pdf/folder");

} // namespace

QString ReportPreview::pdfFolder() {
    const QString chosen = pdfSettings().value(pdfFolderKey).toString();
    return !chosen.isEmpty() && QFileInfo(chosen).isDir() ? chosen : QDir::homePath();
}

bool ReportPreview::exportDocument() {
    QString stem = m_doc.fileName.isEmpty() ? m_doc.title : m_doc.fileName;
    if (stem.isEmpty())
        stem = QStringLiteral("report");
    // A file of that name already there is never proposed for overwriting: _2, _3 … follow.
    const QDir folder(pdfFolder());
    QString suggested = folder.filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(suggested); ++n)
        suggested = folder.filePath(QStringLiteral("%1_%2.pdf").arg(stem).arg(n));
    QString fileName =
        dialogs().saveFileName(this, QStringLiteral("PDF出力"), suggested, QStringLiteral("PDF (*.pdf)"));
    if (fileName.isEmpty())
        return false;
    // The suffix added here was not the name the file dialog checked: a file of that name is
    // overwritten only when the clerk says so.
    if (QFileInfo(fileName).suffix().isEmpty()) {
        fileName += QStringLiteral(".pdf");
        if (QFileInfo::exists(fileName) &&
            dialogs().message(
                this, QStringLiteral("%1 は既にあります。上書きしますか？").arg(QDir::toNativeSeparators(fileName)),
                QStringLiteral("PDF出力"), Dialogs::Icon::Question,
                Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
            return false;
    }
    BusyCursor busy;
    bool written = false;
    runJob(JobKind::Export, [&] {
        writePdf(fileName, m_doc.title, [this](QPdfWriter& writer) { ReportPainter::paint(m_doc, &writer); });
        written = true;
    });
    if (written)
        pdfSettings().setValue(pdfFolderKey, QFileInfo(fileName).absolutePath());
    return true;
}

} // namespace desk
