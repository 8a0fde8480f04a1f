#include "FrmSales.h"

#include "ui_FrmSales.h"

#include "DRuriage.h"
#include "arrivalsvc/CheckInDesk.h"
#include "chargesvc/SalesSlipBook.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "goodssvc/ComodityInn.h"
#include "report/ShowReport.h"
#include "taxsvc/TaxSettings.h"
#include "ui/BusyCursor.h"
#include "ui/CodeMaintenance.h"
#include "ui/DataGridModel.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/SlotGuard.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>

namespace chargeapp {

namespace {

// Grid columns by number, as the line computation names them.
enum Column {
    Code = 0,
    Name = 1,
    Spec = 2,
    Quantity = 3,
    UnitPrice = 4,
    SubTotal1 = 5,
    ServiceFee = 6,
    SalesTax = 7,
    SubTotal2 = 8,
};

const QString Warning = QStringLiteral("警告");

void warn(QWidget* parent, const QString& text, desk::Dialogs::Icon icon = desk::Dialogs::Icon::Exclamation) {
    desk::dialogs().message(parent, text, Warning, icon);
}

// A cell as a number: its leading numeric part, an empty cell 0.
double numberOf(const QVariant& value) {
    return chargesvc::lineNumber(value);
}

} // namespace

desk::GridColumns FrmSales::gridColumns() {
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const QString amount = desk::convert::AmountFormat;
    // The subtotal and the line total are worked out from the other cells, never typed.
    return {
        {QStringLiteral("コード"), QStringLiteral("BTCmCode"), 70, left, {}, true},
        {QStringLiteral("     商品名"), QStringLiteral("BTCMname"), 170, left, {}, true},
        {QStringLiteral("    摘要"), QStringLiteral("BTSpec"), 140, left, {}, true},
        {QStringLiteral(" 数量"), QStringLiteral("BTQuantity"), 60, right, amount, true},
        {QStringLiteral(" 単価"), QStringLiteral("BTUnitprice"), 80, right, amount, true},
        {QStringLiteral("   小計"), QStringLiteral("BTSubtotal1"), 90, right, amount, false},
        {QStringLiteral("  サ料"), QStringLiteral("BTServicefee"), 55, right, amount, true},
        {QStringLiteral(" 消費税"), QStringLiteral("BTSalestax"), 60, right, amount, true},
        {QStringLiteral("    合計"), QStringLiteral("BTSubtotal2"), 100, right, amount, false},
    };
}

FrmSales::FrmSales(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmSales>())
    , m_context(context)
    , m_session(std::make_unique<chargesvc::SalesSlipBook>(context.DirPath())) {
    m_ui->setupUi(this);
    // Typing anew takes the last confirmation away, so it never speaks of an older slip.
    desk::clearWhenEdited(this, m_ui->lbStatus);
    m_lines = new desk::DataGridModel(this);

    desk::onClicked(m_ui->CmdRecord, this, &FrmSales::CmdRecord_Click);
    desk::onClicked(m_ui->CmdCall, this, &FrmSales::CmdCall_Click);
    desk::onClicked(m_ui->CmdModify, this, &FrmSales::CmdModify_Click);
    desk::onClicked(m_ui->CmdDelete, this, &FrmSales::CmdDelete_Click);
    desk::onClicked(m_ui->CmdClear, this, &FrmSales::CmdClear_Click);
    desk::onClicked(m_ui->CmdBill, this, &FrmSales::CmdBill_Click);
    desk::onClicked(m_ui->CmdEnd, this, &FrmSales::CmdEnd_Click);
    desk::closeOnEscape(this, m_ui->CmdEnd);
    desk::guardedConnect(m_ui->DbGridSales, &desk::DataGridView::cellEditCommitted, this,
                         &FrmSales::DbGridSales_AfterColEdit);
    desk::guardedConnect(m_ui->DbGridSales, &desk::DataGridView::rowAboutToBeDeleted, this,
                         &FrmSales::DbGridSales_BeforeDelete);
    // The key is handed by reference so that the handler may replace it.
    connect(m_ui->DbGridSales, &desk::DataGridView::keyPressed, this,
            [this](int& key, Qt::KeyboardModifiers, int column) {
                desk::guarded(this, [&] { DbGridSales_KeyPress(key, column); });
            });
    m_ui->txtSalesCkInNo->installEventFilter(this);
    connect(m_lines, &QAbstractItemModel::dataChanged, this, [this] { m_session.noteLinesEdited(); });
    connect(m_lines, &QAbstractItemModel::rowsInserted, this, [this] { m_session.noteLinesEdited(); });
    connect(m_lines, &QAbstractItemModel::rowsRemoved, this, [this] { m_session.noteLinesEdited(); });

    // Load: a failure here goes back to the caller of ShowForm.
    move(0, 0);
    SalesNo();
    m_ui->CmbSalesClass->setCurrentIndex(0);
    SalesButtonsNew();
    SalesGridOpen();
    // Lines left by a window that was not closed normally come back with their total; the
    // clerk is told, and keeps them for this slip or clears them with 表示消去.
    SalesTotalCalc();
    m_ui->DbGridSales->setGridModel(m_lines, gridColumns());
    if (const int left = m_lines->lineCount(); left > 0)
        confirm(
            QStringLiteral("登録されていない明細が %1 行残っています。この伝票で登録するか、表示消去で消してください。")
                .arg(left));
    startNewSlip();
    // A guest handed over with the showing, now or while the window is open.
    const auto takeGuest = [this] {
        if (const QString number = m_context.takeGuest(); !number.isEmpty())
            QTimer::singleShot(0, this, [this, number] { desk::guarded(this, [&] { openForGuest(number); }); });
    };
    connect(&m_context, &desk::ModuleContext::guestHandedOver, this, takeGuest);
    takeGuest();
}

FrmSales::~FrmSales() = default;

void FrmSales::openForGuest(const QString& number) {
    const QString onScreen = m_ui->txtSalesCkInNo->text();
    if (m_session.calledUp() || (!onScreen.isEmpty() && onScreen != number)) {
        confirm(
            QStringLiteral(
                "入力中の伝票があります。登録するか表示消去してから、チェックイン番号 %1 の売上を入力してください。")
                .arg(number));
        return;
    }
    m_ui->txtSalesCkInNo->setText(number);
    if (!SalesCkInNo(true)) {
        m_ui->txtSalesCkInNo->setFocus();
        return;
    }
    auto* grid = m_ui->DbGridSales;
    grid->setFocus(Qt::OtherFocusReason);
    grid->setCurrentCell(m_lines->lineCount(), Code);
}

bool FrmSales::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->txtSalesCkInNo && event->type() == QEvent::FocusOut) {
        // Leaving the box, not the window losing its activation to a message or a popup.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_lookingUp)
            desk::guarded(this, [this] { SalesCkInNo(true); });
    }
    return QWidget::eventFilter(watched, event);
}

void FrmSales::closeEvent(QCloseEvent* event) {
    if (hasUnsavedLines()) {
        const auto answer =
            desk::dialogs().message(this, QStringLiteral("登録していない明細があります。終了しますか？"), Warning,
                                    desk::Dialogs::Icon::Question, desk::Dialogs::Buttons::YesNoDefaultNo);
        if (answer != desk::Dialogs::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    // However the window closes, its lines go with it: left behind, they would come back
    // in the next slip with no date and no guest. A failure is told; the window closes anyway.
    desk::guarded(this, [this] { ClearSalesData(); });
    QWidget::closeEvent(event);
}

bool FrmSales::hasUnsavedLines() const {
    return m_lines->isOpen() && m_session.hasUnsavedLines(m_lines->lineCount());
}

bool FrmSales::showsAnything() const {
    if (m_lines->isOpen() && m_lines->lineCount() > 0)
        return true;
    if (!m_ui->txtSalesCkInNo->text().isEmpty() || !m_ui->txtSalseNoDS->text().isEmpty())
        return true;
    // Today's date is only offered; another day was typed.
    const auto* date = m_ui->DateTextBoxSales;
    return !date->IsEmpty() && date->typedDay() != QDate::currentDate();
}

void FrmSales::startNewSlip() {
    auto* date = m_ui->DateTextBoxSales;
    if (date->IsEmpty())
        date->setDateValue(desk::convert::dayText(QDate::currentDate()));
    date->setFocus(Qt::TabFocusReason);
}

chargesvc::SalesSlipLine FrmSales::lineOnScreen(int row) const {
    chargesvc::SalesSlipLine line;
    line.code = desk::convert::textOf(m_lines->cellValue(row, Code));
    line.name = desk::convert::textOf(m_lines->cellValue(row, Name));
    line.spec = desk::convert::textOf(m_lines->cellValue(row, Spec));
    if (const QVariant quantity = m_lines->cellValue(row, Quantity); !quantity.isNull())
        line.quantity = numberOf(quantity);
    line.unitPrice = numberOf(m_lines->cellValue(row, UnitPrice));
    line.serviceRate = numberOf(m_lines->cellValue(row, ServiceFee));
    line.taxRate = numberOf(m_lines->cellValue(row, SalesTax));
    line.subTotal = numberOf(m_lines->cellValue(row, SubTotal1));
    line.total = numberOf(m_lines->cellValue(row, SubTotal2));
    return line;
}

chargesvc::SalesSlip FrmSales::slipOnScreen() const {
    // The lines as a save takes them: this desk's work lines, which the grid writes at once.
    return {{}, chargesvc::SalesSlipBook(m_context.DirPath()).workLines()};
}

std::optional<slipkit::SlipHeader> FrmSales::typedHeader() {
    const std::optional<QDate> date = slipDate();
    if (!date) {
        desk::refuseDate(this);
        return std::nullopt;
    }
    return slipkit::SlipHeader{m_session.number(), *date, m_ui->txtSalesCkInNo->text(),
                               static_cast<qint16>(m_ui->CmbSalesClass->currentIndex())};
}

void FrmSales::showTotal() {
    m_ui->lbSalesTotal->setText(desk::convert::formatNumber(m_total, QStringLiteral("##,###,###")));
}

// --- procedures ---------------------------------------------------------------------------

void FrmSales::confirm(const QString& text) {
    m_ui->lbStatus->setText(text);
}

void FrmSales::SalesNo() {
    m_ui->lbSalesNo->setText(QString::number(m_session.proposeNumber()));
}

bool FrmSales::SalesCkInNo(bool askCheckedOut) {
    const QString number = m_ui->txtSalesCkInNo->text();
    if (number.isEmpty())
        return false;
    m_lookingUp = true;
    const auto done = qScopeGuard([this] { m_lookingUp = false; });

    // Found or not is the answer's own: a check-in may well be numbered "X".
    const std::optional<arrivalsvc::CheckIn> guest = arrivalsvc::CheckInDesk(m_context.DirPath()).callUp(number);
    if (!guest) {
        warn(this, QStringLiteral("番号が見つかりません。やりなおしてください。"));
        return false;
    }
    // Late charges after check-out stay possible, but only when the clerk says so.
    if (askCheckedOut && guest->checkedOut && m_ui->lbSalesName->property("checkInNo").toString() != number) {
        const auto answer =
            desk::dialogs().message(this, QStringLiteral("チェックアウト済みのお客様です。売上を登録しますか？"),
                                    Warning, desk::Dialogs::Icon::Exclamation, desk::Dialogs::Buttons::YesNoDefaultNo);
        if (answer != desk::Dialogs::Answer::Yes) {
            m_ui->txtSalesCkInNo->clear();
            m_ui->lbSalesName->clear();
            m_ui->lbSalesRmNo->clear();
            m_ui->lbSalesGpName->clear();
            m_ui->lbSalesName->setProperty("checkInNo", QString());
            return false;
        }
    }
    m_ui->lbSalesName->setText(guest->name);
    m_ui->lbSalesName->setProperty("checkInNo", number);
    m_ui->lbSalesRmNo->setText(guest->roomNo);
    m_ui->lbSalesGpName->setText(guest->groupName);
    return true;
}

bool FrmSales::SalesEDmessage() {
    const QString answer = desk::dialogs().input(this, QStringLiteral("訂正、削除する売上番号を入力してください。"),
                                                 QStringLiteral("訂正、削除"));
    if (answer.isEmpty())
        return false;
    // A number beyond any slip simply names none.
    const std::optional<slipkit::SlipHeader> slip =
        m_session.callUp(slipkit::SlipSession::typedNumber(answer, slipkit::SlipSession::Typed::Rounded));
    if (!slip) {
        desk::dialogs().message(this, QStringLiteral("番号が見つかりません。"), Warning);
        return false;
    }
    m_ui->txtSalseNoDS->setText(QString::number(slip->number));
    m_ui->lbSalesNo->setText(QString::number(slip->number));
    const QDate date = slip->date;
    m_ui->DateTextBoxSales->setYearText(date.isValid() ? QString::number(date.year()) : QString());
    m_ui->DateTextBoxSales->setMonthText(date.isValid() ? QString::number(date.month()) : QString());
    m_ui->DateTextBoxSales->setDayText(date.isValid() ? QString::number(date.day()) : QString());
    m_ui->txtSalesCkInNo->setText(slip->checkInNo);
    // The slip is the guest's already: no question about a check-out here.
    SalesCkInNo(false);
    m_ui->CmbSalesClass->setCurrentIndex(std::clamp<int>(slip->kind, 0, m_ui->CmbSalesClass->count() - 1));
    m_lines->requery();
    m_session.linesMatchTheSlip();
    return true;
}

FrmSales::EntryCheck FrmSales::SalesDataInputCheck() const {
    EntryCheck result = EntryCheck::Complete;
    const auto* date = m_ui->DateTextBoxSales;
    for (const QString& text : {date->YearText(), date->MonthText(), date->DayText(), m_ui->txtSalesCkInNo->text()}) {
        if (text.isEmpty()) {
            result = EntryCheck::MissingField;
            break;
        }
    }
    if (m_ui->lbSalesName->text().isEmpty())
        result = EntryCheck::UnknownGuest;
    return result;
}

bool FrmSales::SalesDataRecorde() {
    // An access key saves without the check-in box losing focus, and the labels may still
    // show an earlier guest: the number typed is looked up now (the look-up tells the clerk).
    const QString checkInNo = m_ui->txtSalesCkInNo->text();
    if (!checkInNo.isEmpty() && m_ui->lbSalesName->property("checkInNo").toString() != checkInNo && !SalesCkInNo(true))
        return false;
    switch (SalesDataInputCheck()) {
    case EntryCheck::MissingField:
        warn(this, QStringLiteral("入力されていない項目があります。"));
        return false;
    case EntryCheck::UnknownGuest:
        warn(this, QStringLiteral("番号が見つかりません。やりなおしてください。"));
        return false;
    case EntryCheck::Complete:
        break;
    }
    const chargesvc::SalesSlip slip = slipOnScreen();
    if (slip.lines.isEmpty()) {
        warn(this, QStringLiteral("売上データが不完全です。登録できません。"));
        return false;
    }
    if (!linesFitTheBill(slip))
        return false;
    const std::optional<slipkit::SlipHeader> header = typedHeader();
    if (!header)
        return false;
    slipkit::Registration registration;
    {
        desk::BusyCursor busy;
        registration = m_session.registerSlip(*header);
    }
    if (!registration.saved()) {
        // Another desk saved under this number meanwhile: the lines stay, a free number is proposed.
        m_ui->lbSalesNo->setText(QString::number(registration.nextNumber));
        warn(this,
             QStringLiteral("売上番号 %1 は他の端末で登録されました。新しい売上番号 %2 で登録しなおしてください。")
                 .arg(registration.number)
                 .arg(registration.nextNumber));
        return false;
    }
    ClearSalesData();
    confirm(QStringLiteral("売上番号 %1 を登録しました。").arg(registration.number));
    return true;
}

bool FrmSales::SalesEdit() {
    // A slip without lines would stay as a header that no bill can show.
    const chargesvc::SalesSlip slip = slipOnScreen();
    if (slip.lines.isEmpty()) {
        warn(this, QStringLiteral("売上データが不完全です。訂正できません。\n明細のない売上は削除してください。"));
        return false;
    }
    if (!linesFitTheBill(slip))
        return false;
    const std::optional<slipkit::SlipHeader> header = typedHeader();
    if (!header)
        return false;
    desk::BusyCursor busy;
    m_session.correct(*header);
    return true;
}

void FrmSales::SalesDelete() {
    desk::BusyCursor busy;
    m_session.remove();
}

void FrmSales::ClearSalesData() {
    m_session.clear();
    m_lines->requery();
    m_ui->txtSalesCkInNo->clear();
    m_ui->DateTextBoxSales->setYearText({});
    m_ui->DateTextBoxSales->setMonthText({});
    m_ui->DateTextBoxSales->setDayText({});
    m_ui->lbSalesName->clear();
    m_ui->lbSalesName->setProperty("checkInNo", QString());
    m_ui->lbSalesGpName->clear();
    m_ui->lbSalesRmNo->clear();
    m_total = 0;
    m_totalBeyond = false;
    m_ui->lbSalesTotal->clear();
    m_ui->txtSalseNoDS->clear();
    m_session.linesMatchTheSlip();
}

void FrmSales::SalesTotalCalc() {
    // No lines: the label keeps what it shows.
    const chargesvc::SalesSlip slip = slipOnScreen();
    if (!slip.lines.isEmpty())
        showTotal(slip.total());
}

void FrmSales::showTotal(std::optional<qint32> total) {
    // A slip beyond what the bill can add up keeps its lines for the clerk to put right; it
    // is refused when saved.
    m_totalBeyond = !total;
    if (!total) {
        m_ui->lbSalesTotal->setText(QStringLiteral("―"));
        return;
    }
    m_total = *total;
    showTotal();
}

bool FrmSales::linesFitTheBill(const chargesvc::SalesSlip& slip) {
    if (const auto refusal = slip.billRefusal()) {
        warn(this, *refusal);
        return false;
    }
    return true;
}

void FrmSales::SalesButtonsCalled() {
    m_ui->CmdRecord->setEnabled(false);
    m_ui->CmdDelete->setEnabled(true);
    m_ui->CmdModify->setEnabled(true);
}

void FrmSales::SalesButtonsNew() {
    m_ui->CmdRecord->setEnabled(true);
    m_ui->CmdDelete->setEnabled(false);
    m_ui->CmdModify->setEnabled(false);
}

void FrmSales::SalesGridOpen() {
    m_lines->open(desk::Connection::open(m_context.DirPath(), QString::fromLatin1(desk::DbFile::Sales)),
                  QStringLiteral("BTTempSalesDetail"), gridColumns());
}

// --- the grid ------------------------------------------------------------------------------

void FrmSales::lookUpCommodity(int row) {
    const QString code = desk::convert::textOf(m_lines->cellValue(row, Code));
    QString name;
    QVariant price;
    std::optional<goodssvc::ComodityInn::Taxing> taxing;
    {
        goodssvc::ComodityInn goods;
        goods.setDirPath(m_context.DirPath());
        goods.CntDb();
        name = goods.ComodityName(code);
        price = goods.ComodityPrice(code);
        taxing = goods.ComodityTaxing(code);
    }
    // Found or not is the taxing's answer (the same row): a commodity may well be named "X".
    if (!taxing) {
        m_ui->DbGridSales->refuseCommittedEdit();
        warn(this, QStringLiteral("商品が見つかりません。やりなおしてください。"));
        return;
    }
    QMap<int, QVariant> values{{Name, name}};
    // A commodity without a price row is rung up at 0 for the clerk to type the price.
    values.insert(UnitPrice, price.toString() == QLatin1String("X") ? QVariant(0) : price);
    // Only a new line takes the commodity's rates: a line that has its rates keeps them, so a
    // recalled slip stays as it was rung up.
    const bool newLine = m_lines->cellValue(row, ServiceFee).isNull();
    if (newLine) {
        const auto [serviceRate, taxRate] = newLineRates(*taxing);
        values.insert(ServiceFee, serviceRate);
        values.insert(SalesTax, taxRate);
    }
    m_lines->setRowValues(row, values);
    // A line that already had a quantity follows its new price at once.
    if (!m_lines->cellValue(row, Quantity).isNull()) {
        computeLine(row, true);
        SalesTotalCalc();
    }
    m_ui->DbGridSales->setCurrentCell(row, Spec);
}

std::optional<QDate> FrmSales::slipDate() const {
    const auto* date = m_ui->DateTextBoxSales;
    return date->typedDay();
}

std::pair<double, double> FrmSales::newLineRates(const goodssvc::ComodityInn::Taxing& taxing) {
    const std::optional<QDate> day = slipDate();
    const chargesvc::NewLineRates rates = chargesvc::newLineRates(taxsvc::TaxSettings::readFrom(m_context.DirPath()),
                                                                  taxing.service, taxing.taxClass, day);
    switch (rates.note) {
    case chargesvc::NewLineRates::Note::NoDay:
        confirm(QStringLiteral("売上日付がないため、消費税率は 0 にしました。日付を入れて税率を確かめてください。"));
        break;
    case chargesvc::NewLineRates::Note::NoRateInForce:
        confirm(QStringLiteral("%1 に適用される消費税率が登録されていません（初期登録）。")
                    .arg(day->toString(QStringLiteral("yyyy/MM/dd"))));
        break;
    case chargesvc::NewLineRates::Note::None:
        break;
    }
    return {rates.serviceRate, rates.taxRate};
}

void FrmSales::noteRateNotInForce(int row) {
    const std::optional<QDate> day = slipDate();
    if (!day)
        return;
    const double rate = numberOf(m_lines->cellValue(row, SalesTax));
    if (chargesvc::rateInForce(taxsvc::TaxSettings::readFrom(m_context.DirPath()), rate, *day))
        return;
    // A note, not a refusal: a late correction of an old slip may need an old rate.
    confirm(QStringLiteral("消費税率 %1% は %2 に適用される税率ではありません。")
                .arg(taxsvc::rateText(rate), day->toString(QStringLiteral("yyyy/MM/dd"))));
}

void FrmSales::computeLine(int row, bool withSubtotal) {
    chargesvc::SalesSlipLine line = lineOnScreen(row);
    if (withSubtotal)
        line.work();
    else
        line.workTotal();
    QMap<int, QVariant> values{{SubTotal2, line.total}};
    if (withSubtotal)
        values.insert(SubTotal1, line.subTotal);
    m_lines->setRowValues(row, values);
    // Told at once; the line stays as typed to be put right, and a slip holding it is
    // refused when saved: a guest's bill could never add it up.
    if (!line.fitsTheBill())
        warn(this, chargesvc::SalesSlip::amountRefusal());
}

void FrmSales::DbGridSales_AfterColEdit(int row, int column) {
    if (row < 0 || row >= m_lines->lineCount())
        return;
    switch (column) {
    case Code:
        lookUpCommodity(row);
        break;
    case Quantity:
    case UnitPrice:
        computeLine(row, true);
        SalesTotalCalc();
        break;
    case ServiceFee:
        computeLine(row, false);
        SalesTotalCalc();
        break;
    case SalesTax:
        computeLine(row, false);
        SalesTotalCalc();
        noteRateNotInForce(row);
        break;
    default:
        break;
    }
}

void FrmSales::DbGridSales_BeforeDelete(int row, const QVariantList& values) {
    // The line comes off the total shown. A total that was beyond the bill's range (perhaps
    // because of this very line), or a line beyond it, leaves nothing to take it from: the
    // lines that stay are added up again.
    if (!m_totalBeyond) {
        if (const auto rest = chargesvc::SalesSlip::lessLine(m_total, numberOf(values.value(SubTotal2)))) {
            showTotal(rest);
            return;
        }
    }
    showTotal(slipOnScreen().total(row));
}

void FrmSales::DbGridSales_KeyPress(int& key, int column) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    switch (column) {
    case Spec:
    case Quantity:
    case ServiceFee:
    case SalesTax:
        key = Qt::Key_Tab;
        break;
    case UnitPrice:
        // On past the worked-out subtotal to the service charge.
        key = Qt::Key_Tab;
        m_ui->DbGridSales->postKey(Qt::Key_Tab);
        break;
    default:
        break;
    }
}

// --- buttons -----------------------------------------------------------------------------

void FrmSales::CmdRecord_Click() {
    const bool saved = SalesDataRecorde();
    SalesNo();
    SalesGridOpen();
    if (saved)
        startNewSlip();
}

void FrmSales::CmdCall_Click() {
    // Asked only when the recall would take something off the screen.
    if (showsAnything() && desk::dialogs().message(this, QStringLiteral("表示されているデータが消去されます。"),
                                                   Warning, desk::Dialogs::Icon::Question,
                                                   desk::Dialogs::Buttons::YesNo) == desk::Dialogs::Answer::No)
        return;
    confirm({});
    ClearSalesData();
    // A cancelled prompt recalls nothing: the window stays as the clearing left it, ready
    // for a new slip.
    if (!SalesEDmessage()) {
        startNewSlip();
        return;
    }
    SalesGridOpen();
    SalesTotalCalc();
    SalesButtonsCalled();
}

void FrmSales::CmdModify_Click() {
    if (m_ui->txtSalseNoDS->text().isEmpty()) {
        desk::dialogs().beep();
        return;
    }
    const QString number = m_ui->txtSalseNoDS->text();
    if (!SalesEdit())
        return;
    confirm(QStringLiteral("売上番号 %1 を訂正しました。").arg(number));
    ClearSalesData();
    SalesNo();
    SalesButtonsNew();
    SalesGridOpen();
    startNewSlip();
}

void FrmSales::CmdDelete_Click() {
    if (m_ui->txtSalseNoDS->text().isEmpty()) {
        desk::dialogs().beep();
        return;
    }
    const QString number = m_ui->lbSalesNo->text();
    SalesDelete();
    confirm(QStringLiteral("売上番号 %1 を削除しました。").arg(number));
    ClearSalesData();
    SalesButtonsNew();
    SalesGridOpen();
    startNewSlip();
}

void FrmSales::CmdClear_Click() {
    confirm({});
    ClearSalesData();
    SalesButtonsNew();
    SalesNo();
    SalesGridOpen();
    startNewSlip();
}

void FrmSales::CmdBill_Click() {
    const auto* date = m_ui->DateTextBoxSales;
    const DRuriage::SlipValues values{
        m_ui->CmbSalesClass->currentText(), m_ui->lbSalesNo->text(),      date->printedText(),
        m_ui->txtSalesCkInNo->text(),       m_ui->lbSalesName->text(),    m_ui->lbSalesGpName->text(),
        m_ui->lbSalesRmNo->text(),          slipDate().value_or(QDate()),
    };
    // A fresh report on every showing, so the slip is what the grid shows now.
    desk::showReport(std::make_unique<DRuriage>(m_context.DirPath(), values, m_total, m_context.profile()), this);
}

void FrmSales::CmdEnd_Click() {
    // The closing asks about unsaved lines and empties the work table.
    close();
}

} // namespace chargeapp
