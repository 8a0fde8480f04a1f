#include "CodeTableWindow.h"

#include "BusyCursor.h"
#include "CodeMaintenance.h"
#include "Dialogs.h"
#include "ListFill.h"

#include "convert/Convert.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace desk {

CodeTableWindow::CodeTableWindow(QWidget* parent)
    : QWidget(parent) {}

CodeTableWindow::~CodeTableWindow() = default;

void CodeTableWindow::start(CodeTableSetup setup) {
    m_setup = std::move(setup);
    Q_ASSERT(m_setup.code && m_setup.calledCode && m_setup.message && !m_setup.fields.isEmpty());
    m_choiceCodes.resize(m_setup.fields.size());
    m_keptChoice.resize(m_setup.fields.size());
    clearWhenEdited(this, m_setup.message);

    // Load: a failure here goes back to the caller of ShowForm.
    for (int i = 0; i < m_setup.fields.size(); ++i) {
        if (m_setup.fields[i].kind == CodeTableField::Kind::Choice)
            fillChoices(i);
    }
    fillList();
    clearEntry();
    m_buttons.setCalledUp(false);
    m_setup.code->setFocus();
}

QComboBox* CodeTableWindow::combo(int field) const {
    return static_cast<QComboBox*>(m_setup.fields[field].widget);
}

void CodeTableWindow::refuse(const QString& text, const QString& title) {
    refuseEntry(this, text, title.isEmpty() ? m_setup.title : title);
}

void CodeTableWindow::showMessage(const QString& text) {
    m_setup.message->setText(text);
}

void CodeTableWindow::fillChoices(int field) {
    QComboBox* box = combo(field);
    box->clear();
    m_choiceCodes[field].clear();
    const bool byName = m_setup.fields[field].byName;
    for (const auto& [code, name] : m_setup.fields[field].choices()) {
        box->addItem(byName ? name : code + QLatin1Char(':') + name);
        m_choiceCodes[field] << (byName ? name : code);
    }
}

void CodeTableWindow::choose(int field, const QString& code) {
    QComboBox* box = combo(field);
    const qsizetype at = m_choiceCodes[field].indexOf(code);
    if (at >= 0) {
        m_keptChoice[field].reset();
        box->setPlaceholderText({});
        box->setCurrentIndex(int(at));
        return;
    }
    // Showing whatever entry the list held would save it over the row's own on correction:
    // the stored code stays until the clerk picks one.
    m_keptChoice[field] = code;
    box->setPlaceholderText(code + QStringLiteral(":（一覧にない区分）"));
    box->setCurrentIndex(-1);
}

void CodeTableWindow::fillList() {
    if (m_setup.list)
        desk::fillList(m_setup.list, m_setup.actions.rows(), m_setup.listColumns);
}

void CodeTableWindow::clearEntry() {
    m_setup.code->clear();
    m_setup.calledCode->clear();
    for (int i = 0; i < m_setup.fields.size(); ++i) {
        const CodeTableField& field = m_setup.fields[i];
        switch (field.kind) {
        case CodeTableField::Kind::Text:
        case CodeTableField::Kind::Count:
            static_cast<QLineEdit*>(field.widget)->clear();
            break;
        case CodeTableField::Kind::Choice:
            m_keptChoice[i].reset();
            combo(i)->setPlaceholderText({});
            combo(i)->setCurrentIndex(-1);
            break;
        case CodeTableField::Kind::Flag:
            static_cast<QAbstractButton*>(field.widget)->setChecked(field.checkedWhenCleared);
            break;
        }
    }
}

void CodeTableWindow::show(const QVariantList& record) {
    const QString code = convert::textOf(record.value(0));
    m_setup.code->setText(code);
    m_setup.calledCode->setText(code);
    for (int i = 0; i < m_setup.fields.size(); ++i) {
        const CodeTableField& field = m_setup.fields[i];
        const QVariant value = record.value(i + 1);
        switch (field.kind) {
        case CodeTableField::Kind::Text:
        case CodeTableField::Kind::Count:
            static_cast<QLineEdit*>(field.widget)->setText(convert::textOf(value));
            break;
        case CodeTableField::Kind::Choice:
            choose(i, convert::textOf(value));
            break;
        case CodeTableField::Kind::Flag:
            static_cast<QAbstractButton*>(field.widget)->setChecked(value.toBool());
            break;
        }
    }
}

std::optional<QVariantList> CodeTableWindow::typedRecord() {
    trimCode(m_setup.code);
    const QString typed = m_setup.code->text();
    bool missing = typed.isEmpty();
    for (const CodeTableField& field : std::as_const(m_setup.fields)) {
        if (field.required && static_cast<QLineEdit*>(field.widget)->text().isEmpty())
            missing = true;
    }
    if (missing) {
        refuse(m_setup.missingText);
        return std::nullopt;
    }
    const std::optional<QString> code = m_setup.typedCode ? m_setup.typedCode(typed) : std::optional<QString>(typed);
    if (!code) {
        refuse(m_setup.codeRefusal);
        m_setup.code->setFocus();
        return std::nullopt;
    }
    QVariantList record{*code};
    for (int i = 0; i < m_setup.fields.size(); ++i) {
        const CodeTableField& field = m_setup.fields[i];
        switch (field.kind) {
        case CodeTableField::Kind::Text:
            record << static_cast<QLineEdit*>(field.widget)->text();
            break;
        case CodeTableField::Kind::Count:
            try {
                record << convert::fieldInt16(static_cast<QLineEdit*>(field.widget)->text(), field.name);
            } catch (const ConversionError& e) {
                refuse(e.message());
                field.widget->setFocus();
                return std::nullopt;
            }
            break;
        case CodeTableField::Kind::Choice: {
            const int at = combo(i)->currentIndex();
            std::optional<QString> chosen =
                at < 0 ? m_keptChoice[i] : std::optional<QString>(m_choiceCodes[i].value(at));
            std::optional<QVariant> value;
            if (chosen && field.numericChoice) {
                try {
                    value = convert::toInt16(convert::leadingNumber(*chosen));
                } catch (const ConversionError&) {
                }
            } else if (chosen) {
                value = *chosen;
            }
            if (!value) {
                refuse(field.noChoiceText, field.noChoiceTitle);
                field.widget->setFocus();
                return std::nullopt;
            }
            record << *value;
            break;
        }
        case CodeTableField::Kind::Flag:
            record << static_cast<QAbstractButton*>(field.widget)->isChecked();
            break;
        }
    }
    return record;
}

bool CodeTableWindow::save(Mode mode) {
    showMessage({});
    const QString calledUp = m_setup.calledCode->text();
    const std::optional<QVariantList> record = typedRecord();
    if (!record)
        return false;
    if (m_setup.check) {
        if (const auto refusal = m_setup.check(mode == Mode::New ? QString() : calledUp, *record)) {
            refuse(refusal->text);
            if (refusal->field >= 0 && refusal->field < m_setup.fields.size())
                m_setup.fields[refusal->field].widget->setFocus();
            return false;
        }
    }
    bool written = false;
    {
        BusyCursor busy;
        written = mode == Mode::New ? m_setup.actions.add(*record) : m_setup.actions.correct(calledUp, *record);
        if (written)
            fillList();
    }
    if (!written) {
        refuse(m_setup.takenText);
        m_setup.code->setFocus();
        return false;
    }
    const QString code = record->constFirst().toString();
    showMessage(mode == Mode::New ? QStringLiteral("%1 %2 を登録しました。").arg(m_setup.codeName, code)
                                  : QStringLiteral("%1 %2 を訂正しました。").arg(m_setup.codeName, code));
    return true;
}

void CodeTableWindow::CmdRecorde_Click() {
    if (!save(Mode::New))
        return;
    clearEntry();
    m_setup.code->setFocus();
}

void CodeTableWindow::CmdEdit_Click() {
    if (!save(Mode::Correction))
        return;
    clearEntry();
    m_buttons.setCalledUp(false);
    m_setup.code->setFocus();
}

void CodeTableWindow::CmdCall_Click() {
    const QString answer = dialogs().input(this, m_setup.callUpPrompt, m_setup.title);
    const QString code = m_setup.callUpCode ? m_setup.callUpCode(answer) : answer.trimmed();
    if (code.isEmpty())
        return;
    showMessage({});
    const std::optional<QVariantList> record = m_setup.actions.find(code);
    if (!record) {
        refuse(notFoundText());
        return;
    }
    show(*record);
    m_buttons.setCalledUp(true);
    m_setup.fields.constFirst().widget->setFocus();
}

void CodeTableWindow::CmdDelete_Click() {
    const QString code = m_setup.calledCode->text();
    if (code.isEmpty()) {
        refuse(m_setup.nothingCalledUp);
        return;
    }
    if (m_setup.deleteRefusal) {
        if (const QString refusal = m_setup.deleteRefusal(code); !refusal.isEmpty()) {
            refuse(refusal);
            return;
        }
    }
    if (!askDeleteCode(this, code, m_setup.title))
        return;
    m_setup.actions.remove(code);
    fillList();
    clearEntry();
    m_buttons.setCalledUp(false);
    showMessage(QStringLiteral("%1 %2 を削除しました。").arg(m_setup.codeName, code));
    m_setup.code->setFocus();
}

void CodeTableWindow::CmdClear_Click() {
    if (askClearScreen(this)) {
        clearEntry();
        showMessage({});
    }
    m_buttons.setCalledUp(false);
    m_setup.code->setFocus();
}

void CodeTableWindow::CmdPrint_Click() {
    BusyCursor busy;
    m_setup.print();
}

} // namespace desk
