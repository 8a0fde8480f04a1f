#include "FrmChkOutM.h"

#include "ui_FrmChkOutM.h"

#include "FrmChkOut.h"

#include "arrivalsvc/CheckInDesk.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/SlotGuard.h"
#include "ui/StatusPanel.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace departapp {

namespace {

const QString enterNumber = QStringLiteral("チェックイン番号を入力して　TABキーを押してください。");

} // namespace

FrmChkOutM::FrmChkOutM(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmChkOutM>())
    , m_context(context) {
    m_ui->setupUi(this);

    m_panel1 = desk::addStatusPanel(m_ui->StatusBar1, QStringLiteral("Panel1"), 0, 24);
    m_panel2 = desk::addStatusPanel(m_ui->StatusBar1, QStringLiteral("Panel2"), 1);
    setGuidance(enterNumber);

    m_ui->txtChkInNo->installEventFilter(this);
    // A number typed anew no longer names the guest shown.
    connect(m_ui->txtChkInNo, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!m_guest.checkInNo.isEmpty() && text != m_guest.checkInNo)
            forgetGuest();
    });
    desk::onClicked(m_ui->CmdRun, this, &FrmChkOutM::CmdRun_Click);
    connect(m_ui->CmdCancel, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdCancel);

    move(0, 0);
    m_ui->txtChkInNo->setFocus();
    // A guest handed over with the showing is settled at once, as a number and Enter would;
    // while another guest's settlement is open, that one stays in front to be finished.
    const auto takeGuest = [this] {
        const QString number = m_context.takeGuest();
        if (number.isEmpty())
            return;
        QTimer::singleShot(0, this, [this, number] {
            if (!m_chkOut)
                desk::guarded(this, [&] { settle(number); });
        });
    };
    connect(&m_context, &desk::ModuleContext::guestHandedOver, this, takeGuest);
    takeGuest();
}

FrmChkOutM::~FrmChkOutM() {
    delete m_chkOut;
}

FrmChkOut* FrmChkOutM::checkOutWindow() const {
    return m_chkOut;
}

bool FrmChkOutM::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->txtChkInNo) {
        if (event->type() == QEvent::FocusOut) {
            // Leaving for another control looks the guest up; a message box or another
            // program taking the focus does not, nor does 終わり, which only leaves.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                QApplication::focusWidget() != m_ui->CmdCancel && !m_ui->txtChkInNo->text().isEmpty())
                desk::guarded(this, [this] { ChkOutGuestFind(); });
        } else if (event->type() == QEvent::KeyPress) {
            // Enter on a number settles that guest in one step: the guest is looked up and
            // the statement worked out for the date offered. On an empty box it moves on as
            // Tab does.
            const auto* press = static_cast<QKeyEvent*>(event);
            const int key = press->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (m_ui->txtChkInNo->text().isEmpty())
                    focusNextChild();
                else
                    desk::guarded(this, [this] { settle(m_ui->txtChkInNo->text()); });
                return true;
            }
            // A letter held with Alt is an access key this window lacks (a clerk's habit from
            // another window), never part of the number.
            if ((press->modifiers() & Qt::AltModifier) && !press->text().isEmpty() && press->text().at(0).isPrint()) {
                desk::dialogs().beep();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmChkOutM::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Shown again from the main menu while a guest is being settled: that window stays in
    // front, since one desk settles one guest at a time.
    if (m_chkOut) {
        QTimer::singleShot(0, this, [this] {
            if (!m_chkOut)
                return;
            hide();
            m_chkOut->raise();
            m_chkOut->activateWindow();
        });
    }
}

void FrmChkOutM::setGuidance(const QString& text) {
    m_panel2->setText(text);
}

void FrmChkOutM::forgetGuest() {
    m_guest = {};
    m_ui->lbClName->clear();
    m_ui->lbRoomNo->clear();
}

void FrmChkOutM::ChkOutGuestFind() {
    const QString number = m_ui->txtChkInNo->text();
    setGuidance(QStringLiteral("お客様の検索中です。"));
    forgetGuest();

    CheckOutGuest found;
    {
        desk::BusyCursor busy;
        if (const auto stay = arrivalsvc::CheckInDesk(m_context.DirPath()).callUp(number)) {
            found.checkInNo = stay->number;
            found.name = stay->name;
            found.roomNo = stay->roomNo;
            found.quantity = stay->guests;
            found.groupe = stay->groupName;
            found.checkInDate = stay->date;
            found.checkedOutOn = stay->checkedOutOn;
        }
    }

    if (found.checkInNo.isEmpty()) {
        desk::dialogs().message(this, QStringLiteral("番号が見つかりません。"), QStringLiteral("警告"),
                                desk::Dialogs::Icon::Critical);
        m_ui->txtChkInNo->clear();
        m_ui->txtChkInNo->setFocus();
        setGuidance(enterNumber);
        return;
    }
    m_guest = found;
    m_ui->lbClName->setText(m_guest.name);
    m_ui->lbRoomNo->setText(m_guest.roomNo);
    setGuidance(QStringLiteral("良ければ実行ボタンを押してください。"));
}

void FrmChkOutM::settle(const QString& number) {
    if (m_ui->txtChkInNo->text() != number) {
        m_ui->txtChkInNo->setText(number);
        forgetGuest();
    }
    if (m_guest.checkInNo.isEmpty())
        ChkOutGuestFind();
    if (m_guest.checkInNo.isEmpty())
        return;
    CmdRun_Click();
    if (m_chkOut)
        m_chkOut->computeStatement();
}

void FrmChkOutM::CmdRun_Click() {
    // An access key runs this without leaving the box: look the typed number up first
    // (an unknown number has been told by then).
    if (m_guest.checkInNo.isEmpty() && !m_ui->txtChkInNo->text().isEmpty()) {
        ChkOutGuestFind();
        if (m_guest.checkInNo.isEmpty())
            return;
    }
    if (m_guest.checkInNo.isEmpty() || m_ui->txtChkInNo->text().isEmpty()) {
        desk::dialogs().beep();
        return;
    }

    // A window of its own, not one standing over this hidden one: window managers do not
    // reliably show and activate a window whose owner is hidden.
    auto* window = new FrmChkOut(m_context, m_guest);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &FrmChkOut::closed, this, &FrmChkOutM::settlementClosed);
    m_chkOut = window;

    hide();
    m_ui->txtChkInNo->clear();
    forgetGuest();
    setGuidance(enterNumber);
    window->show();
    window->raise();
    window->activateWindow();
}

void FrmChkOutM::settlementClosed() {
    m_chkOut = nullptr;
    show();
    raise();
    activateWindow();
    m_ui->txtChkInNo->setFocus();
}

} // namespace departapp
