#include "EscapeClose.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace desk {

namespace {

// Watches the window itself: a key reaches it only when the focused box left it unhandled.
class EscapeFilter : public QObject {
public:
    EscapeFilter(QWidget* window, QAbstractButton* button)
        : QObject(window)
        , m_button(button) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (!m_button || !m_button->isEnabled() || m_button->window() != watched)
            return false;
        // The button's own action, never a bare close: it is where a window asks first.
        m_button->click();
        return true;
    }

private:
    QPointer<QAbstractButton> m_button;
};

} // namespace

void closeOnEscape(QWidget* window, QAbstractButton* closeButton) {
    window->installEventFilter(new EscapeFilter(window, closeButton));
}

} // namespace desk
