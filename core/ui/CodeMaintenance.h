#pragma once

#include "data/Connection.h"

#include <QString>

#include <memory>

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

// The duplicate check and the write in one transaction, so no other desk takes the code
// in between: taken(store) decides, and only when it answers false does write(store) run
// and the transaction commit. Returns whether it was written. The store is closed on
// return, its transaction rolled back when not committed, so a window tells the clerk
// only afterwards and never holds the files locked behind a message box.
template <typename Store, typename Taken, typename Write>
bool writeUnlessTaken(std::unique_ptr<Store> connected, Taken taken, Write write) {
    // Held here, so it closes right after the transaction ends, before this returns.
    const std::unique_ptr<Store> store = std::move(connected);
    Transaction transaction(store->connection());
    if (taken(*store))
        return false;
    write(*store);
    transaction.commit();
    return true;
}

} // namespace desk
