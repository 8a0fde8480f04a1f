#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace desk {

// What the code maintenance windows (a master of codes and names: register, call up,
// correct, delete) say and ask alike. Every box goes through desk::dialogs().

// The refusals of the commodity windows (the class window, too, speaks of commodity codes).
QString commodityCodeTakenText();
QString missingItemsText();
// "見つかりません。": nothing under the code called up, or nothing called up.
QString notFoundText();

// "画面のデータを消去しますか？" under "警告", OK and Cancel; true for OK.
bool askClearScreen(QWidget* parent);
// "コード：<code>を　削除しますか？" under title, OK and Cancel; false only for Cancel.
bool askDeleteCode(QWidget* parent, const QString& code, const QString& title);
// A beep, then text under title with the error icon.
void refuseEntry(QWidget* parent, const QString& text, const QString& title);
// text under "警告" with the warning icon.
void warnEntry(QWidget* parent, const QString& text);
// The input box for the code to call up: "*****" offered, placed near the screen's top
// left corner. The code without blanks around it; empty when cancelled or blank.
QString askCallUpCode(QWidget* parent, const QString& prompt, const QString& title);

// Blanks around a typed code are no part of it, and a code of blanks is none: the box is
// left holding the code as it will be stored, so the empty-entry checks see it.
void trimCode(QLineEdit* box);

// Any edit in a line edit of the window clears message, so a confirmation never speaks of
// older values. Covers the line edits the window has when this is called.
void clearWhenEdited(QWidget* window, QLabel* message);

} // namespace desk
