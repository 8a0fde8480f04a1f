#include "InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace desk {

InputBlocker::InputBlocker() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
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
