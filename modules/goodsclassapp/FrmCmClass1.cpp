#include "FrmCmClass1.h"

#include "ui_FrmCmClass1.h"

#include "DRSKubun.h"
#include "goodsclasssvc/CommodityClasses.h"
#include "goodssvc/ComodityInn.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/CodeMaintenance.h"
#include "ui/Dialogs.h"
#include "ui/GuardedConnect.h"
#include "ui/ListFill.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace goodsclassapp {

namespace {

const QString inUseQuestion = u"この区分を使っている商品があります。削除しますか？"_s;
const QString callUpPrompt = u"訂正、削除する商品区分コードを入力してください。"_s;
const QString callUpTitle = u"商品区分検索"_s;

} // namespace

FrmCmClass1::FrmCmClass1(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmCmClass1>())
    , m_context(context) {
    m_ui->setupUi(this);
    m_ui->ListView1->setColumnWidth(0, 80);
    m_ui->ListView1->setColumnWidth(1, 200);

    m_buttons.wire(this, *m_ui);
    // Typing anew takes the last confirmation away, so it never speaks of older values.
    desk::clearWhenEdited(this, m_ui->lbMessage);
    // Enter (or a double click) on a class calls it up.
    desk::guardedConnect(m_ui->ListView1, &QTreeWidget::itemActivated, this, &FrmCmClass1::ListView1_ItemActivated);

    move(0, 0);
    fillList();
    m_buttons.setCalledUp(false);
    m_ui->Text1->setFocus();
}

FrmCmClass1::~FrmCmClass1() = default;

desk::CodeTable FrmCmClass1::classes() const {
    return goodsclasssvc::commodityClasses(m_context.DirPath());
}

bool FrmCmClass1::inputMissing() {
    desk::trimCode(m_ui->Text1);
    if (m_ui->Text1->text().isEmpty() || m_ui->Text2->text().isEmpty()) {
        desk::dialogs().beep();
        return true;
    }
    return false;
}

void FrmCmClass1::clearFields() {
    m_ui->Text1->clear();
    m_ui->Text2->clear();
    m_ui->Label3->clear();
    m_ui->lbMessage->clear();
    m_ui->Text1->setFocus();
}

void FrmCmClass1::fillList() {
    auto* list = m_ui->ListView1;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const QList<QTreeWidgetItem*> items = desk::fillList(list, classes().rows(), {{0, left}, {1, left}});
    if (!items.isEmpty())
        list->setCurrentItem(items.constFirst(), 0, QItemSelectionModel::NoUpdate);
}

int FrmCmClass1::commoditiesOfClass(const QString& code) const {
    goodssvc::ComodityInn commodities;
    commodities.setDirPath(m_context.DirPath());
    commodities.CntDb();
    return commodities.countOfClass(code);
}

void FrmCmClass1::CmdRecorde_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    if (inputMissing()) {
        busy.reset();
        desk::warnEntry(this, desk::missingItemsText());
        return;
    }
    const bool written = classes().add({m_ui->Text1->text(), m_ui->Text2->text()}) == desk::CodeTable::Write::Written;
    if (!written) {
        busy.reset();
        desk::warnEntry(this, desk::commodityCodeTakenText());
        m_ui->Text1->clear();
        m_ui->Text1->setFocus();
        return;
    }
    const QString code = m_ui->Text1->text();
    clearFields();
    fillList();
    m_ui->lbMessage->setText(u"商品区分 %1 を登録しました。"_s.arg(code));
}

void FrmCmClass1::CmdEdit_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    if (inputMissing()) {
        // The check beeped once; the second beep says the correction was not made.
        busy.reset();
        desk::dialogs().beep();
        return;
    }
    const QString calledCode = m_ui->Label3->text();
    const QString code = m_ui->Text1->text();
    if (calledCode.isEmpty()) {
        // Cleared after the call-up: there is nothing to correct. The entry stays, and
        // registering it is one key away.
        busy.reset();
        desk::warnEntry(this, desk::notFoundText());
        m_buttons.setCalledUp(false);
        return;
    }
    // A new code is checked in the transaction that writes it, so no other desk takes it
    // in between.
    const bool written = classes().correct(calledCode, {code, m_ui->Text2->text()}) == desk::CodeTable::Write::Written;
    if (!written) {
        // Two classes under one code could not be told apart: the called-up entry stays
        // for another code.
        busy.reset();
        m_ui->Text1->setFocus();
        desk::warnEntry(this, desk::commodityCodeTakenText());
        return;
    }
    clearFields();
    m_buttons.setCalledUp(false);
    fillList();
    m_ui->lbMessage->setText(u"商品区分 %1 を訂正しました。"_s.arg(code));
}

void FrmCmClass1::CmdDelete_Click() {
    const QString calledCode = m_ui->Label3->text();
    if (calledCode.isEmpty()) {
        desk::warnEntry(this, desk::notFoundText());
        clearFields();
        // Back to register mode, so the clerk is never left with only correct and delete.
        m_buttons.setCalledUp(false);
        return;
    }
    if (commoditiesOfClass(calledCode) > 0 &&
        desk::dialogs().message(this, inUseQuestion, u"警告"_s, desk::Dialogs::Icon::Exclamation,
                                desk::Dialogs::Buttons::YesNoDefaultNo) != desk::Dialogs::Answer::Yes)
        return;
    {
        desk::BusyCursor busy;
        // Commodities of the class keep its code; their class name then reads "X".
        classes().remove(calledCode);
    }
    clearFields();
    m_buttons.setCalledUp(false);
    fillList();
    m_ui->lbMessage->setText(u"商品区分 %1 を削除しました。"_s.arg(calledCode));
}

bool FrmCmClass1::callUp(const QString& code) {
    desk::BusyCursor busy;
    m_ui->lbMessage->clear();
    const std::optional<desk::CodeRecord> found = classes().find(code);
    if (!found) {
        m_ui->Label3->clear();
        m_ui->Text1->clear();
        m_ui->Text2->clear();
        return false;
    }
    m_ui->Label3->setText(found->value(0).toString());
    m_ui->Text1->setText(found->value(0).toString());
    m_ui->Text2->setText(found->value(1).toString());
    m_buttons.setCalledUp(true);
    m_ui->Text1->setFocus();
    return true;
}

void FrmCmClass1::CmdCall_Click() {
    const QString answer = desk::askCallUpCode(this, callUpPrompt, callUpTitle);
    if (answer.isEmpty() || callUp(answer))
        return;
    desk::warnEntry(this, desk::notFoundText());
    m_buttons.setCalledUp(false);
}

void FrmCmClass1::ListView1_ItemActivated(QTreeWidgetItem* item, int) {
    if (!item || callUp(item->text(0)))
        return;
    // Deleted at another desk since the list was read.
    desk::warnEntry(this, desk::notFoundText());
    m_buttons.setCalledUp(false);
    fillList();
}

void FrmCmClass1::CmdClear_Click() {
    clearFields();
}

void FrmCmClass1::CmdPrint_Click() {
    desk::showReport(std::make_unique<DRSKubun>(m_context.DirPath(), m_context.profile()), this);
}

} // namespace goodsclassapp
