#include "FrmRptBill.h"

#include "ui_FrmRptBill.h"

#include "arrivalsvc/CheckInDesk.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "payitemsvc/PaymentItems.h"
#include "paymentsvc/PaymentSlipBook.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/DataGridModel.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/SlotGuard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QTimer>

#include <exception>

namespace paymentapp {

namespace {

const QString warningTitle = QStringLiteral("警告");
const QString totalFormat = QStringLiteral("##,###,###");

QString partText(int value) {
    return QString::number(value);
}

// Columns of DataGrid1 over BTReciptTemp. The name is filled from the item code, so only
// code, remarks and amount take typing.
desk::GridColumns gridColumns() {
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    return {{QStringLiteral("入金コード"), QStringLiteral("RptCode"), 90, left, {}, true},
            {QStringLiteral("　　　　　項目名"), QStringLiteral("RptName"), 200, left, {}, false},
            {QStringLiteral("特記事項"), QStringLiteral("RptRemarks"), 240, left, {}, true},
            {QStringLiteral("金額"), QStringLiteral("ReciptAmount"), 120, right, desk::convert::AmountFormat, true}};
}

constexpr int codeColumn = 0;
constexpr int nameColumn = 1;
constexpr int remarksColumn = 2;
constexpr int amountColumn = 3;

} // namespace

FrmRptBill::FrmRptBill(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmRptBill>())
    , m_context(context)
    , m_session(std::make_unique<paymentsvc::PaymentSlipBook>(context.DirPath())) {
    m_ui->setupUi(this);

    desk::onClicked(m_ui->CmdRecord, this, &FrmRptBill::CmdRecord_Click);
    desk::onClicked(m_ui->CmdCall, this, &FrmRptBill::CmdCall_Click);
    desk::onClicked(m_ui->CmdModify, this, &FrmRptBill::CmdModify_Click);
    desk::onClicked(m_ui->CmdDelete, this, &FrmRptBill::CmdDelete_Click);
    desk::onClicked(m_ui->CmdBill, this, &FrmRptBill::CmdBill_Click);
    desk::onClicked(m_ui->CmdClear, this, &FrmRptBill::CmdClear_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, [this] { CmdEnd_Click(); });
    desk::closeOnEscape(this, m_ui->CmdEnd);
    m_ui->txtChkInNoRecipt->installEventFilter(this);
    auto* grid = m_ui->DataGrid1;
    desk::guardedConnect(grid, &desk::DataGridView::cellEditCommitted, this, &FrmRptBill::DataGrid1_AfterColEdit);
    connect(grid, &desk::DataGridView::keyPressed, this,
            [this](int& key, Qt::KeyboardModifiers, int column) { DataGrid1_KeyPress(key, column); });
    // Runs inside the grid's own guard: an error stops the deletion and is reported there.
    connect(grid, &desk::DataGridView::rowAboutToBeDeleted, this,
            [this](int, const QVariantList& values) { DataGrid1_BeforeDelete(values); });

    // Load: a failure here goes back to the caller of ShowForm.
    move(0, 0);
    ReciptNoNext();
    m_ui->CmbRptClass->setCurrentIndex(0);
    ReciptButtonsNew();
    ReciptGridOpen();
    // Lines a window left behind come back with their total; the clerk is told, and keeps
    // them for this slip or clears them with 表示消去.
    ReciptTotalCalc();
    if (const int left = m_lines->lineCount(); left > 0)
        confirm(
            QStringLiteral("登録されていない明細が %1 行残っています。この伝票で登録するか、表示消去で消してください。")
                .arg(left));
    offerToday();
    m_ui->txtChkInNoRecipt->setFocus();
    // A guest handed over with the showing, now or while the window is open.
    const auto takeGuest = [this] {
        if (const QString number = m_context.takeGuest(); !number.isEmpty())
            QTimer::singleShot(0, this, [this, number] { desk::guarded(this, [&] { openForGuest(number); }); });
    };
    connect(&m_context, &desk::ModuleContext::guestHandedOver, this, takeGuest);
    takeGuest();
}

void FrmRptBill::openForGuest(const QString& number) {
    const QString onScreen = m_ui->txtChkInNoRecipt->text();
    if (m_session.calledUp() || (!onScreen.isEmpty() && onScreen != number)) {
        confirm(
            QStringLiteral(
                "入力中の伝票があります。登録するか表示消去してから、チェックイン番号 %1 の入金を入力してください。")
                .arg(number));
        return;
    }
    m_registered.reset();
    m_ui->txtChkInNoRecipt->setText(number);
    if (!ReciptCkInNo())
        return;
    auto* grid = m_ui->DataGrid1;
    grid->setFocus(Qt::OtherFocusReason);
    grid->setCurrentCell(m_lines->lineCount(), codeColumn);
}

FrmRptBill::~FrmRptBill() {
    // The box's last leave must not reach a window that is being taken apart.
    m_ui->txtChkInNoRecipt->removeEventFilter(this);
}

ReceiptValues FrmRptBill::receiptValues() const {
    const auto* date = m_ui->DateTextBoxRecipt;
    return {m_ui->CmbRptClass->currentText(),
            m_ui->lbReciptNo->text(),
            date->printedText(),
            m_ui->txtChkInNoRecipt->text(),
            m_ui->lbNameRecipt->text(),
            m_ui->lbRoomNoRecipt->text(),
            m_total,
            date->typedDay().value_or(QDate())};
}

bool FrmRptBill::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->txtChkInNoRecipt && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const QWidget* next = QApplication::focusWidget();
        // Not when another window (our own message) takes the focus, and not on the way to
        // a button that only discards the entry: the clerk is never held by a look-up there.
        const bool discarding = next == m_ui->CmdEnd || next == m_ui->CmdClear;
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !discarding)
            desk::guarded(this, [this] { ReciptCkInNo(); });
    }
    return QWidget::eventFilter(watched, event);
}

void FrmRptBill::closeEvent(QCloseEvent* event) {
    if (hasUnsavedLines() &&
        desk::dialogs().message(this, QStringLiteral("登録していない明細があります。終了しますか？"), warningTitle,
                                desk::Dialogs::Icon::Question,
                                desk::Dialogs::Buttons::YesNoDefaultNo) != desk::Dialogs::Answer::Yes) {
        event->ignore();
        return;
    }
    // However the window closes, its lines go with it: left behind, they would come back in
    // the next slip with no date and no guest. A failure is told; the window closes anyway.
    desk::guarded(this, [this] { ClearReciptData(); });
    QWidget::closeEvent(event);
}

bool FrmRptBill::hasUnsavedLines() const {
    return m_lines && m_session.hasUnsavedLines(m_lines->lineCount());
}

bool FrmRptBill::showsAnything() const {
    if (m_session.calledUp() || (m_lines && m_lines->lineCount() > 0) || !m_ui->txtChkInNoRecipt->text().isEmpty())
        return true;
    // Today's date is only offered; another day was typed.
    const auto* date = m_ui->DateTextBoxRecipt;
    return !date->IsEmpty() && date->typedDay() != QDate::currentDate();
}

void FrmRptBill::offerToday() {
    if (m_ui->DateTextBoxRecipt->IsEmpty())
        m_ui->DateTextBoxRecipt->setDateValue(desk::convert::dayText(QDate::currentDate()));
}

paymentsvc::PaymentSlip FrmRptBill::slipOnScreen() const {
    return {{}, paymentsvc::PaymentSlipBook(m_context.DirPath()).workLines()};
}

void FrmRptBill::warn(const QString& text) {
    desk::dialogs().beep();
    desk::dialogs().message(this, text, warningTitle, desk::Dialogs::Icon::Exclamation);
}

void FrmRptBill::confirm(const QString& text) {
    m_ui->lbStatus->setText(text);
}

void FrmRptBill::ReciptGridOpen() {
    m_gridConnection = desk::Connection::open(m_context.DirPath(), QLatin1String(desk::DbFile::Recipt));
    m_lines = new desk::DataGridModel(this);
    const desk::GridColumns columns = gridColumns();
    m_lines->open(m_gridConnection, QStringLiteral("BTReciptTemp"), columns);
    m_ui->DataGrid1->setGridModel(m_lines, columns);
    for (const auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_lines, changed, this, [this] { m_session.noteLinesEdited(); });
    connect(m_lines, &QAbstractItemModel::dataChanged, this, [this] { m_session.noteLinesEdited(); });
}

void FrmRptBill::refreshGrid() {
    if (m_lines)
        m_lines->requery();
}

void FrmRptBill::DataGrid1_AfterColEdit(int row, int column) {
    if (column == codeColumn) {
        const QString code = desk::convert::textOf(m_lines->cellValue(row, codeColumn));
        // The record's second column is the item's name; an item may well be named "X".
        const std::optional<desk::CodeRecord> item = payitemsvc::paymentItems(m_context.DirPath()).find(code);
        if (!item) {
            m_ui->DataGrid1->refuseCommittedEdit();
            warn(QStringLiteral("入金項目が見つかりません。やりなおしてください。"));
            return;
        }
        m_lines->setCellValue(row, nameColumn, item->value(1).toString());
        // The name is the item's: the keys go on in the remarks, as in the sales lines.
        m_ui->DataGrid1->setCurrentCell(row, remarksColumn);
    } else if (column == amountColumn) {
        // What a bill cannot hold is taken back before it stands in the total.
        if (!paymentsvc::PaymentSlip::totalFits(slipOnScreen().total())) {
            m_ui->DataGrid1->refuseCommittedEdit();
            m_lines->setCellValue(row, amountColumn, QVariant());
            ReciptTotalCalc();
            m_ui->DataGrid1->setCurrentCell(row, amountColumn);
            warn(paymentsvc::PaymentSlip::totalRefusal());
            return;
        }
        ReciptTotalCalc();
    }
}

void FrmRptBill::DataGrid1_KeyPress(int& key, int column) {
    // Enter moves on like Tab, so a line is typed code, remarks, amount without leaving the
    // keys; from the amount it goes on to the next line.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && column >= 0)
        key = Qt::Key_Tab;
}

void FrmRptBill::DataGrid1_BeforeDelete(const QVariantList& values) {
    // A line without an amount takes nothing off.
    const QVariant amount = values.value(amountColumn);
    m_total = paymentsvc::PaymentSlip::lessLine(m_total, amount.isNull() ? std::nullopt
                                                                         : std::optional<double>(amount.toDouble()));
    showTotal();
}

bool FrmRptBill::ReciptCkInNo() {
    const QString number = m_ui->txtChkInNoRecipt->text();
    if (number.isEmpty())
        return true;
    // Found or not is the answer's own: a check-in may well be numbered "X".
    const std::optional<arrivalsvc::CheckIn> guest = arrivalsvc::CheckInDesk(m_context.DirPath()).callUp(number);
    if (!guest) {
        m_ui->txtChkInNoRecipt->clear();
        m_ui->lbNameRecipt->clear();
        m_ui->lbRoomNoRecipt->clear();
        warn(QStringLiteral("チェックイン番号が見当たりません。"));
        m_ui->txtChkInNoRecipt->setFocus();
        return false;
    }
    m_ui->lbNameRecipt->setText(guest->name);
    m_ui->lbRoomNoRecipt->setText(guest->roomNo);
    return true;
}

std::optional<slipkit::SlipHeader> FrmRptBill::checkedEntry() {
    const auto* date = m_ui->DateTextBoxRecipt;
    for (const QString& text : {date->YearText(), date->MonthText(), date->DayText(), m_ui->txtChkInNoRecipt->text()}) {
        if (text.trimmed().isEmpty()) {
            warn(QStringLiteral("入力データが不完全です。登録できません。"));
            return std::nullopt;
        }
    }
    if (slipOnScreen().lines.isEmpty()) {
        warn(QStringLiteral("入金データが不完全です。登録できません。"));
        return std::nullopt;
    }
    const std::optional<QDate> typed = date->typedDay();
    if (!typed) {
        desk::dialogs().beep();
        desk::refuseDate(this);
        return std::nullopt;
    }
    return slipkit::SlipHeader{m_session.number(), *typed, m_ui->txtChkInNoRecipt->text(),
                               static_cast<qint16>(m_ui->CmbRptClass->currentIndex())};
}

void FrmRptBill::CmdRecord_Click() {
    const std::optional<slipkit::SlipHeader> header = checkedEntry();
    if (!header)
        return;

    slipkit::Registration registration;
    {
        desk::BusyCursor busy;
        // Header, lines and the emptied work table together, or nothing.
        registration = m_session.registerSlip(*header);
    }
    const QString number = QString::number(registration.number);
    if (!registration.saved()) {
        // Another desk saved this number meanwhile: offer the next one and keep the lines.
        m_ui->lbReciptNo->setText(QString::number(registration.nextNumber));
        warn(QStringLiteral("入金番号 %1 は他の端末で登録されました。新しい入金番号 %2 で登録しなおしてください。")
                 .arg(number, m_ui->lbReciptNo->text()));
        return;
    }

    ClearReciptData();
    ReciptNoNext();
    confirm(QStringLiteral("入金番号 %1 を登録しました。").arg(number));
    m_ui->txtChkInNoRecipt->setFocus();
    // Its receipt is one key away while nothing else is typed.
    m_registered = registration.number;
}

void FrmRptBill::CmdCall_Click() {
    // Asked only when the call-up would take something off the screen.
    if (showsAnything() && desk::dialogs().message(this, QStringLiteral("表示されているデータが消去されます。"),
                                                   warningTitle, desk::Dialogs::Icon::Question,
                                                   desk::Dialogs::Buttons::YesNo) != desk::Dialogs::Answer::Yes)
        return;
    confirm({});
    ClearReciptData();
    ReciptEDmessage();
}

void FrmRptBill::ReciptEDmessage() {
    const QString answer = desk::dialogs().input(this, QStringLiteral("訂正、削除する売上番号を入力してください。"),
                                                 QStringLiteral("訂正、削除"));
    if (answer.isEmpty())
        return;
    // An answer that is no whole number names no slip; neither does one beyond any.
    if (!showSlip(slipkit::SlipSession::typedNumber(answer, slipkit::SlipSession::Typed::WholeOnly)))
        warn(QStringLiteral("番号が見つかりません。"));
}

bool FrmRptBill::showSlip(qint32 number) {
    m_registered.reset();
    std::optional<slipkit::SlipHeader> slip;
    {
        desk::BusyCursor busy;
        slip = m_session.callUp(number);
    }
    if (!slip)
        return false;

    m_ui->lbReciptNo->setText(QString::number(slip->number));
    m_ui->Label1->setText(QString::number(slip->number));
    const QDate date = slip->date;
    auto* dateBox = m_ui->DateTextBoxRecipt;
    dateBox->setYearText(date.isValid() ? partText(date.year()) : QString());
    dateBox->setMonthText(date.isValid() ? partText(date.month()) : QString());
    dateBox->setDayText(date.isValid() ? partText(date.day()) : QString());
    m_ui->txtChkInNoRecipt->setText(slip->checkInNo);
    const int kind = slip->kind;
    m_ui->CmbRptClass->setCurrentIndex(kind >= 0 && kind < m_ui->CmbRptClass->count() ? kind : 0);
    refreshGrid();
    m_session.linesMatchTheSlip();
    ReciptTotalCalc();
    ReciptButtonsCalled();
    // The lines are what a correction changes; an unknown guest keeps the focus in its box.
    if (ReciptCkInNo()) {
        m_ui->DataGrid1->setFocus();
        m_ui->DataGrid1->setCurrentCell(0, 0);
    }
    return true;
}

void FrmRptBill::CmdModify_Click() {
    const std::optional<slipkit::SlipHeader> header = checkedEntry();
    if (!header)
        return;

    const QString number = m_ui->lbReciptNo->text();
    {
        desk::BusyCursor busy;
        m_session.correct(*header);
    }
    ClearReciptData();
    ReciptButtonsNew();
    ReciptNoNext();
    confirm(QStringLiteral("入金番号 %1 を訂正しました。").arg(number));
    m_ui->txtChkInNoRecipt->setFocus();
}

void FrmRptBill::CmdDelete_Click() {
    qint32 number = 0;
    {
        desk::BusyCursor busy;
        number = m_session.remove();
    }
    ClearReciptData();
    ReciptButtonsNew();
    ReciptNoNext();
    confirm(QStringLiteral("入金番号 %1 を削除しました。").arg(number));
    m_ui->txtChkInNoRecipt->setFocus();
}

void FrmRptBill::CmdBill_Click() {
    // Right after 登録, with nothing typed since, the receipt is the slip just saved: it
    // comes back on screen as a called-up slip would and prints from there.
    if (m_registered && !showsAnything()) {
        const qint32 number = *m_registered;
        if (!showSlip(number)) {
            warn(QStringLiteral("番号が見つかりません。"));
            return;
        }
    }
    // A receipt is a record of money taken: it is printed for a slip as it is saved.
    if (!m_session.showsStoredSlip()) {
        warn(m_session.calledUp()
                 ? QStringLiteral("訂正が登録されていません。訂正してから領収書を印刷してください。")
                 : QStringLiteral(
                       "登録されていない入金の領収書は印刷できません。登録した入金を呼び出して印刷してください。"));
        return;
    }
    // Each showing makes a new report, which reads the work lines afresh.
    desk::showReport(std::make_unique<DRRptBill>(m_context.DirPath(), receiptValues(), m_context.profile()), this);
}

void FrmRptBill::CmdClear_Click() {
    confirm({});
    ClearReciptData();
    ReciptButtonsNew();
    ReciptNoNext();
    m_ui->txtChkInNoRecipt->setFocus();
}

void FrmRptBill::CmdEnd_Click() {
    // The closing asks about unsaved lines and empties the work table.
    close();
}

void FrmRptBill::ClearReciptData() {
    // Every step is attempted; the first failure is reported once the screen is empty.
    std::exception_ptr failure;
    const auto attempt = [&failure](const auto& step) {
        try {
            step();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    m_registered.reset();
    attempt([this] { m_session.clear(); });
    attempt([this] { refreshGrid(); });
    m_session.linesMatchTheSlip();
    m_ui->txtChkInNoRecipt->clear();
    m_ui->DateTextBoxRecipt->setDateValue({});
    offerToday();
    m_ui->lbNameRecipt->clear();
    m_ui->lbRoomNoRecipt->clear();
    m_ui->CmdDelete->setEnabled(false);
    m_ui->CmdModify->setEnabled(false);
    m_session.startNew();
    m_ui->lbReciptTotal->clear();
    if (failure)
        std::rethrow_exception(failure);
}

void FrmRptBill::ReciptTotalCalc() {
    // An empty work table totals 0, shown as an empty label by the total's format.
    m_total = slipOnScreen().total();
    showTotal();
}

void FrmRptBill::showTotal() {
    m_ui->lbReciptTotal->setText(desk::convert::formatValue(m_total, totalFormat));
}

void FrmRptBill::ReciptButtonsCalled() {
    m_ui->CmdRecord->setEnabled(false);
    m_ui->CmdDelete->setEnabled(true);
    m_ui->CmdModify->setEnabled(true);
}

void FrmRptBill::ReciptButtonsNew() {
    m_session.startNew();
    m_ui->CmdRecord->setEnabled(true);
    m_ui->CmdDelete->setEnabled(false);
    m_ui->CmdModify->setEnabled(false);
}

void FrmRptBill::ReciptNoNext() {
    m_ui->lbReciptNo->setText(QString::number(m_session.proposeNumber()));
}

} // namespace paymentapp
