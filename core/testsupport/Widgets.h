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

// Clicks a button found by name; false when there is no such enabled button.
bool click(const QObject* root, const QString& name);

// Replaces the text of a line edit found by name as a user would: focus, select all, type.
bool typeInto(const QObject* root, const QString& name, const QString& text);

// The text of a line edit, label, button, combo box or plain text edit found by name.
QString textOf(const QObject* root, const QString& name);

// Runs the event loop until no more events are posted (deferred deletes included).
void settle();

} // namespace desk::test
