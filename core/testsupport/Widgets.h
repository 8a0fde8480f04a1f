#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace desk::test {

// The child widget of a window by its object name (the control name of the design);
// nullptr when there is none or it is of another type.
template <typename T> T* child(const QObject* root, const QString& name) {
    return root->findChild<T*>(name);
}

// Clicks a button found by name with the mouse (QTest::mouseClick at its centre), so
// focus leaves the current field first, as it does for the clerk; false when there is no
// such visible, enabled button. The window should be shown (see showActive()).
bool mouseClick(const QObject* root, const QString& name);

// Presses Alt+key in the window, as a clerk uses an access key ("登録(&R)": Qt::Key_R).
// The key goes to the focused widget; returns once a button it pressed has clicked.
void pressAccessKey(QWidget* window, Qt::Key key);

// Shows a window and waits until it is exposed and active, so that keys, access keys
// and focus changes behave as on the desk. False when it never became active.
bool showActive(QWidget* window);

// Replaces the text of a line edit found by name as a user would: focus, select all, type.
bool typeInto(const QObject* root, const QString& name, const QString& text);

// The text of a line edit, label, button, combo box or plain text edit found by name.
QString textOf(const QObject* root, const QString& name);

// Runs the event loop until no more events are posted (deferred deletes included).
void settle();

} // namespace desk::test
