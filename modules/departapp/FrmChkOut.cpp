#include "FrmChkOut.h"

#include "ui_FrmChkOut.h"

#include "BillReport.h"
#include "StatementModel.h"

#include "arrivalsvc/CheckInDesk.h"

#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "departsvc/Settlement.h"
#include "report/ShowReport.h"
#include "taxsvc/TaxSettings.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GridColumn.h"
#include "ui/GuardedConnect.h"
#include "ui/SlotGuard.h"
#include "ui/StatusPanel.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>

#include <optional>

namespace departapp {

namespace {

desk::GridColumns statementColumns() {
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const auto column = [](const char* caption, const char* field, int width, Qt::Alignment alignment,
                           const QString& format = {}) {
        return desk::GridColumn{.caption = QString::fromUtf8(caption),
                                .field = QString::fromLatin1(field),
                                .width = width,
                                .alignment = alignment,
                                .format = format};
    };
    return {
        column("日付", "SalesDate", 90, left, QStringLiteral("yyyy/MM/dd")),
        column("商品名", "SlCmName", 190, left),
        column("特記", "SlCmSpec", 150, left),
        column("数量", "SlQuantity", 60, right, desk::convert::AmountFormat),
        column("単価", "SlUnitP", 80, right, desk::convert::AmountFormat),
        column("小計", "SlSubTotal", 90, right, desk::convert::AmountFormat),
        column("サ料", "SlSv", 40, Qt::AlignCenter),
        column("税", "SlTax", 40, Qt::AlignCenter),
        column("番号", "SalesNo", 60, right),
    };
}

const QString enterDate = QStringLiteral("日付を入力して「計算実行」ボタンを押してください。");
const QString billReady = QStringLiteral("「発行」ボタンを押すと、請求書を印刷できます。");
const QString nightsPending =
    QStringLiteral("未計上の宿泊料を明細に入れて表示しています。Enter か「宿泊料計上」で計上します。");

} // namespace

FrmChkOut::FrmChkOut(desk::ModuleContext& context, const CheckOutGuest& guest, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::FrmChkOut>())
    , m_context(context)
    , m_guest(guest) {
    m_ui->setupUi(this);

    m_panel1 = desk::addStatusPanel(m_ui->StatusBar1, QStringLiteral("Panel1"), 0, 24);
    m_panel2 = desk::addStatusPanel(m_ui->StatusBar1, QStringLiteral("Panel2"), 1);

    const desk::GridColumns columns = statementColumns();
    m_grid = new StatementModel(columns, this);
    m_ui->DataGrid1->setModel(m_grid);
    desk::applyGridColumns(m_ui->DataGrid1, columns);

    desk::onClicked(m_ui->CmdRecord, this, &FrmChkOut::CmdRecord_Click);
    desk::onClicked(m_ui->CmdBill, this, &FrmChkOut::CmdBill_Click);
    desk::onClicked(m_ui->CmdNights, this, &FrmChkOut::CmdNights_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);
    // Leaving and browsing the statement work whatever the date boxes hold.
    calfield::DateTextBox::setLeaveOnly(m_ui->CmdEnd);
    calfield::DateTextBox::setLeaveOnly(m_ui->DataGrid1);

    // Load.
    setGuidance(enterDate);
    m_ui->lbChkOutName->setText(m_guest.name);
    m_ui->txtChkOutIn->setText(m_guest.checkInNo);
    m_ui->lbCheckOutKazu->setText(QString::number(m_guest.quantity));
    m_ui->lbCheckOutGroupe->setText(m_guest.groupe);
    m_ui->lbChkOutRoomNo->setText(m_guest.roomNo);
    m_ui->lbChkIn->setText(desk::convert::formatValue(m_guest.checkInDate, QStringLiteral("yyyy/MM/dd")));
    // Guests settle on the day they leave: today is offered, the clerk may type another day.
    // A bill printed again for a guest gone already is dated the day they left.
    m_ui->CkOutDateBox->showDay(m_guest.checkedOutOn.isValid() ? m_guest.checkedOutOn : QDate::currentDate());
    move(0, 0);
    m_ui->CkOutDateBox->setFocus();
}

FrmChkOut::~FrmChkOut() = default;

DataReport1* FrmChkOut::billReport() const {
    return m_bill;
}

void FrmChkOut::setGuidance(const QString& text) {
    m_panel2->setText(text);
}

bool FrmChkOut::ChkOutDateCheck() {
    const auto* date = m_ui->CkOutDateBox;
    const QString year = date->YearText();
    const QString month = date->MonthText();
    const QString day = date->DayText();
    QLineEdit* const missing = year.isEmpty()    ? date->findChild<QLineEdit*>(QStringLiteral("TextYear"))
                               : month.isEmpty() ? date->findChild<QLineEdit*>(QStringLiteral("TextMonth"))
                               : day.isEmpty()   ? date->findChild<QLineEdit*>(QStringLiteral("TextDay"))
                                                 : nullptr;
    if (missing) {
        desk::dialogs().beep();
        desk::dialogs().message(this, QStringLiteral("日付が入力されていません。"), QStringLiteral("警告"),
                                desk::Dialogs::Icon::Critical);
        missing->setFocus();
        return false;
    }
    // The settlement date is printed on the bill: it has to be a day of the calendar.
    if (!desk::convert::strictDate(year, month, day)) {
        desk::refuseDate(this);
        if (auto* box = date->findChild<QLineEdit*>(QStringLiteral("TextDay")))
            box->setFocus();
        return false;
    }
    return true;
}

QDate FrmChkOut::settlementDate() const {
    const auto* date = m_ui->CkOutDateBox;
    return date->typedDay().value_or(QDate());
}

departsvc::Statement FrmChkOut::CheckOutDetailCall() {
    setGuidance(QStringLiteral("集計中です。しばらくお待ちください。"));
    m_panel2->repaint();
    desk::BusyCursor busy;
    try {
        // The bill is taxed at the rates in force on the day the clerk confirmed. The nights
        // not rung up yet are offered in the grid, counted in, until the clerk saves them.
        m_offer = departsvc::offeredNights(m_context.DirPath(), m_guest.checkInNo, settlementDate());
        departsvc::Statement statement =
            departsvc::Settlement(m_context.DirPath()).showStatement(m_guest.checkInNo, settlementDate(), m_offer);
        m_grid->setStatement(statement);
        showOffer();
        return statement;
    } catch (...) {
        m_offer = {};
        showOffer();
        m_grid->clear();
        setGuidance(enterDate);
        throw;
    }
}

void FrmChkOut::showOffer() {
    const bool pending = !m_offer.isEmpty();
    m_ui->CmdNights->setEnabled(pending);
    if (pending)
        m_ui->CmdNights->setFocus();
}

bool FrmChkOut::ringUpOffer() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    const qint32 slip = departsvc::ringUpNights(m_context.DirPath(), m_offer);
    if (slip == 0) {
        // Rung up meanwhile: what is on file now is shown, and offered again only if still owed.
        CheckOutDetailCall();
        busy.reset();
        desk::dialogs().message(this,
                                QStringLiteral("宿泊料が他の画面か端末で計上されました。明細を計算し直しました。"),
                                QStringLiteral("警告"), desk::Dialogs::Icon::Exclamation);
        return false;
    }
    CheckOutDetailCall();
    setGuidance(QStringLiteral("宿泊料を売上伝票 %1 に計上しました。").arg(slip) + billReady);
    return true;
}

void FrmChkOut::CmdNights_Click() {
    if (m_offer.isEmpty()) {
        desk::dialogs().beep();
        return;
    }
    // The offer stands for the day it was worked out on; a date typed since is worked out first.
    if (!ChkOutDateCheck())
        return;
    if (settlementDate() != m_offer.settledOn) {
        CheckOutDetailCall();
        setGuidance(nightsPending);
        return;
    }
    if (ringUpOffer())
        m_ui->CmdBill->setFocus();
}

void FrmChkOut::ClearData() {
    departsvc::Settlement(m_context.DirPath()).clearStatement();
}

void FrmChkOut::CmdRecord_Click() {
    if (!ChkOutDateCheck())
        return;
    CheckOutDetailCall();
    setGuidance(m_offer.isEmpty() ? billReady : nightsPending);
}

void FrmChkOut::computeStatement() {
    desk::guarded(this, [this] { CmdRecord_Click(); });
}

void FrmChkOut::CmdBill_Click() {
    const auto* date = m_ui->CkOutDateBox;
    DataReport1::Bill bill{
        m_ui->lbChkIn->text(),
        date->printedText(),
        m_ui->txtChkOutIn->text(),
        m_ui->lbChkOutName->text() + QStringLiteral(" 様"),
        m_ui->lbCheckOutGroupe->text(),
        m_ui->lbChkOutRoomNo->text(),
        {},
        {},
    };
    if (!ChkOutDateCheck())
        return;
    bill.settledOn = settlementDate();
    // Worked out now, so that the bill is never empty and never older than the charges and
    // payments recorded meanwhile.
    departsvc::Statement statement = CheckOutDetailCall();
    setGuidance(billReady);
    // A bill never carries nights that are not on file: they are rung up first, or left out.
    if (!m_offer.isEmpty()) {
        const desk::Dialogs::Answer answer = desk::dialogs().message(
            this,
            QStringLiteral("未計上の宿泊料があります。計上してから請求書を発行しますか？\r\n"
                           "「いいえ」では宿泊料を除いて発行します。"),
            QStringLiteral("発行"), desk::Dialogs::Icon::Question, desk::Dialogs::Buttons::YesNoCancel);
        if (answer == desk::Dialogs::Answer::Cancel) {
            setGuidance(nightsPending);
            return;
        }
        if (answer == desk::Dialogs::Answer::Yes && !ringUpOffer())
            return;
        if (answer == desk::Dialogs::Answer::No)
            m_offer = {};
        statement = departsvc::Settlement(m_context.DirPath()).showStatement(m_guest.checkInNo, bill.settledOn);
        m_grid->setStatement(statement);
        m_offer = {};
        showOffer();
    }
    bill.invoiceNo = taxsvc::TaxSettings::readFrom(m_context.DirPath()).invoiceNo;

    auto report = std::make_unique<DataReport1>(m_context.DirPath(), bill, statement, m_context.profile());
    DataReport1* shown = report.get();
    connect(shown, &desk::Report::jobFinished, this, &FrmChkOut::billJobFinished);
    // The preview owns the bill and closes with this window.
    desk::showReport(std::move(report), this);
    m_bill = shown;
}

void FrmChkOut::billJobFinished(desk::JobKind kind, bool completed) {
    if (kind == desk::JobKind::Preview)
        return;
    QString done;
    if (kind == desk::JobKind::Print)
        done = completed ? QStringLiteral("請求書を印刷しました。") : QStringLiteral("請求書を印刷できませんでした。");
    else
        done = completed ? QStringLiteral("PDFに出力しました。") : QStringLiteral("PDFに出力できませんでした。");
    // Read back rather than assumed: a guest billed again may be checked out already.
    std::optional<bool> checkedOut;
    try {
        if (const auto stay = arrivalsvc::CheckInDesk(m_context.DirPath()).callUp(m_ui->txtChkOutIn->text()))
            checkedOut = stay->checkedOut;
    } catch (...) {
    }
    if (!checkedOut)
        setGuidance(done + QStringLiteral("チェックアウトの状態を確認できませんでした。"));
    else if (*checkedOut)
        setGuidance(done + QStringLiteral("お客様はチェックアウト済みです。"));
    else
        setGuidance(done + QStringLiteral("チェックアウトはまだです（請求書を印刷するとチェックアウトになります）。"));
}

void FrmChkOut::closeEvent(QCloseEvent* event) {
    // The statement never outlives its window; a failure is told, the window closes anyway.
    desk::guarded(this, [this] { ClearData(); });
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace departapp
