#include "CodeMaintenance.h"

#include "Dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QWidget>

namespace desk {

QString commodityCodeTakenText() {
    return QStringLiteral("その商品コードはすでに登録されています。\nちがう商品コードを入力してください。");
}

QString missingItemsText() {
    return QStringLiteral("登録に必要な最低項目が入力されていません。\n確認して入力してください。");
}

QString notFoundText() {
    return QStringLiteral("見つかりません。");
}

bool askClearScreen(QWidget* parent) {
    return dialogs().message(parent, QStringLiteral("画面のデータを消去しますか？"), QStringLiteral("警告"),
                             Dialogs::Icon::Question, Dialogs::Buttons::OkCancel) == Dialogs::Answer::Ok;
}

bool askDeleteCode(QWidget* parent, const QString& code, const QString& title) {
    return dialogs().message(parent, QStringLiteral("コード：") + code + QStringLiteral("を　削除しますか？"), title,
                             Dialogs::Icon::Question, Dialogs::Buttons::OkCancel) != Dialogs::Answer::Cancel;
}

void refuseEntry(QWidget* parent, const QString& text, const QString& title) {
    dialogs().beep();
    dialogs().message(parent, text, title, Dialogs::Icon::Critical);
}

void warnEntry(QWidget* parent, const QString& text) {
    dialogs().message(parent, text, QStringLiteral("警告"), Dialogs::Icon::Exclamation);
}

QString askCallUpCode(QWidget* parent, const QString& prompt, const QString& title) {
    return dialogs().input(parent, prompt, title, QStringLiteral("*****"), QPoint(100, 100)).trimmed();
}

void trimCode(QLineEdit* box) {
    const QString code = box->text().trimmed();
    if (code != box->text())
        box->setText(code);
}

void clearWhenEdited(QWidget* window, QLabel* message) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        QObject::connect(box, &QLineEdit::textEdited, message, &QLabel::clear);
}

} // namespace desk
