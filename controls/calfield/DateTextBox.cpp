#include "DateTextBox.h"

#include "convert/Convert.h"
#include "convert/DateParts.h"
#include "ui/Dialogs.h"
#include "ui/SlotGuard.h"
#include "ui/KeyCodes.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace calfield {

namespace {

// A new control is 2400 by 500 twips.
constexpr int kDefaultWidth = 160;
constexpr int kDefaultHeight = 33;

constexpr int kMonthDayLength = 2;

const char* const kLeaveOnlyProperty = "calfield_leaveOnly";

} // namespace

// Sees the program's input before any widget does, but only while the control needs it:
// a box holds the focus (an access key may be about to take it away) or a refusal waits
// to be shown (the click that tried to leave is still being delivered).
class DateTextBox::ActionGate : public QObject {
public:
    explicit ActionGate(DateTextBox* owner)
        : QObject(owner)
        , m_owner(owner) {}
    ~ActionGate() override { setActive(false); }

    void setActive(bool on) {
        if (on == m_active || !QCoreApplication::instance())
            return;
        m_active = on;
        if (on)
            QCoreApplication::instance()->installEventFilter(this);
        else
            QCoreApplication::instance()->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return m_owner->gateEvent(watched, event); }

private:
    DateTextBox* m_owner;
    bool m_active = false;
};

DateTextBox::DateTextBox(QWidget* parent)
    : InputControl(parent) {
    auto makeBox = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(name));
        box->setMouseTracking(true);
        box->installEventFilter(this);
        applyImeMode(box, m_imeMode, Qt::ImhDigitsOnly);
        connect(box, &QLineEdit::textChanged, this, [this] { emit Change(); });
        return box;
    };
    auto makeLabel = [this](const char* name, const QString& text) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        // Centred on the boxes' height as a box centres its text: 年, 月 and 日 stand on the
        // line of the digits they follow.
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    };
    // Creation order is the tab order: year, month, day.
    m_year = makeBox("TextYear");
    m_labelY = makeLabel("LabelY", QStringLiteral("年"));
    m_month = makeBox("TextMonth");
    m_labelM = makeLabel("LabelM", QStringLiteral("月"));
    m_day = makeBox("TextDay");
    m_labelD = makeLabel("LabelD", QStringLiteral("日"));

    setBoxes({m_year, m_month, m_day});
    m_gate = new ActionGate(this);

    setFocusProxy(m_year);
    // A focus policy of its own lets a form's tab order name the control (QWidget::setTabOrder
    // passes over widgets without one); the focus itself always lands in the year box.
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    resize(kDefaultWidth, kDefaultHeight);
    layoutParts();
}

DateTextBox::~DateTextBox() {
    // The gate sees every event of the program; it stops before the widget below this one is
    // torn down, whose focus leaving still sends events through it to a half-gone box.
    m_gate->setActive(false);
}

void DateTextBox::setIMEMode(int mode) {
    m_imeMode = mode;
    for (QLineEdit* box : {m_year, m_month, m_day})
        applyImeMode(box, mode, Qt::ImhDigitsOnly);
    emit PropertyChanged(QStringLiteral("IMEMode"));
}

QColor DateTextBox::BackColor() const {
    return surfaceColor(QPalette::Window);
}

void DateTextBox::setBackColor(const QColor& color) {
    setSurfaceColor(QPalette::Window, color, "BackColor");
}

QColor DateTextBox::ForeColor() const {
    return surfaceColor(QPalette::WindowText);
}

void DateTextBox::setForeColor(const QColor& color) {
    setSurfaceColor(QPalette::WindowText, color, "ForeColor");
}

QColor DateTextBox::TextForeColor() const {
    return boxColor(QPalette::Text);
}

void DateTextBox::setTextForeColor(const QColor& color) {
    setBoxColor(QPalette::Text, color, "TextForeColor");
}

QColor DateTextBox::TextBackColor() const {
    return boxColor(QPalette::Base);
}

void DateTextBox::setTextBackColor(const QColor& color) {
    setBoxColor(QPalette::Base, color, "TextBackColor");
}

void DateTextBox::setSelTextOnFocus(bool on) {
    m_selTextOnFocus = on;
    emit PropertyChanged(QStringLiteral("SelTextOnFocus"));
}

void DateTextBox::setYearMode(int mode) {
    // The year box's length limit is applied to typing only, so a longer year written by
    // code (DateValue in two-digit mode, for one) is kept whole rather than cut short.
    m_yearMode = mode;
    update();
    emit PropertyChanged(QStringLiteral("YearMode"));
}

bool DateTextBox::Locked() const {
    return m_year->isReadOnly();
}

void DateTextBox::setLocked(bool locked) {
    for (QLineEdit* box : {m_year, m_month, m_day}) {
        box->setReadOnly(locked);
        applyImeMode(box, m_imeMode, Qt::ImhDigitsOnly); // read-only toggling resets the input-method switch
    }
    emit PropertyChanged(QStringLiteral("Locked"));
}

void DateTextBox::setMoveFocus(bool on) {
    m_moveFocus = on;
    emit PropertyChanged(QStringLiteral("MoveFocus"));
}

void DateTextBox::setExitFocusOnFull(bool on) {
    m_exitFocusOnFull = on;
    emit PropertyChanged(QStringLiteral("ExitFocusOnFull"));
}

std::optional<QDate> DateTextBox::readDate(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QDateTime iso = QDateTime::fromString(t, Qt::ISODate);
    if (iso.isValid())
        return iso.date();

    QString datePart = t;
    QString timePart;
    const qsizetype space = t.indexOf(QLatin1Char(' '));
    if (space > 0) {
        datePart = t.left(space);
        timePart = t.mid(space + 1).trimmed();
    }
    if (!timePart.isEmpty() && !QTime::fromString(timePart, QStringLiteral("H:mm:ss")).isValid() &&
        !QTime::fromString(timePart, QStringLiteral("H:mm")).isValid())
        return std::nullopt;

    static const QStringList formats{QStringLiteral("yyyy/M/d"), QStringLiteral("yyyy-M-d"), QStringLiteral("yyyy.M.d"),
                                     QStringLiteral("yyyy年M月d日")};
    for (const QString& format : formats) {
        const QDate date = QDate::fromString(datePart, format);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

void DateTextBox::setLeaveOnly(QWidget* widget, bool leaveOnly) {
    if (widget)
        widget->setProperty(kLeaveOnlyProperty, leaveOnly);
}

bool DateTextBox::isLeaveOnly(const QWidget* widget) {
    // A composite widget (a date picker, a combo box) takes the focus in an inner part.
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (w->property(kLeaveOnlyProperty).toBool())
            return true;
    }
    return false;
}

void DateTextBox::setDateValue(const QString& value) {
    std::optional<QDate> date;
    if (!value.isEmpty()) {
        date = readDate(value);
        if (!date)
            return;
    }
    m_dateValue = value;
    if (date) {
        showDay(*date);
    } else {
        setYearText({});
        setMonthText({});
        setDayText({});
    }
    emit PropertyChanged(QStringLiteral("DateValue"));
}

QString DateTextBox::YearText() const {
    return m_year->text();
}
void DateTextBox::setYearText(const QString& text) {
    setBoxText(m_year, text, "YearText");
}
QString DateTextBox::MonthText() const {
    return m_month->text();
}
void DateTextBox::setMonthText(const QString& text) {
    setBoxText(m_month, text, "MonthText");
}
QString DateTextBox::DayText() const {
    return m_day->text();
}
void DateTextBox::setDayText(const QString& text) {
    setBoxText(m_day, text, "DayText");
}

void DateTextBox::setBoxText(QLineEdit* box, const QString& text, const char* name) {
    box->setText(text);
    update();
    emit PropertyChanged(QLatin1String(name));
}

bool DateTextBox::IsEmpty() const {
    return m_year->text().isEmpty() && m_month->text().isEmpty() && m_day->text().isEmpty();
}

std::optional<QDate> DateTextBox::typedDay() const {
    return desk::convert::strictDate(YearText(), MonthText(), DayText());
}

void DateTextBox::showDay(const QDate& day) {
    setYearText(QString::number(day.year()));
    setMonthText(QString::number(day.month()));
    setDayText(QString::number(day.day()));
}

QString DateTextBox::printedText() const {
    if (const std::optional<QDate> day = typedDay())
        return desk::convert::shortDateText(*day);
    return YearText() + QLatin1Char('/') + MonthText() + QLatin1Char('/') + DayText();
}

QSize DateTextBox::sizeHint() const {
    return {kDefaultWidth, kDefaultHeight};
}

QSize DateTextBox::minimumSizeHint() const {
    return {kDefaultWidth / 2, m_year->minimumSizeHint().height()};
}

int DateTextBox::lengthLimit(const QLineEdit* box) const {
    if (box == m_year)
        return m_yearMode == 1 ? 2 : 4;
    return kMonthDayLength;
}

bool DateTextBox::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || (box != m_year && box != m_month && box != m_day))
        return QWidget::eventFilter(watched, event);

    bool eaten = false;
    // A screen's handler of the key or mouse signals must not take the program down.
    desk::guarded(this, [&] {
        switch (event->type()) {
        case QEvent::KeyPress:
            eaten = handleKeyPress(box, static_cast<QKeyEvent*>(event));
            break;
        case QEvent::KeyRelease:
            if (m_specialKey) {
                const auto* key = static_cast<QKeyEvent*>(event);
                emit KeyUp(key->key(), desk::keys::shiftMask(key->modifiers()));
            }
            break;
        case QEvent::InputMethod: {
            auto* ime = static_cast<QInputMethodEvent*>(event);
            if (!ime->commitString().isEmpty()) {
                handleCommittedText(box, ime);
                eaten = true;
            }
            break;
        }
        case QEvent::FocusIn: {
            m_focusedBox = box;
            updateGate();
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            const bool returning = reason == Qt::ActiveWindowFocusReason && m_heldOnDeactivate == box;
            m_heldOnDeactivate = nullptr;
            if (m_selTextOnFocus) {
                // A click places the caret on press, so the selection waits for the release.
                if (reason == Qt::MouseFocusReason)
                    m_selectOnRelease = box;
                else if (reason != Qt::PopupFocusReason && !returning)
                    box->selectAll();
            }
            break;
        }
        case QEvent::FocusOut:
            eaten = handleFocusOut(box, static_cast<QFocusEvent*>(event));
            break;
        case QEvent::MouseButtonRelease:
            passMouseEvent(static_cast<QMouseEvent*>(event), box);
            if (m_selectOnRelease == box) {
                m_selectOnRelease = nullptr;
                if (!box->hasSelectedText())
                    box->selectAll();
                eaten = true;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            passMouseEvent(static_cast<QMouseEvent*>(event), box);
            break;
        default:
            break;
        }
    });
    return eaten;
}

bool DateTextBox::handleKeyPress(QLineEdit* box, QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return false; // moves the focus; the leave check runs there

    const int shift = desk::keys::shiftMask(event->modifiers());
    m_specialKey = key == Qt::Key_Escape || key == Qt::Key_Backspace || shift == desk::keys::CtrlMask ||
                   shift == desk::keys::AltMask;
    if (m_specialKey)
        emit KeyDown(key, shift);

    const int typed = desk::keys::characterCode(event);
    // Enter that would press the window's default button leaves the entry as a click would.
    if (typed == 13 && !m_specialKey && enterPressesButton()) {
        if (const std::optional<Refusal> refusal = refusalFor(box)) {
            refuse(box, *refusal);
            return true;
        }
    }
    // Keys that type nothing edit or move as usual; Enter goes on to the window's default button.
    if (typed < 0 || (typed == 13 && !m_specialKey))
        return false;

    int code = typed;
    if (!admitCharacter(box, code))
        return true;
    const bool insertsText =
        desk::keys::isPrintable(code) && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (code == typed) {
        if (insertsText && box->text().size() - box->selectedText().size() >= lengthLimit(box))
            return true;
        return false;
    }
    typeCharacter(box, code);
    return true;
}

bool DateTextBox::admitCharacter(QLineEdit* box, int& code) {
    Q_UNUSED(box);
    if (!desk::keys::isDigit(code) && !m_specialKey)
        return false;
    emit KeyPress(code);
    return code != 0;
}

void DateTextBox::typeCharacter(QLineEdit* box, int code) {
    if (box->isReadOnly())
        return;
    if (code == 8) {
        box->backspace();
        return;
    }
    if (!desk::keys::isPrintable(code) || box->text().size() - box->selectedText().size() >= lengthLimit(box))
        return;
    const char32_t c = static_cast<char32_t>(code);
    box->insert(QString::fromUcs4(&c, 1));
}

void DateTextBox::handleCommittedText(QLineEdit* box, QInputMethodEvent* event) {
    // The box gets the composition without its result; the result is typed character by
    // character through the same filter as keys.
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QCoreApplication::sendEvent(box, &rest);
    m_specialKey = false;
    const QList<uint> characters = event->commitString().toUcs4();
    for (uint c : characters) {
        int code = static_cast<int>(c);
        if (admitCharacter(box, code))
            typeCharacter(box, code);
    }
}

bool DateTextBox::handleFocusOut(QLineEdit* box, QFocusEvent* event) {
    const bool wasFocused = m_focusedBox == box;
    if (wasFocused)
        m_focusedBox = nullptr;
    if (event->reason() == Qt::ActiveWindowFocusReason)
        m_heldOnDeactivate = box;
    if (m_selectOnRelease == box)
        m_selectOnRelease = nullptr;
    updateGate();

    // Only a move to another control is checked: not the window losing activation (a message
    // box, another program), a popup menu, or a box that is being hidden or disabled. A box
    // that never had the focus (the target of a refused move) is not checked either, nor a
    // move to a control that only leaves or discards the entry.
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::NoFocusReason:
        return false;
    default:
        break;
    }
    if (!wasFocused || !box->isVisible() || !box->isEnabled())
        return false;
    // While the focus changes hands, the application already names the widget taking it.
    if (isLeaveOnly(QApplication::focusWidget()))
        return false;

    const std::optional<Refusal> refusal = refusalFor(box);
    if (!refusal)
        return false;
    refuse(box, *refusal);
    return true;
}

void DateTextBox::refuse(QLineEdit* box, const Refusal& refusal) {
    // Take the focus back at once, before the next control acts on it; the message follows
    // once the current event is over. Until then the gate drops the click that tried to leave.
    if (QApplication::focusWidget() != box)
        box->setFocus(Qt::OtherFocusReason);
    if (m_messagePending)
        return;
    m_messagePending = true;
    updateGate();
    QMetaObject::invokeMethod(
        this,
        [this, target = QPointer<QLineEdit>(box), r = refusal] {
            m_messagePending = false;
            updateGate();
            desk::dialogs().message(this, r.text, r.title, desk::Dialogs::Icon::None, desk::Dialogs::Buttons::Ok);
            if (target) {
                target->setFocus(Qt::OtherFocusReason);
                if (m_selTextOnFocus)
                    target->selectAll();
            }
        },
        Qt::QueuedConnection);
}

bool DateTextBox::enterPressesButton() const {
    const QWidget* top = window();
    if (qobject_cast<const QDialog*>(top))
        return true;
    const QList<QPushButton*> buttons = top->findChildren<QPushButton*>();
    return std::any_of(buttons.begin(), buttons.end(),
                       [](const QPushButton* b) { return b->isDefault() && b->isVisible() && b->isEnabled(); });
}

void DateTextBox::updateGate() {
    m_gate->setActive(m_messagePending || m_focusedBox != nullptr);
}

bool DateTextBox::gateEvent(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::Shortcut)
        return false;
    if (watched == m_year || watched == m_month || watched == m_day)
        return false;
    if (m_messagePending) {
        // The press that tried to leave a refused box, or anything pressed before its message.
        return watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == window();
    }
    if (type != QEvent::Shortcut || !watched->isWidgetType() || !m_focusedBox || !m_focusedBox->hasFocus())
        return false;

    // An access key moves the focus and then acts at once: the part is checked before that.
    auto* target = static_cast<QWidget*>(watched);
    if (target->window() != window() || target->focusPolicy() == Qt::NoFocus || isLeaveOnly(target))
        return false;
    bool eaten = false;
    desk::guarded(this, [&] {
        if (const std::optional<Refusal> refusal = refusalFor(m_focusedBox)) {
            refuse(m_focusedBox, *refusal);
            eaten = true;
        }
    });
    return eaten;
}

std::optional<DateTextBox::Refusal> DateTextBox::refusalFor(const QLineEdit* box) const {
    std::optional<desk::convert::PartRefusal> refusal;
    if (box == m_year)
        refusal = desk::convert::yearRefusal(m_year->text(), m_yearMode);
    else if (box == m_month)
        refusal = desk::convert::monthRefusal(m_month->text());
    else
        refusal = desk::convert::dayRefusal(m_year->text(), m_month->text(), m_day->text());
    if (!refusal)
        return std::nullopt;
    return Refusal{refusal->text, refusal->title};
}

void DateTextBox::mousePressEvent(QMouseEvent* event) {
    desk::guarded(this, [&] { passMouseEvent(event, this); });
}

void DateTextBox::mouseMoveEvent(QMouseEvent* event) {
    desk::guarded(this, [&] { passMouseEvent(event, this); });
}

void DateTextBox::mouseReleaseEvent(QMouseEvent* event) {
    desk::guarded(this, [&] { passMouseEvent(event, this); });
}

void DateTextBox::mouseDoubleClickEvent(QMouseEvent* event) {
    desk::guarded(this, [&] { passMouseEvent(event, this); });
}

void DateTextBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        layoutParts();
    InputControl::changeEvent(event);
}

void DateTextBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutParts();
}

void DateTextBox::layoutParts() {
    const int w = width();
    const int boxHeight = qMin(height(), m_year->sizeHint().height());
    const int yearWidth = qRound(0.24 * w);
    const int partWidth = qRound(0.16 * w);
    const int labelWidth = qRound(0.12 * w);
    int x = 0;
    m_year->setGeometry(x, 0, yearWidth, boxHeight);
    x += yearWidth;
    m_labelY->setGeometry(x, 0, labelWidth, boxHeight);
    x += labelWidth;
    m_month->setGeometry(x, 0, partWidth, boxHeight);
    x += partWidth;
    m_labelM->setGeometry(x, 0, labelWidth, boxHeight);
    x += labelWidth;
    m_day->setGeometry(x, 0, partWidth, boxHeight);
    x += partWidth;
    m_labelD->setGeometry(x, 0, labelWidth, boxHeight);
}

} // namespace calfield
