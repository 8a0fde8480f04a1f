#include "UserControl1.h"

#include "convert/Convert.h"
#include "ui/SlotGuard.h"
#include "ui/KeyCodes.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <cmath>
#include <utility>

namespace digitfield {

UserControl1::UserControl1(QWidget* parent)
    : InputControl(parent) {
    m_text = new QLineEdit(QStringLiteral("Text1"), this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setMouseTracking(true);
    m_text->installEventFilter(this);
    m_text->setProperty("TabIndex", 0);
    m_text->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    connect(m_text, &QLineEdit::textChanged, this, [this] { emit Change(); });
    setBoxes({m_text});
    setFocusProxy(m_text);
    resize(m_text->sizeHint());
    m_text->resize(size());
}

UserControl1::~UserControl1() = default;

QColor UserControl1::BackColor() const {
    return boxColor(QPalette::Base);
}

void UserControl1::setBackColor(const QColor& color) {
    setBoxColor(QPalette::Base, color, "BackColor");
}

QColor UserControl1::ForeColor() const {
    return boxColor(QPalette::Text);
}

void UserControl1::setForeColor(const QColor& color) {
    setBoxColor(QPalette::Text, color, "ForeColor");
}

void UserControl1::setBorderStyle(int style) {
    m_borderStyle = style;
    m_text->setFrame(style != 0);
    emit PropertyChanged(QStringLiteral("BorderStyle"));
}

void UserControl1::setAlignment(int alignment) {
    m_alignment = alignment;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == 1)
        horizontal = Qt::AlignRight;
    else if (alignment == 2)
        horizontal = Qt::AlignHCenter;
    m_text->setAlignment(horizontal | Qt::AlignVCenter);
    emit PropertyChanged(QStringLiteral("Alignment"));
}

QString UserControl1::Text() const {
    return m_text->text();
}

void UserControl1::setText(const QString& text) {
    m_text->setText(text);
    emit PropertyChanged(QStringLiteral("Text"));
}

void UserControl1::setIMEMode(int mode) {
    m_imeMode = mode;
    applyImeMode(m_text, mode, Qt::ImhFormattedNumbersOnly);
    emit PropertyChanged(QStringLiteral("IMEMode"));
}

void UserControl1::setBackStyle(int style) {
    m_backStyle = style;
    emit PropertyChanged(QStringLiteral("BackStyle"));
}

void UserControl1::setToolTipText(const QString& text) {
    m_toolTipText = text;
    emit PropertyChanged(QStringLiteral("ToolTipText"));
}

void UserControl1::setSelStart(int start) {
    m_selStart = start;
    emit PropertyChanged(QStringLiteral("SelStart"));
}

void UserControl1::setSelText(const QString& text) {
    m_selText = text;
    emit PropertyChanged(QStringLiteral("SelText"));
}

void UserControl1::setSelLength(int length) {
    m_selLength = length;
    emit PropertyChanged(QStringLiteral("SelLength"));
}

void UserControl1::setTabIndex(float index) {
    m_tabIndex = index;
    // A tab index is a whole number from 0; anything else is brought into that range
    // rather than refused.
    const double rounded = std::isfinite(index) ? desk::convert::roundHalfEven(index) : 0.0;
    m_text->setProperty("TabIndex", static_cast<int>(qBound(0.0, rounded, 32767.0)));
    emit PropertyChanged(QStringLiteral("TabIndex"));
}

int UserControl1::TextHeight(const QString& text) const {
    return QFontMetrics(m_text->font()).boundingRect(QRect(), Qt::TextExpandTabs, text).height();
}

int UserControl1::TextWidth(const QString& text) const {
    return QFontMetrics(m_text->font()).horizontalAdvance(text);
}

void UserControl1::Refresh() {
    update();
    m_text->update();
}

QSize UserControl1::sizeHint() const {
    return m_text->sizeHint();
}

QSize UserControl1::minimumSizeHint() const {
    return m_text->minimumSizeHint();
}

bool UserControl1::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_text)
        return QWidget::eventFilter(watched, event);

    bool eaten = false;
    // A form's handler of the key or mouse signals must not take the program down.
    desk::guarded(this, [&] {
        switch (event->type()) {
        case QEvent::KeyPress:
            eaten = handleKeyPress(static_cast<QKeyEvent*>(event));
            break;
        case QEvent::KeyRelease:
            handleKeyRelease(static_cast<QKeyEvent*>(event));
            break;
        case QEvent::InputMethod: {
            auto* ime = static_cast<QInputMethodEvent*>(event);
            if (!ime->commitString().isEmpty()) {
                handleCommittedText(ime);
                eaten = true;
            }
            break;
        }
        case QEvent::FocusIn:
            m_hasFocus = true;
            break;
        case QEvent::FocusOut:
            eaten = handleFocusOut(event);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            passMouseEvent(static_cast<QMouseEvent*>(event), m_text);
            break;
        default:
            break;
        }
    });
    return eaten;
}

bool UserControl1::handleKeyPress(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return false; // moves the focus

    emit KeyDown(key, desk::keys::shiftMask(event->modifiers()));
    // Copying and selecting type nothing and change nothing.
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll))
        return false;

    const int typed = desk::keys::characterCode(event);
    if (typed < 0)
        return false;
    const int filtered = filterCharacter(typed);
    int code = filtered;
    emit KeyPress(code);
    if (code == 0)
        return true;
    // Unchanged, the box types it itself: a digit at the caret, a backspace at the end,
    // Enter on to the window's default button.
    if (code == typed && code == filtered)
        return false;
    typeCharacter(code);
    return true;
}

int UserControl1::filterCharacter(int code) {
    // The whole current text decides, wherever the caret is.
    const QString text = m_text->text();
    const bool isZero = text == QLatin1String("0");
    if (desk::keys::isDigit(code)) {
        if (isZero)
            m_text->clear();
        return code;
    }
    switch (code) {
    case 8:
        if (text.size() != 1) {
            m_text->end(false);
            return code;
        }
        if (!isZero)
            m_text->setText(QStringLiteral("0"));
        return 0;
    case 9:
    case 13:
        return code;
    case '.':
        return text.contains(QLatin1Char('.')) ? 0 : code;
    case '-':
        if (!isZero)
            return 0;
        m_text->clear();
        return code;
    default:
        return 0;
    }
}

void UserControl1::typeCharacter(int code) {
    if (code == 8) {
        m_text->backspace();
        return;
    }
    if (!desk::keys::isPrintable(code))
        return;
    const char32_t c = static_cast<char32_t>(code);
    m_text->insert(QString::fromUcs4(&c, 1));
}

void UserControl1::handleKeyRelease(QKeyEvent* event) {
    // Delete never leaves the field empty, nor with a lone character.
    if (event->key() == Qt::Key_Delete && m_text->text().size() <= 1)
        m_text->setText(QStringLiteral("0"));
    emit KeyUp(event->key(), desk::keys::shiftMask(event->modifiers()));
}

void UserControl1::handleCommittedText(QInputMethodEvent* event) {
    // The box gets the composition without its result; the result is typed character by
    // character through the same filter as keys (full-width digits are refused there).
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QCoreApplication::sendEvent(m_text, &rest);
    const QList<uint> characters = event->commitString().toUcs4();
    for (uint c : characters) {
        int code = filterCharacter(static_cast<int>(c));
        emit KeyPress(code);
        if (code != 0)
            typeCharacter(code);
    }
}

bool UserControl1::handleFocusOut(QEvent* event) {
    const bool wasFocused = std::exchange(m_hasFocus, false);
    switch (static_cast<QFocusEvent*>(event)->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::NoFocusReason:
        return false;
    default:
        break;
    }
    if (!wasFocused || !m_text->isVisible() || !m_text->isEnabled())
        return false;
    bool cancel = false;
    emit Validate(cancel);
    if (!cancel)
        return false;
    // Refused: take the focus back before the next control acts on it.
    m_text->setFocus(Qt::OtherFocusReason);
    return true;
}

void UserControl1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Text1 keeps its place and takes the control's size.
    m_text->resize(size());
}

} // namespace digitfield
