#include "Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace desk::test {

bool mouseClick(const QObject* root, const QString& name) {
    auto* button = root->findChild<QAbstractButton*>(name);
    if (!button || !button->isEnabled() || !button->isVisible())
        return false;
    QPoint at = button->rect().center();
    // A check box or option button wider than its caption only takes clicks on the caption
    // and the box: aim at the box.
    QStyleOptionButton option;
    option.initFrom(button);
    if (qobject_cast<QCheckBox*>(button))
        at = button->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, button).center();
    else if (qobject_cast<QRadioButton*>(button))
        at = button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button).center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
    return true;
}

void pressAccessKey(QWidget* window, Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window->window())
        target = window;
    QTest::keyClick(target, key, Qt::AltModifier);
    // A button pressed by its access key shows itself down briefly and clicks after that.
    // The click may close the window and delete its buttons while this waits: they are
    // watched, and a button that is gone is no longer down.
    QList<QPointer<QAbstractButton>> buttons;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        buttons.append(button);
    (void)QTest::qWaitFor([&buttons] {
        return std::none_of(buttons.begin(), buttons.end(),
                            [](const QPointer<QAbstractButton>& b) { return b && b->isDown(); });
    });
}

bool showActive(QWidget* window) {
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

bool typeInto(const QObject* root, const QString& name, const QString& text) {
    auto* edit = root->findChild<QLineEdit*>(name);
    if (!edit || !edit->isEnabled())
        return false;
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
        return true;
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
        } else {
            // Kana and kanji have no key of their own: they arrive as text, as from an input method.
            QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    return true;
}

QString textOf(const QObject* root, const QString& name) {
    QObject* o = root->findChild<QObject*>(name);
    if (auto* e = qobject_cast<QLineEdit*>(o))
        return e->text();
    if (auto* l = qobject_cast<QLabel*>(o))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(o))
        return b->text();
    if (auto* c = qobject_cast<QComboBox*>(o))
        return c->currentText();
    if (auto* p = qobject_cast<QPlainTextEdit*>(o))
        return p->toPlainText();
    if (auto* g = qobject_cast<QGroupBox*>(o))
        return g->title();
    return o ? o->property("text").toString() : QString();
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace desk::test
