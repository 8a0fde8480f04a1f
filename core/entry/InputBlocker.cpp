#include "InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace desk {

InputBlocker::InputBlocker(std::function<void()> onInputTried)
    : m_onInputTried(std::move(onInputTried)) {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void InputBlocker::inputTried() {
    if (!m_onInputTried || (m_lastTry.isValid() && m_lastTry.elapsed() < 300))
        return;
    m_lastTry.start();
    m_onInputTried();
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (watched->isWidgetType())
            inputTried();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
        inputTried();
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    case QEvent::Close:
        // Closing the waiting window would end the program under the module's feet.
        if (watched->isWidgetType()) {
            event->ignore();
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace desk
