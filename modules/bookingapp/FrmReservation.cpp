#include "FrmReservation.h"

#include "ui_FrmReservation.h"

#include "DRyoyaku.h"
#include "FrmRireki.h"
#include "bookingsvc/Bookings.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/ListFill.h"
#include "ui/OtherDesks.h"
#include "ui/SlotGuard.h"

#include <QRegularExpression>
#include <QSignalBlocker>

#include <optional>

namespace bookingapp {

namespace {

const QString receivedFormat = QStringLiteral("yyyy/MM/dd");

void refuse(QWidget* parent, const QString& text) {
    desk::dialogs().message(parent, text, QStringLiteral("警告"), desk::Dialogs::Icon::Critical);
}

// The call-up answer as a reservation number: a whole number, full-width digits allowed.
std::optional<qint32> wholeNumber(const QString& answer) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    const QString text = answer.normalized(QString::NormalizationForm_KC);
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint32 number = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(number) : std::nullopt;
}

} // namespace

FrmReservation::FrmReservation(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmReservation>())
    , m_context(context) {
    m_ui->setupUi(this);

    auto* list = m_ui->ListView1;
    list->setColumnWidth(0, 70);
    list->setColumnWidth(1, 150);
    list->setColumnWidth(2, 50);
    list->setColumnWidth(3, 80);
    for (int column : {0, 2, 3})
        list->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);

    desk::onClicked(m_ui->CmdRd, this, &FrmReservation::CmdRd_Click);
    desk::onClicked(m_ui->CmdCall, this, &FrmReservation::CmdCall_Click);
    desk::onClicked(m_ui->CmdEdit, this, &FrmReservation::CmdEdit_Click);
    desk::onClicked(m_ui->CmdDelete, this, &FrmReservation::CmdDelete_Click);
    desk::onClicked(m_ui->CmdPrint, this, &FrmReservation::CmdPrint_Click);
    desk::onClicked(m_ui->CmdRireki, this, &FrmReservation::CmdRireki_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);
    desk::guardedConnect(m_ui->DTPicker1, &QDateEdit::dateChanged, this, &FrmReservation::DTPicker1_Change);

    // Leaving, calling up another reservation over the entry and browsing the list never
    // wait for a date part to be put right.
    for (QWidget* leaveOnly : std::initializer_list<QWidget*>{m_ui->CmdEnd, m_ui->CmdCall, m_ui->DTPicker1})
        calfield::DateTextBox::setLeaveOnly(leaveOnly);
    for (QLineEdit* box : {m_ui->RvtxtPlan, m_ui->RvtxtChildPlan})
        connect(box, &QLineEdit::textChanged, this, &FrmReservation::showPlans);

    // The clerk starts with the guest's name, never in an empty date box.
    m_ui->RvtxtCliant->setFocus();

    // Load: a failure here goes back to the caller of ShowForm.
    move(0, 0);
    const QDate today = QDate::currentDate();
    {
        const QSignalBlocker blocker(m_ui->DTPicker1);
        m_ui->DTPicker1->setDate(today);
    }
    m_plans = bookingsvc::StayPlans(m_context.DirPath()).all();
    clearEntry();
    proposeNumber();
    m_listedDay = desk::convert::dayText(today);
    fillList();

    // On a server another desk's booking shows up in the list by itself, and a new entry is
    // offered the number after it; what the clerk is typing stays as it is.
    desk::onOtherDesksSaved(this, m_context.DirPath(), QLatin1String(desk::DbFile::Reservation), [this] {
        try {
            if (m_ui->CmdRd->isEnabled())
                proposeNumber();
            fillList();
        } catch (...) {
            showMessage(QStringLiteral("一覧を読み直せませんでした。") + desk::describeError(std::current_exception()));
        }
    });
}

FrmReservation::~FrmReservation() = default;

FrmRireki* FrmReservation::historyWindow() const {
    return m_rireki;
}

void FrmReservation::proposeNumber() {
    m_ui->RvlbReserveNo->setText(QString::number(bookingsvc::Bookings(m_context.DirPath()).nextNumber()));
}

void FrmReservation::clearEntry() {
    m_ui->RvlbReserveNo->clear();
    m_ui->RvDateTextBox->setYearText({});
    m_ui->RvDateTextBox->setMonthText({});
    m_ui->RvDateTextBox->setDayText({});
    for (QLineEdit* box : {m_ui->RvtxtCliant, m_ui->RvtxtZipCode, m_ui->RvtxtAddress1, m_ui->RvtxtAddress2,
                           m_ui->RvtxtAddress3, m_ui->RxtxtTelNo, m_ui->RvtxtUser, m_ui->RvtxtBadget,
                           m_ui->RvtxtArvTime, m_ui->RvtxtChkInTime, m_ui->RvtxtExtra, m_ui->RvtxtGroupeName,
                           m_ui->RvtxtTravelAg, m_ui->RvtxtPlan, m_ui->RvtxtChildPlan, m_ui->RvtxtMealNote})
        box->clear();
    m_ui->RvtxtNights->setText(QStringLiteral("1"));
    m_ui->RvtxtChildren->setText(QStringLiteral("0"));
    m_ui->lbRecieve->clear();
}

void FrmReservation::fillList() {
    auto* list = m_ui->ListView1;
    list->clear();
    const std::unique_ptr<desk::RowSet> rows =
        bookingsvc::Bookings(m_context.DirPath()).listFor(desk::convert::dateOfDayText(m_listedDay));
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    desk::fillList(list, *rows,
                   {{QStringLiteral("RvNo"), right},
                    {QStringLiteral("RvName")},
                    {QStringLiteral("RvClNumber"), right},
                    {QStringLiteral("RvBadget"), right, desk::convert::AmountFormat},
                    {QStringLiteral("RvRemarks1")}});
    rows->close();
}

bool FrmReservation::missingInput() const {
    const auto* date = m_ui->RvDateTextBox;
    for (const QString& text : {m_ui->RvtxtCliant->text(), date->YearText(), date->MonthText(), date->DayText(),
                                m_ui->RxtxtTelNo->text(), m_ui->RvtxtUser->text(), m_ui->RvtxtBadget->text()}) {
        if (text.isEmpty())
            return true;
    }
    return false;
}

qint32 FrmReservation::shownNumber() const {
    bool ok = false;
    const qint32 number = m_ui->RvlbReserveNo->text().toInt(&ok);
    if (!ok)
        throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                    QStringLiteral("予約番号が表示されていません。"));
    return number;
}

bookingsvc::Reservation FrmReservation::typedEntry(const QDate& useDate) const {
    using namespace desk::convert;
    bookingsvc::Reservation entry;
    entry.number = shownNumber();
    entry.useDate = useDate;
    entry.guestName = m_ui->RvtxtCliant->text();
    entry.zipCode = m_ui->RvtxtZipCode->text();
    entry.address1 = m_ui->RvtxtAddress1->text();
    entry.address2 = m_ui->RvtxtAddress2->text();
    entry.address3 = m_ui->RvtxtAddress3->text();
    entry.telNo = m_ui->RxtxtTelNo->text();
    // The party is a count the check-in keeps in 16 bits, so it is refused here already.
    entry.guests = fieldInt16(m_ui->RvtxtUser->text(), QStringLiteral("人数"));
    entry.budget = fieldInt32(m_ui->RvtxtBadget->text(), QStringLiteral("予算"));
    entry.arrivalTime = m_ui->RvtxtArvTime->text();
    entry.checkInTime = m_ui->RvtxtChkInTime->text();
    entry.groupName = m_ui->RvtxtGroupeName->text();
    entry.travelAgent = m_ui->RvtxtTravelAg->text();
    entry.remarks = m_ui->RvtxtExtra->text();
    // An emptied count is the default: one night, no children.
    const QString nights = m_ui->RvtxtNights->text().trimmed();
    const QString children = m_ui->RvtxtChildren->text().trimmed();
    entry.nights = nights.isEmpty() ? 1 : fieldInt16(nights, QStringLiteral("泊数"));
    entry.children = children.isEmpty() ? 0 : fieldInt16(children, QStringLiteral("小人"));
    entry.plan = m_ui->RvtxtPlan->text().trimmed();
    entry.childPlan = m_ui->RvtxtChildPlan->text().trimmed();
    entry.mealNote = m_ui->RvtxtMealNote->text();
    return entry;
}

void FrmReservation::showPlans() {
    for (const auto& [box, label] :
         {std::pair{m_ui->RvtxtPlan, m_ui->RvlbPlan}, std::pair{m_ui->RvtxtChildPlan, m_ui->RvlbChildPlan}})
        label->setText(bookingsvc::planLabel(m_plans, box->text()));
}

QLineEdit* FrmReservation::refusedPlan() {
    for (QLineEdit* box : {m_ui->RvtxtPlan, m_ui->RvtxtChildPlan}) {
        const QString code = box->text();
        if (code.trimmed().isEmpty() || bookingsvc::planIn(m_plans, code))
            continue;
        // A plan the maintenance added since the window was opened is found on a new reading.
        m_plans = bookingsvc::StayPlans(m_context.DirPath()).all();
        showPlans();
        if (bookingsvc::planIn(m_plans, code))
            continue;
        refuse(this, bookingsvc::unknownPlan(code));
        box->setFocus();
        box->selectAll();
        return box;
    }
    return nullptr;
}

bool FrmReservation::refusedStay(const bookingsvc::Reservation& entry) {
    const QString refusal = bookingsvc::stayRefusal(entry.nights, entry.guests, entry.children);
    if (refusal.isEmpty())
        return refusedPlan() != nullptr;
    refuse(this, refusal);
    QLineEdit* box = entry.nights < 1 || entry.nights > 365 ? m_ui->RvtxtNights : m_ui->RvtxtChildren;
    box->setFocus();
    box->selectAll();
    return true;
}

void FrmReservation::setCalledUp(bool calledUp) {
    m_ui->CmdRd->setEnabled(!calledUp);
    m_ui->CmdEdit->setEnabled(calledUp);
    m_ui->CmdDelete->setEnabled(calledUp);
}

std::optional<QDate> FrmReservation::typedUseDate() const {
    const auto* date = m_ui->RvDateTextBox;
    return date->typedDay();
}

void FrmReservation::showMessage(const QString& text) {
    m_ui->lbMessage->setText(text);
}

void FrmReservation::CmdRd_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    showMessage({});
    if (missingInput()) {
        busy.reset();
        desk::dialogs().beep();
        refuse(this, QStringLiteral("未入力の項目があります！"));
        return;
    }
    const std::optional<QDate> useDate = typedUseDate();
    if (!useDate) {
        busy.reset();
        desk::refuseDate(this);
        return;
    }

    const bookingsvc::Reservation entry = typedEntry(*useDate);
    busy.reset();
    if (refusedStay(entry))
        return;
    busy.emplace();
    const bookingsvc::Bookings::Registration done =
        bookingsvc::Bookings(m_context.DirPath()).registerReservation(entry);
    if (done.outcome == bookingsvc::Bookings::Registration::Outcome::NumberTaken) {
        // Another desk saved this number meanwhile: the next free one is offered and the
        // entry stays, so registering again is one key away.
        m_ui->RvlbReserveNo->setText(QString::number(done.nextNumber));
        busy.reset();
        desk::dialogs().beep();
        desk::dialogs().beep();
        refuse(this, QStringLiteral("予約番号の重複！"));
        showMessage(QStringLiteral("予約番号 %1 は使用済みのため、%2 に変更しました。")
                        .arg(entry.number)
                        .arg(m_ui->RvlbReserveNo->text()));
        return;
    }

    const qint32 number = entry.number;
    clearEntry();
    proposeNumber();
    fillList();
    showMessage(QStringLiteral("予約番号 %1 を登録しました。").arg(number));
}

void FrmReservation::CmdCall_Click() {
    const QString answer =
        desk::dialogs().input(this, QStringLiteral("予約番号を入力してください。"), QStringLiteral("予約"));
    if (answer.isEmpty())
        return;

    // An answer that is no whole number can name no reservation.
    const std::optional<qint32> number = wholeNumber(answer);
    const std::optional<bookingsvc::Reservation> found =
        number ? bookingsvc::Bookings(m_context.DirPath()).callUp(*number) : std::nullopt;
    if (!found) {
        refuse(this, QStringLiteral("見つかりません！"));
        return;
    }

    const bookingsvc::Reservation& booked = *found;
    const QDate useDate = booked.useDate;
    m_ui->RvlbReserveNo->setText(QString::number(booked.number));
    m_ui->RvDateTextBox->setYearText(useDate.isValid() ? QString::number(useDate.year()) : QString());
    m_ui->RvDateTextBox->setMonthText(useDate.isValid() ? QString::number(useDate.month()) : QString());
    m_ui->RvDateTextBox->setDayText(useDate.isValid() ? QString::number(useDate.day()) : QString());
    m_ui->lbRecieve->setText(booked.receivedOn.toString(receivedFormat));
    m_ui->RvtxtCliant->setText(booked.guestName);
    m_ui->RvtxtZipCode->setText(booked.zipCode);
    m_ui->RvtxtAddress1->setText(booked.address1);
    m_ui->RvtxtAddress2->setText(booked.address2);
    m_ui->RvtxtAddress3->setText(booked.address3);
    m_ui->RxtxtTelNo->setText(booked.telNo);
    m_ui->RvtxtUser->setText(QString::number(booked.guests));
    m_ui->RvtxtBadget->setText(QString::number(booked.budget));
    m_ui->RvtxtArvTime->setText(booked.arrivalTime);
    m_ui->RvtxtChkInTime->setText(booked.checkInTime);
    m_ui->RvtxtExtra->setText(booked.remarks);
    m_ui->RvtxtGroupeName->setText(booked.groupName);
    m_ui->RvtxtTravelAg->setText(booked.travelAgent);
    m_ui->RvtxtNights->setText(QString::number(booked.nights));
    m_ui->RvtxtPlan->setText(booked.plan);
    m_ui->RvtxtChildren->setText(QString::number(booked.children));
    m_ui->RvtxtChildPlan->setText(booked.childPlan);
    m_ui->RvtxtMealNote->setText(booked.mealNote);
    setCalledUp(true);
}

void FrmReservation::CmdEdit_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    showMessage({});
    if (missingInput()) {
        busy.reset();
        desk::dialogs().beep();
        return;
    }
    const std::optional<QDate> useDate = typedUseDate();
    if (!useDate) {
        busy.reset();
        desk::refuseDate(this);
        return;
    }

    bookingsvc::Reservation entry = typedEntry(*useDate);
    entry.receivedOn = QDate::fromString(m_ui->lbRecieve->text(), receivedFormat);
    busy.reset();
    if (refusedStay(entry))
        return;
    busy.emplace();
    const qint32 number = entry.number;
    const bool found =
        bookingsvc::Bookings(m_context.DirPath()).correct(entry) == bookingsvc::Bookings::Correction::Corrected;
    if (!found) {
        busy.reset();
        refuse(this, QStringLiteral("見つかりません！"));
        return;
    }

    setCalledUp(false);
    fillList();
    clearEntry();
    proposeNumber();
    showMessage(QStringLiteral("予約番号 %1 を訂正しました。").arg(number));
}

void FrmReservation::CmdDelete_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    showMessage({});
    if (m_ui->lbRecieve->text().isEmpty()) {
        busy.reset();
        desk::dialogs().beep();
        return;
    }

    const qint32 number = shownNumber();
    bookingsvc::Bookings(m_context.DirPath()).cancel(number);
    setCalledUp(false);

    clearEntry();
    fillList();
    proposeNumber();
    showMessage(QStringLiteral("予約番号 %1 を取り消しました。").arg(number));
}

void FrmReservation::CmdPrint_Click() {
    desk::BusyCursor busy;
    desk::showReport(std::make_unique<DRyoyaku>(m_context.DirPath(), shownNumber(), m_context.profile()), this);
}

void FrmReservation::CmdRireki_Click() {
    const QString name = m_ui->RvtxtCliant->text();
    const QString telNo = m_ui->RxtxtTelNo->text();
    if (name.isEmpty() && telNo.isEmpty()) {
        refuse(this, QStringLiteral("お客様名が入力されていません。"));
        return;
    }
    if (!m_rireki) {
        m_rireki = new FrmRireki(m_context, this);
        m_rireki->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_rireki->setSearchTexts(name, telNo);
    m_rireki->setSearchBy(name.isEmpty() ? FrmRireki::ByTelNo : FrmRireki::ByName);
    m_rireki->show();
    m_rireki->raise();
    m_rireki->activateWindow();
}

void FrmReservation::DTPicker1_Change(const QDate& date) {
    m_listedDay = desk::convert::dayText(date);
    fillList();
}

} // namespace bookingapp
