#include "PaymentItemWindow.h"

#include "ui_PaymentItemWindow.h"

#include "DRRptName.h"
#include "payclasssvc/PaymentClasses.h"
#include "payitemsvc/PaymentItems.h"
#include "report/ShowReport.h"

#include "convert/Convert.h"

using namespace Qt::StringLiterals;

namespace payitemapp {

frmRecipt::frmRecipt(desk::ModuleContext& context, QWidget* parent)
    : desk::CodeTableWindow(parent)
    , m_ui(std::make_unique<Ui::frmRecipt>()) {
    m_ui->setupUi(this);

    const QString dir = context.DirPath();
    desk::CodeTableSetup setup;
    setup.title = u"入金項目"_s;
    setup.codeName = u"入金コード"_s;
    setup.callUpPrompt = u"入金項目の訂正または削除するコードを入力してください。"_s;
    setup.nothingCalledUp = u"削除する得意先を呼び出してください。"_s;
    setup.code = m_ui->txtCcode;
    setup.calledCode = m_ui->lbCcode;
    setup.message = m_ui->lbMessage;
    using Kind = desk::CodeTableField::Kind;
    desk::CodeTableField classes{Kind::Choice, m_ui->CmbRptKubun};
    classes.choices = [dir] {
        QList<QPair<QString, QString>> entries;
        for (const desk::CodeRecord& c : payclasssvc::paymentClasses(dir).rows())
            entries.append({desk::convert::textOf(c.value(0)), desk::convert::textOf(c.value(1))});
        return entries;
    };
    classes.noChoiceText = u"入金区分を選択してください。"_s;
    classes.noChoiceTitle = u"警告"_s;
    classes.numericChoice = true;
    setup.fields = {
        {Kind::Text, m_ui->txtCname, true}, classes, {Kind::Text, m_ui->txtRemarks1}, {Kind::Text, m_ui->txtRemarks2}};
    setup.actions = desk::codeTableActions(payitemsvc::paymentItems(dir));
    setup.print = [this, &context] {
        desk::showReport(std::make_unique<DRRptName>(context.DirPath(), context.profile()), this);
    };
    configure(std::move(setup), *m_ui);
}

frmRecipt::~frmRecipt() = default;

} // namespace payitemapp
