#include "InputControl.h"

#include "KeyCodes.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace desk {

InputControl::InputControl(QWidget* parent)
    : QWidget(parent) {}

InputControl::~InputControl() = default;

void InputControl::setBoxes(const QList<QLineEdit*>& boxes) {
    m_boxes = boxes;
}

QColor InputControl::boxColor(QPalette::ColorRole role) const {
    return m_boxes.isEmpty() ? QColor() : m_boxes.first()->palette().color(role);
}

void InputControl::setBoxColor(QPalette::ColorRole role, const QColor& color, const char* property) {
    for (QLineEdit* box : std::as_const(m_boxes)) {
        QPalette p = box->palette();
        p.setColor(role, color);
        box->setPalette(p);
    }
    update();
    emit PropertyChanged(QLatin1String(property));
}

QColor InputControl::surfaceColor(QPalette::ColorRole role) const {
    return palette().color(role);
}

void InputControl::setSurfaceColor(QPalette::ColorRole role, const QColor& color, const char* property) {
    QPalette p = palette();
    p.setColor(role, color);
    setPalette(p);
    // A background colour shows only on a surface that paints it.
    if (role == QPalette::Window)
        setAutoFillBackground(true);
    emit PropertyChanged(QLatin1String(property));
}

void InputControl::applyImeMode(QLineEdit* box, int mode, Qt::InputMethodHints hints) {
    box->setAttribute(Qt::WA_InputMethodEnabled, mode != 3);
    if (mode == 2 || mode == 7 || mode == 8)
        hints |= Qt::ImhPreferLatin;
    box->setInputMethodHints(hints);
}

void InputControl::passMouseEvent(QMouseEvent* event, QWidget* source) {
    const int shift = keys::shiftMask(event->modifiers());
    const double x = event->position().x();
    const double y = event->position().y();
    constexpr int buttonMask = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (event->button() == Qt::LeftButton)
            m_clickSource = source;
        emit MouseDown(static_cast<int>(event->button()) & buttonMask, shift, x, y);
        break;
    case QEvent::MouseMove:
        emit MouseMove(static_cast<int>(event->buttons()) & buttonMask, shift, x, y);
        break;
    case QEvent::MouseButtonRelease: {
        emit MouseUp(static_cast<int>(event->button()) & buttonMask, shift, x, y);
        if (event->button() != Qt::LeftButton)
            break;
        const bool clicked = m_clickSource == source && source->rect().contains(event->position().toPoint());
        m_clickSource = nullptr;
        if (clicked)
            emit Click();
        break;
    }
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        break;
    default:
        break;
    }
}

void InputControl::emitKeyDown(const QKeyEvent* event) {
    emit KeyDown(event->key(), keys::shiftMask(event->modifiers()));
}

void InputControl::emitKeyUp(const QKeyEvent* event) {
    emit KeyUp(event->key(), keys::shiftMask(event->modifiers()));
}

void InputControl::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::EnabledChange:
        emit PropertyChanged(QStringLiteral("Enabled"));
        break;
    case QEvent::FontChange:
        emit PropertyChanged(QStringLiteral("Font"));
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

} // namespace desk
