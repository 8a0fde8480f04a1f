#pragma once

#include "ui/MaintenanceButtons.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace desk {

// What a code-table window asks of its table. A record is the row's values in the order of
// the table's columns, the code first. codeTableActions() makes one from a component's
// desk::CodeTable.
struct CodeTableActions {
    std::function<std::optional<QVariantList>(const QString& code)> find;
    std::function<QList<QVariantList>()> rows;
    // false: another row has the code; nothing was written.
    std::function<bool(const QVariantList& record)> add;
    std::function<bool(const QString& calledCode, const QVariantList& record)> correct;
    std::function<void(const QString& code)> remove;
};

// From any table with the use cases of desk::CodeTable (this layer names no component).
template <typename Table> CodeTableActions codeTableActions(Table table) {
    using Write = typename Table::Write;
    return {[table](const QString& code) { return table.find(code); }, [table] { return table.rows(); },
            [table](const QVariantList& record) { return table.add(record) == Write::Written; },
            [table](const QString& called, const QVariantList& record) {
                return table.correct(called, record) == Write::Written;
            },
            [table](const QString& code) {
                table.remove(code);
            }};
}

// One column of the record after the code, shown and typed in one widget of the form.
struct CodeTableField {
    enum class Kind {
        Text,   // a QLineEdit, read as typed
        Count,  // a QLineEdit, read as a whole number of 16 bits (refused in `name` beyond it)
        Choice, // a QComboBox of "code:name" entries from `choices`; the record holds the code
        Flag,   // a checkable button (QCheckBox)
    };
    Kind kind = Kind::Text;
    QWidget* widget = nullptr;
    // Text: refused while empty, with the window's missing-items message.
    bool required = false;
    // Count: the field's name in a refusal ("定員は 32767 までです。").
    QString name = {};
    // Choice: the entries (code, name), read when the window opens.
    std::function<QList<QPair<QString, QString>>()> choices = {};
    // Choice: the refusal when nothing is chosen, and its title (the window's when empty).
    QString noChoiceText = {};
    QString noChoiceTitle = {};
    // Choice: the record holds the chosen code as a 16-bit number (its leading number).
    bool numericChoice = false;
    // Choice: the entries show their name alone, and the record holds the name.
    bool byName = false;
    // Flag: checked in a cleared entry.
    bool checkedWhenCleared = false;
};

// A refusal of a record by the table's own rules, and the field (its index in
// CodeTableSetup::fields) the focus goes to.
struct CodeTableRefusal {
    QString text;
    int field = 0;
};

// How a code-table window is made: its texts, the controls of its form and its table.
struct CodeTableSetup {
    // The title of the window's message boxes ("入金項目"), and what its confirmations call
    // a code ("入金コード" → "入金コード 12 を登録しました。").
    QString title;
    QString codeName;
    QString callUpPrompt;
    // Delete with nothing called up.
    QString nothingCalledUp;
    QString missingText = QStringLiteral("未入力の項目があります。");
    QString takenText = QStringLiteral("コードが重複しています。");

    QLineEdit* code = nullptr;
    // The code of the row called up, as stored: the key of a correction or a deletion.
    QLabel* calledCode = nullptr;
    QLabel* message = nullptr;
    // The columns after the code, in the table's order.
    QList<CodeTableField> fields;

    // A typed code as the table keeps it (blanks around it already gone); nothing refuses it
    // with codeRefusal. Empty: the code as typed.
    std::function<std::optional<QString>(const QString&)> typedCode = {};
    QString codeRefusal = {};
    // An answer to the call-up prompt as it is looked up. Empty: without blanks around it.
    std::function<QString(const QString&)> callUpCode = {};

    // A list of every row (record columns shown, in order, with their alignment), read
    // again after every write; none when null.
    QTreeWidget* list = nullptr;
    QList<QPair<int, Qt::Alignment>> listColumns = {};

    // The table's own rules over a typed record, the code called up (empty for a new row)
    // given: nothing when it passes. None when null.
    std::function<std::optional<CodeTableRefusal>(const QString& calledCode, const QVariantList& record)> check = {};
    // Why the row called up may not be deleted (still in use): asked before the confirmation;
    // empty when it may be. None when null.
    std::function<QString(const QString& code)> deleteRefusal = {};

    CodeTableActions actions;
    // Shows the list report.
    std::function<void()> print;
};

// The window of a code table: register a row, call one up by code to correct or delete
// it, clear the entry and print the list, through the seven buttons of MaintenanceButtons.
// A window derives from it, sets up its form and calls configure() in its constructor:
//
//     m_ui->setupUi(this);
//     configure(setup, *m_ui);
//
// Refusals beep and show the error icon under the setup's title; deleting and clearing
// ask first. After a call-up the focus is in the first field; after anything else in the
// code box. Every message box goes through desk::dialogs().
class CodeTableWindow : public QWidget {
public:
    explicit CodeTableWindow(QWidget* parent = nullptr);
    ~CodeTableWindow() override;

protected:
    template <typename Form> void configure(CodeTableSetup setup, const Form& form) {
        m_buttons.wire(this, form);
        start(std::move(setup));
    }

private:
    friend class desk::MaintenanceButtons; // calls the Cmd…_Click handlers
    enum class Mode { New, Correction };

    void CmdRecorde_Click();
    void CmdCall_Click();
    void CmdEdit_Click();
    void CmdDelete_Click();
    void CmdClear_Click();
    void CmdPrint_Click();

    void start(CodeTableSetup setup);
    // Checks the entry and writes it; true when it was saved.
    bool save(Mode mode);
    // The record on screen; nothing after telling the clerk what is wrong.
    std::optional<QVariantList> typedRecord();
    void show(const QVariantList& record);
    void clearEntry();
    void fillList();
    void fillChoices(int field);
    // Selects the entry of code; a code the list lacks is kept and shown as a placeholder.
    void choose(int field, const QString& code);
    void refuse(const QString& text, const QString& title = {});
    void showMessage(const QString& text);
    QComboBox* combo(int field) const;

    CodeTableSetup m_setup;
    desk::MaintenanceButtons m_buttons;
    // Per field: the codes of a choice list in its order, and the called-up row's code that
    // the list lacks.
    QList<QStringList> m_choiceCodes;
    QList<std::optional<QString>> m_keptChoice;
};

} // namespace desk
