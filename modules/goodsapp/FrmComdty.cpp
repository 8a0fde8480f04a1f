#include "FrmComdty.h"

#include "ui_FrmComdty.h"

#include "DRSyohin.h"
#include "convert/Convert.h"
#include "goodsclasssvc/SKubun.h"
#include "goodssvc/Commodities.h"
#include "report/ShowReport.h"
#include "taxsvc/TaxRules.h"
#include "ui/BusyCursor.h"
#include "ui/CodeMaintenance.h"
#include "ui/GuardedConnect.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace goodsapp {

namespace {

const QString callUpNotFoundMessage = u"コードが見つかりません。"_s;
const QString callUpPrompt = u"訂正、削除する商品コードを入力してください。"_s;
const QString callUpTitle = u"商品検索"_s;

} // namespace

FrmComdty::FrmComdty(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmComdty>())
    , m_context(context) {
    m_ui->setupUi(this);
    for (const auto taxClass : {taxsvc::TaxClass::Standard, taxsvc::TaxClass::Reduced, taxsvc::TaxClass::Exempt})
        m_ui->cmbTaxClass->addItem(taxsvc::taxClassName(taxClass), static_cast<int>(taxClass));

    m_buttons.wire(this, *m_ui);
    // Typing anew takes the last confirmation away, so it never speaks of older values.
    desk::clearWhenEdited(this, m_ui->lbMessage);
    desk::guardedConnect(m_ui->txtMdsClass, &QLineEdit::textChanged, this, &FrmComdty::txtMdsClass_Change);

    move(0, 0);
    clearFields();
    m_buttons.setCalledUp(false);
}

FrmComdty::~FrmComdty() = default;

goodssvc::Commodities FrmComdty::commodities() const {
    return goodssvc::Commodities(m_context.DirPath());
}

QWidget* FrmComdty::missingField() const {
    if (m_ui->txtScode->text().isEmpty())
        return m_ui->txtScode;
    if (m_ui->txtSname->text().isEmpty())
        return m_ui->txtSname;
    if (m_ui->txtPrice0->Text().isEmpty())
        return m_ui->txtPrice0;
    return nullptr;
}

void FrmComdty::clearFields() {
    for (QLineEdit* box :
         {m_ui->txtScode, m_ui->txtSname, m_ui->txtMdsClass, m_ui->txtUnit, m_ui->txtRemarks, m_ui->Text1})
        box->clear();
    m_ui->lblMdsClassName->clear();
    m_ui->txtPrice0->setText(u"0"_s);
    // A new commodity is taxed at the standard rate and bears the service charge.
    m_ui->cmbTaxClass->setCurrentIndex(static_cast<int>(taxsvc::TaxClass::Standard));
    m_ui->chkService->setChecked(true);
    m_ui->txtRoomShare->setText(u"0"_s);
    m_ui->chkDinner->setChecked(false);
    m_ui->chkBreakfast->setChecked(false);
    m_ui->lbMessage->clear();
    m_ui->txtScode->setFocus();
}

void FrmComdty::txtMdsClass_Change() {
    const QString code = m_ui->txtMdsClass->text();
    // Nothing typed names nothing: the "X" is kept for a code that matches no class.
    if (code.isEmpty()) {
        m_ui->lblMdsClassName->clear();
        return;
    }
    goodsclasssvc::SKubun classes;
    classes.setDirPath(m_context.DirPath());
    classes.CntDb();
    m_ui->lblMdsClassName->setText(classes.DispName(code));
}

void FrmComdty::save(Mode mode) {
    std::optional<desk::BusyCursor> busy(std::in_place);
    desk::trimCode(m_ui->txtScode);
    desk::trimCode(m_ui->txtMdsClass);
    if (QWidget* target = missingField()) {
        busy.reset();
        target->setFocus();
        desk::warnEntry(this, desk::missingItemsText());
        return;
    }

    const QString code = m_ui->txtScode->text();
    const QString calledCode = m_ui->Text1->text();
    // Read before anything is written: a price beyond the 32-bit range is refused here.
    const qint32 price = desk::convert::fieldInt32(m_ui->txtPrice0->Text(), u"標準価格"_s);
    const std::optional<int> roomShare = goodssvc::roomShareOf(m_ui->txtRoomShare->text());
    if (!roomShare) {
        busy.reset();
        desk::warnEntry(this, u"宿泊料の割合は 0 から 100 までの整数（%）で入力してください。"_s);
        m_ui->txtRoomShare->setFocus();
        m_ui->txtRoomShare->selectAll();
        return;
    }

    const goodssvc::Commodity commodity{code,
                                        m_ui->txtSname->text(),
                                        m_ui->txtMdsClass->text(),
                                        m_ui->txtUnit->text(),
                                        m_ui->txtRemarks->text(),
                                        price,
                                        m_ui->cmbTaxClass->currentData().toInt(),
                                        m_ui->chkService->isChecked(),
                                        *roomShare,
                                        m_ui->chkDinner->isChecked(),
                                        m_ui->chkBreakfast->isChecked()};
    // A new code is checked in the transaction that writes it, for a desk that took the
    // code in between (a correction's new code was also checked before, keeping the entry).
    const bool written =
        (mode == Mode::Register ? commodities().add(commodity) : commodities().correct(calledCode, commodity)) ==
        goodssvc::Commodities::Write::Written;
    if (!written) {
        busy.reset();
        m_ui->txtScode->setFocus();
        desk::warnEntry(this, desk::commodityCodeTakenText());
        return;
    }
    clearFields();
    m_buttons.setCalledUp(false);
    m_ui->lbMessage->setText(
        (mode == Mode::Register ? u"商品コード %1 を登録しました。"_s : u"商品コード %1 を訂正しました。"_s).arg(code));
}

void FrmComdty::CmdRecorde_Click() {
    save(Mode::Register);
}

void FrmComdty::CmdEdit_Click() {
    desk::trimCode(m_ui->txtScode);
    const QString code = m_ui->txtScode->text();
    const QString calledCode = m_ui->Text1->text();
    // A new code that another commodity has is refused with the called-up entry kept, so
    // the clerk can type another code and correct again: two commodities under one code
    // could not be told apart.
    if (missingField() == nullptr && !calledCode.isEmpty() && !desk::convert::sameCode(code, calledCode) &&
        commodities().isTaken(code)) {
        m_ui->txtScode->setFocus();
        desk::warnEntry(this, desk::commodityCodeTakenText());
        return;
    }
    save(Mode::Correct);
    // Also after a failed input check: the entry stays on screen, the buttons go back.
    m_buttons.setCalledUp(false);
}

void FrmComdty::CmdDelete_Click() {
    const QString calledCode = m_ui->Text1->text();
    if (calledCode.isEmpty()) {
        desk::warnEntry(this, desk::notFoundText());
        clearFields();
        m_buttons.setCalledUp(false);
        return;
    }
    {
        desk::BusyCursor busy;
        // Sales lines keep their code; the slips and the aggregations still list them.
        commodities().remove(calledCode);
    }
    clearFields();
    m_buttons.setCalledUp(false);
    m_ui->lbMessage->setText(u"商品コード %1 を削除しました。"_s.arg(calledCode));
}

bool FrmComdty::callUp(const QString& code) {
    desk::BusyCursor busy;
    m_ui->lbMessage->clear();
    const std::optional<goodssvc::Commodity> found = commodities().find(code);
    if (!found)
        return false;
    m_ui->Text1->setText(found->code);
    m_ui->txtScode->setText(found->code);
    m_ui->txtSname->setText(found->name);
    m_ui->txtMdsClass->setText(found->classCode);
    m_ui->txtUnit->setText(found->unit);
    m_ui->txtRemarks->setText(found->remarks);
    m_ui->txtPrice0->setText(QString::number(found->price));
    m_ui->cmbTaxClass->setCurrentIndex(
        m_ui->cmbTaxClass->findData(static_cast<int>(taxsvc::taxClassOf(found->taxClass))));
    m_ui->chkService->setChecked(found->service);
    m_ui->txtRoomShare->setText(QString::number(found->roomShare));
    m_ui->chkDinner->setChecked(found->dinner);
    m_ui->chkBreakfast->setChecked(found->breakfast);
    m_buttons.setCalledUp(true);
    m_ui->txtScode->setFocus();
    return true;
}

void FrmComdty::CmdCall_Click() {
    const QString answer = desk::askCallUpCode(this, callUpPrompt, callUpTitle);
    if (answer.isEmpty() || callUp(answer))
        return;
    desk::warnEntry(this, callUpNotFoundMessage);
    clearFields();
    m_buttons.setCalledUp(false);
}

void FrmComdty::CmdClear_Click() {
    clearFields();
    m_buttons.setCalledUp(false);
}

void FrmComdty::CmdPrint_Click() {
    desk::showReport(std::make_unique<DRSyohin>(m_context.DirPath(), m_context.profile()), this);
}

} // namespace goodsapp
