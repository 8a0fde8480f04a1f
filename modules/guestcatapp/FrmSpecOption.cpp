#include "FrmSpecOption.h"

#include "ui_FrmSpecOption.h"

#include "convert/Convert.h"
#include "data/RowSet.h"
#include "guestcatsvc/GuestClassLists.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"

#include <QShortcut>

namespace guestcatapp {

namespace {

const QString formTitle = QStringLiteral("選択項目のメインテナンス");

// Code and name columns by kind number; the age list's name is its first column.
struct ListColumns {
    const char* code;
    const char* name;
};
constexpr ListColumns columnsOf[] = {
    {"YCode", nullptr},       {"Gcode", "Groupename"},  {"Ucode", "UclassName"},
    {"Pcode", "PaymentName"}, {"ChCode", "ChoiceName"},
};

// Lists are filled in this order when the window loads.
constexpr int loadOrder[] = {0, 2, 4, 1, 3};

} // namespace

FrmSpecOption::FrmSpecOption(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmSpecOption>())
    , m_context(context) {
    m_ui->setupUi(this);
    m_tabs = {Tab{m_ui->ListAge, m_ui->txtYear, m_ui->LbYearCode}, Tab{m_ui->ListG, m_ui->txtGroupe, m_ui->LbGCode},
              Tab{m_ui->ListUse, m_ui->txtUsing, m_ui->LbUcode}, Tab{m_ui->ListPay, m_ui->txtPayment, m_ui->LbPcode},
              Tab{m_ui->ListChoice, m_ui->txtChoice, m_ui->LbChoice}};

    desk::onClicked(m_ui->CmdRecorde, this, &FrmSpecOption::CmdRecorde_Click);
    desk::onClicked(m_ui->CmdCall, this, &FrmSpecOption::CmdCall_Click);
    desk::onClicked(m_ui->CmdEdit, this, &FrmSpecOption::CmdEdit_Click);
    desk::onClicked(m_ui->CmdDelete, this, &FrmSpecOption::CmdDelete_Click);
    desk::onClicked(m_ui->CmdClear, this, &FrmSpecOption::CmdClear_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);
    for (int kind = 0; kind < int(m_tabs.size()); ++kind) {
        // A click or the arrow keys choose an entry; the focus landing in a list does not.
        desk::guardedConnect(m_tabs[kind].list, &QListWidget::itemSelectionChanged, this,
                             [this, kind] { selectEntry(kind); });
        connect(m_tabs[kind].name, &QLineEdit::textEdited, m_ui->lbMessage, &QLabel::clear);
    }
    // The tabs switch with Ctrl+Tab wherever the focus is, and the clerk lands in the list.
    auto switchTab = [this](int step) {
        const int count = m_ui->SSTab1->count();
        m_ui->SSTab1->setCurrentIndex((m_ui->SSTab1->currentIndex() + step + count) % count);
    };
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Tab)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [switchTab] { switchTab(1); });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [switchTab] { switchTab(-1); });
    connect(m_ui->SSTab1, &QTabWidget::currentChanged, this, [this](int kind) {
        if (kind >= 0 && kind < int(m_tabs.size()))
            m_tabs[kind].list->setFocus();
        m_ui->lbMessage->clear();
    });

    // Load: a failure here goes back to the caller of ShowForm.
    move(0, 0);
    for (int kind : loadOrder)
        fillList(kind);
    m_ui->SSTab1->setCurrentIndex(0);
    m_ui->ListAge->setFocus();
}

FrmSpecOption::~FrmSpecOption() = default;

std::unique_ptr<guestcatsvc::OptionDataClass> FrmSpecOption::connectedStore() const {
    auto store = std::make_unique<guestcatsvc::OptionDataClass>();
    store->setDirPath(m_context.DirPath());
    store->CntDb();
    return store;
}

int FrmSpecOption::currentKind() const {
    return m_ui->SSTab1->currentIndex();
}

void FrmSpecOption::refuse(const QString& text) {
    desk::dialogs().beep();
    desk::dialogs().message(this, text, QStringLiteral("警告"), desk::Dialogs::Icon::Critical);
}

void FrmSpecOption::showMessage(const QString& text) {
    m_ui->lbMessage->setText(text);
}

void FrmSpecOption::fillList(int kind) {
    QListWidget* list = m_tabs[kind].list;
    m_filling = true;
    list->clear();
    m_label1[kind].clear();
    m_filling = false;
    const auto store = connectedStore();
    desk::RowSet& rows = guestcatsvc::rowsOf(*store, kind);
    if (rows.isEmpty())
        return;
    QStringList entries;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const QVariant name = columnsOf[kind].name ? rows.value(QLatin1String(columnsOf[kind].name)) : rows.value(0);
        entries << desk::convert::textOf(rows.value(QLatin1String(columnsOf[kind].code))) + QStringLiteral(" : ") +
                       desk::convert::textOf(name);
    }
    list->addItems(entries);
}

void FrmSpecOption::selectEntry(int kind) {
    if (m_filling)
        return;
    const QList<QListWidgetItem*> chosen = m_tabs[kind].list->selectedItems();
    if (chosen.isEmpty())
        return;
    const QString entry = chosen.first()->text();
    m_tabs[kind].code->setText(entry.left(2));
    m_tabs[kind].name->setText(entry.mid(5));
    m_label1[kind] = entry.left(2);
    m_ui->lbMessage->clear();
}

void FrmSpecOption::clearTab(int kind) {
    m_tabs[kind].code->clear();
    m_tabs[kind].name->clear();
    // Nothing is chosen any more: a correction or deletion now needs a new choice.
    m_label1[kind].clear();
    m_filling = true;
    m_tabs[kind].list->clearSelection();
    m_filling = false;
}

void FrmSpecOption::CmdClear_Click() {
    clearTab(currentKind());
    m_ui->lbMessage->clear();
}

void FrmSpecOption::CmdEdit_Click() {
    const int kind = currentKind();
    const QString code = m_label1[kind];
    if (code.isEmpty()) {
        desk::dialogs().beep();
        return;
    }
    const QString name = m_tabs[kind].name->text();
    // An entry without a name would show as a bare code in the check-in picker.
    if (name.trimmed().isEmpty()) {
        refuse(QStringLiteral("項目名を入力してください。"));
        m_tabs[kind].name->setFocus();
        return;
    }
    guestcatsvc::renameEntry(m_context.DirPath(), kind, code, name);
    fillList(kind);
    clearTab(kind);
    showMessage(QStringLiteral("コード %1 を「%2」に訂正しました。").arg(code, name));
}

void FrmSpecOption::CmdRecorde_Click() {
    const int kind = currentKind();
    const QString name = m_tabs[kind].name->text();
    if (name.trimmed().isEmpty()) {
        refuse(QStringLiteral("項目名を入力してください。"));
        m_tabs[kind].name->setFocus();
        return;
    }
    // The next free code is offered; the clerk may type another.
    const QString offered = connectedStore()->NextCode(kind);
    const QString answer = desk::dialogs().input(
        this, QStringLiteral("新しい項目「%1」のコードを英数字2文字で入力してください。").arg(name), formTitle,
        offered);
    if (answer.isEmpty())
        return;
    const std::optional<QString> typed = guestcatsvc::entryCode(answer);
    if (!typed) {
        refuse(QStringLiteral("コードは英数字2文字で入力してください。"));
        return;
    }
    const QString code = *typed;
    if (guestcatsvc::addEntry(m_context.DirPath(), kind, code, name) == guestcatsvc::EntryAdded::Taken) {
        refuse(QStringLiteral("コードが重複しています。"));
        return;
    }
    fillList(kind);
    clearTab(kind);
    showMessage(QStringLiteral("コード %1「%2」を登録しました。").arg(code, name));
    m_tabs[kind].list->setFocus();
}

void FrmSpecOption::CmdCall_Click() {
    const int kind = currentKind();
    const QString answer = desk::dialogs().input(this, QStringLiteral("呼び出すコードを入力してください。"), formTitle);
    if (answer.isEmpty())
        return;
    const QString code = answer.normalized(QString::NormalizationForm_KC).trimmed();
    QListWidget* list = m_tabs[kind].list;
    for (int row = 0; row < list->count(); ++row) {
        if (desk::convert::sameCode(list->item(row)->text().left(2), code)) {
            list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            list->scrollToItem(list->item(row));
            selectEntry(kind);
            m_tabs[kind].name->setFocus();
            return;
        }
    }
    refuse(QStringLiteral("見つかりません。"));
}

void FrmSpecOption::CmdDelete_Click() {
    const int kind = currentKind();
    const QString code = m_label1[kind];
    if (code.isEmpty()) {
        desk::dialogs().beep();
        return;
    }
    const QString inUse = QStringLiteral("このコードはチェックインで使われています。削除できません。");
    // The check-in picker needs at least one entry in every list.
    const QString last = QStringLiteral("最後の項目は削除できません。");
    if (m_tabs[kind].list->count() <= 1) {
        refuse(last);
        return;
    }
    if (guestcatsvc::entryInUse(m_context.DirPath(), kind, code)) {
        refuse(inUse);
        return;
    }
    const auto answer =
        desk::dialogs().message(this, QStringLiteral("コード：") + code + QStringLiteral("を　削除しますか？"),
                                formTitle, desk::Dialogs::Icon::Question, desk::Dialogs::Buttons::OkCancel);
    if (answer == desk::Dialogs::Answer::Cancel)
        return;

    // Checked again with the write, so a check-in saved meanwhile keeps its entry.
    const guestcatsvc::EntryDeleted deleted = guestcatsvc::deleteEntry(m_context.DirPath(), kind, code);
    const QString refusal = deleted == guestcatsvc::EntryDeleted::InUse  ? inUse
                            : deleted == guestcatsvc::EntryDeleted::Last ? last
                                                                         : QString();
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return;
    }
    fillList(kind);
    clearTab(kind);
    showMessage(QStringLiteral("コード %1 を削除しました。").arg(code));
    m_tabs[kind].list->setFocus();
}

} // namespace guestcatapp
