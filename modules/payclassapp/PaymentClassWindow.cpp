#include "PaymentClassWindow.h"

#include "ui_PaymentClassWindow.h"

#include "PaymentClassReport.h"
#include "payclasssvc/PaymentClasses.h"
#include "report/ShowReport.h"

using namespace Qt::StringLiterals;

namespace payclassapp {

frmRecipt::frmRecipt(desk::ModuleContext& context, QWidget* parent)
    : desk::CodeTableWindow(parent)
    , m_ui(std::make_unique<Ui::frmRecipt>()) {
    m_ui->setupUi(this);
    m_ui->ListView1->setColumnWidth(0, 110);
    m_ui->ListView1->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);

    desk::CodeTableSetup setup;
    setup.title = u"入金区分"_s;
    setup.codeName = u"入金区分"_s;
    setup.callUpPrompt = u"入金区分の訂正または削除するコードを入力してください。"_s;
    setup.nothingCalledUp = u"削除する得意先区分を呼び出してください。"_s;
    setup.code = m_ui->txtClKubunKode;
    setup.calledCode = m_ui->lbClKubun;
    setup.message = m_ui->lbMessage;
    setup.fields = {{desk::CodeTableField::Kind::Text, m_ui->txtClKubunName, true}};
    // Payment items keep their class as a number: a code that is none could never be chosen.
    setup.typedCode = payclasssvc::paymentClassCode;
    setup.codeRefusal = u"入金区分コードは数字で入力してください。"_s;
    setup.callUpCode = [](const QString& answer) {
        return payclasssvc::paymentClassCode(answer).value_or(answer);
    };
    setup.list = m_ui->ListView1;
    setup.listColumns = {{0, Qt::AlignRight | Qt::AlignVCenter}, {1, Qt::AlignLeft | Qt::AlignVCenter}};
    setup.actions = desk::codeTableActions(payclasssvc::paymentClasses(context.DirPath()));
    setup.print = [this, &context] {
        desk::showReport(std::make_unique<DataReport1>(context.DirPath(), context.profile()), this);
    };
    configure(std::move(setup), *m_ui);
}

frmRecipt::~frmRecipt() = default;

} // namespace payclassapp
