#include "FrmOption.h"

#include "ui_FrmOption.h"

#include "firmsvc/OptionDataClass.h"
#include "ui/GuardedConnect.h"

namespace firmapp {

FrmOption::FrmOption(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmOption>())
    , m_context(context) {
    m_ui->setupUi(this);
    desk::onClicked(m_ui->CmdEdit, this, &FrmOption::CmdEdit_Click);
    connect(m_ui->cmdEnd, &QPushButton::clicked, this, &QWidget::close);
    // Any change clears the last confirmation, so it never speaks of older values.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::textEdited, m_ui->lbMessage, &QLabel::clear);
    load();
    m_ui->txtName->setFocus();
}

FrmOption::~FrmOption() = default;

void FrmOption::load() {
    firmsvc::OptionDataClass profile;
    profile.setDirPath(m_context.DirPath());
    profile.ConnectDb();
    profile.DisplyData();
    m_ui->txtName->setText(profile.MyCompanyName());
    m_ui->txtAddrress->setText(profile.MyAddress());
    m_ui->txtZipCode->setText(profile.MyZipCode());
    m_ui->txtTelNo->setText(profile.MyTelNo());
    m_ui->txtFaxNo->setText(profile.MyFaxNo());
    m_ui->txtURL->setText(profile.MyURL());
    m_ui->txtEmailAd->setText(profile.MyEmail());
    m_ui->txtComment->setText(profile.MyComment());
    move(0, 0);
}

void FrmOption::CmdEdit_Click() {
    firmsvc::OptionDataClass profile;
    profile.setDirPath(m_context.DirPath());
    profile.ConnectDb();
    profile.setMyCompanyName(m_ui->txtName->text());
    profile.setMyAddress(m_ui->txtAddrress->text());
    profile.setMyZipCode(m_ui->txtZipCode->text());
    profile.setMyTelNo(m_ui->txtTelNo->text());
    profile.setMyFaxNo(m_ui->txtFaxNo->text());
    profile.setMyURL(m_ui->txtURL->text());
    profile.setMyEmail(m_ui->txtEmailAd->text());
    profile.setMyComment(m_ui->txtComment->text());
    profile.EditData();
    m_ui->lbMessage->setText(QStringLiteral("会社情報を保存しました。"));
}

} // namespace firmapp
