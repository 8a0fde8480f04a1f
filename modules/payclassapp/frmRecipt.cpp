#include "frmRecipt.h"

#include "ui_frmRecipt.h"

#include "DataReport1.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "payclasssvc/RptKbnCls.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/GuardedConnect.h"

#include <QLineEdit>

#include <optional>

namespace payclassapp {

namespace {

const QString classTitle = QStringLiteral("入金区分");
const QString callPrompt = QStringLiteral("の訂正または削除するコードを入力してください。");

// A class code as items refer to it: a whole number that fits their 16-bit class column,
// kept in its plain form ("３" and "03" are class 3), so one number names one class.
std::optional<QString> classCodeOf(const QString& typed) {
    const QString text = typed.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text) {
        if (!c.isDigit())
            return std::nullopt;
    }
    bool ok = false;
    const qint16 number = text.toShort(&ok);
    return ok ? std::optional<QString>(QString::number(number)) : std::nullopt;
}

} // namespace

frmRecipt::frmRecipt(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::frmRecipt>())
    , m_context(context) {
    m_ui->setupUi(this);
    m_ui->ListView1->setColumnWidth(0, 110);
    m_ui->ListView1->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);

    desk::onClicked(m_ui->CmdRecorde, this, &frmRecipt::CmdRecorde_Click);
    desk::onClicked(m_ui->CmdCall, this, &frmRecipt::CmdCall_Click);
    desk::onClicked(m_ui->CmdEdit, this, &frmRecipt::CmdEdit_Click);
    desk::onClicked(m_ui->CmdDelete, this, &frmRecipt::CmdDelete_Click);
    desk::onClicked(m_ui->CmdClear, this, &frmRecipt::CmdClear_Click);
    desk::onClicked(m_ui->CmdPrint, this, &frmRecipt::CmdPrint_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::textEdited, m_ui->lbMessage, &QLabel::clear);

    // Load: a failure here goes back to the caller of ShowForm.
    ClassListShow();
    ClassClear();
    ButtonsNew();
    m_ui->txtClKubunKode->setFocus();
}

frmRecipt::~frmRecipt() = default;

std::unique_ptr<payclasssvc::RptKbnCls> frmRecipt::connectedStore() const {
    auto store = std::make_unique<payclasssvc::RptKbnCls>();
    store->setDirPath(m_context.DirPath());
    store->CntDb();
    return store;
}

void frmRecipt::refuse(const QString& text) {
    desk::dialogs().beep();
    desk::dialogs().message(this, text, classTitle, desk::Dialogs::Icon::Critical);
}

void frmRecipt::showMessage(const QString& text) {
    m_ui->lbMessage->setText(text);
}

void frmRecipt::ClassListShow() {
    auto* list = m_ui->ListView1;
    list->clear();
    const auto store = connectedStore();
    desk::RowSet* rows = store->RsClkubunR();
    QList<QTreeWidgetItem*> items;
    if (!rows->isEmpty()) {
        for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
            auto* item = new QTreeWidgetItem;
            item->setText(0, desk::convert::textOf(rows->value(QStringLiteral("RptClassCode"))));
            item->setText(1, desk::convert::textOf(rows->value(QStringLiteral("RptClassName"))));
            item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
            items << item;
        }
    }
    list->addTopLevelItems(items);
}

void frmRecipt::ClassClear() {
    m_ui->txtClKubunKode->clear();
    m_ui->txtClKubunName->clear();
    m_ui->lbClKubun->clear();
}

void frmRecipt::ButtonsNew() {
    m_ui->CmdRecorde->setEnabled(true);
    m_ui->CmdCall->setEnabled(true);
    m_ui->CmdEdit->setEnabled(false);
    m_ui->CmdDelete->setEnabled(false);
}

void frmRecipt::ButtonsCalled() {
    m_ui->CmdRecorde->setEnabled(false);
    m_ui->CmdCall->setEnabled(true);
    m_ui->CmdEdit->setEnabled(true);
    m_ui->CmdDelete->setEnabled(true);
}

bool frmRecipt::ClassSave(Mode mode) {
    std::optional<desk::BusyCursor> busy(std::in_place);
    showMessage({});
    const QString calledUp = m_ui->lbClKubun->text();
    if (m_ui->txtClKubunKode->text().isEmpty() || m_ui->txtClKubunName->text().isEmpty()) {
        busy.reset();
        refuse(QStringLiteral("未入力の項目があります。"));
        return false;
    }
    // Payment items keep their class as a number: a code that is none could never be chosen.
    const std::optional<QString> code = classCodeOf(m_ui->txtClKubunKode->text());
    if (!code) {
        busy.reset();
        refuse(QStringLiteral("入金区分コードは数字で入力してください。"));
        m_ui->txtClKubunKode->setFocus();
        return false;
    }

    bool taken = false;
    {
        const auto store = connectedStore();
        desk::Transaction transaction(store->connection());
        if (mode == Mode::New || *code != calledUp)
            taken = store->ReciptClassCodeCheck(*code) == QLatin1String("X");
        if (!taken) {
            store->RsClkubunR()->moveFirst();
            store->setReciptClassCode(*code);
            store->setReciptClassName(m_ui->txtClKubunName->text());
            if (mode == Mode::New) {
                store->SaveRs();
            } else {
                store->setReciptClassCode2(calledUp);
                store->EditRs();
            }
            transaction.commit();
        }
    } // a taken code rolls back here, before the clerk is told
    if (taken) {
        busy.reset();
        refuse(QStringLiteral("コードが重複しています。"));
        m_ui->txtClKubunKode->setFocus();
        return false;
    }
    ClassListShow();
    showMessage(mode == Mode::New ? QStringLiteral("入金区分 %1 を登録しました。").arg(*code)
                                  : QStringLiteral("入金区分 %1 を訂正しました。").arg(*code));
    return true;
}

void frmRecipt::CmdRecorde_Click() {
    if (!ClassSave(Mode::New))
        return;
    ClassClear();
    m_ui->txtClKubunKode->setFocus();
}

void frmRecipt::CmdEdit_Click() {
    if (!ClassSave(Mode::Correction))
        return;
    ClassClear();
    ButtonsNew();
    m_ui->txtClKubunKode->setFocus();
}

void frmRecipt::CmdCall_Click() {
    const QString answer = desk::dialogs().input(this, classTitle + callPrompt, classTitle);
    if (answer.isEmpty())
        return;
    showMessage({});
    const QString code = classCodeOf(answer).value_or(answer);
    const auto store = connectedStore();
    if (store->ReciptClassNameDisplay(code) == QLatin1String("X")) {
        refuse(QStringLiteral("見つかりません。"));
        return;
    }
    store->RsClkubunR()->moveFirst();
    store->setReciptClassCode(code);
    store->SearchRs();
    m_ui->txtClKubunKode->setText(store->ReciptClassCode());
    m_ui->lbClKubun->setText(store->ReciptClassCode());
    m_ui->txtClKubunName->setText(store->ReciptClassName());
    ButtonsCalled();
    m_ui->txtClKubunName->setFocus();
}

void frmRecipt::CmdDelete_Click() {
    const QString code = m_ui->lbClKubun->text();
    if (code.isEmpty()) {
        refuse(QStringLiteral("削除する得意先区分を呼び出してください。"));
        return;
    }
    const auto answer =
        desk::dialogs().message(this, QStringLiteral("コード：") + code + QStringLiteral("を　削除しますか？"),
                                classTitle, desk::Dialogs::Icon::Question, desk::Dialogs::Buttons::OkCancel);
    if (answer == desk::Dialogs::Answer::Cancel)
        return;
    {
        const auto store = connectedStore();
        store->setReciptClassCode2(code);
        store->DeleteRs();
    }
    ClassListShow();
    ClassClear();
    ButtonsNew();
    showMessage(QStringLiteral("入金区分 %1 を削除しました。").arg(code));
    m_ui->txtClKubunKode->setFocus();
}

void frmRecipt::CmdClear_Click() {
    const auto answer =
        desk::dialogs().message(this, QStringLiteral("画面のデータを消去しますか？"), QStringLiteral("警告"),
                                desk::Dialogs::Icon::Question, desk::Dialogs::Buttons::OkCancel);
    if (answer == desk::Dialogs::Answer::Ok) {
        ClassClear();
        showMessage({});
    }
    ButtonsNew();
    m_ui->txtClKubunKode->setFocus();
}

void frmRecipt::CmdPrint_Click() {
    desk::BusyCursor busy;
    desk::showReport(std::make_unique<DataReport1>(m_context.DirPath(), m_context.profile()), this);
}

} // namespace payclassapp
