#include "frmRecipt.h"

#include "ui_frmRecipt.h"

#include "DataReport1.h"
#include "convert/Convert.h"
#include "data/RowSet.h"
#include "payclasssvc/RptKbnCls.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/CodeMaintenance.h"
#include "ui/Dialogs.h"
#include "ui/ListFill.h"

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

    m_buttons.wire(this, *m_ui);
    desk::clearWhenEdited(this, m_ui->lbMessage);

    // Load: a failure here goes back to the caller of ShowForm.
    ClassListShow();
    ClassClear();
    m_buttons.setCalledUp(false);
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
    desk::refuseEntry(this, text, classTitle);
}

void frmRecipt::showMessage(const QString& text) {
    m_ui->lbMessage->setText(text);
}

void frmRecipt::ClassListShow() {
    auto* list = m_ui->ListView1;
    list->clear();
    const auto store = connectedStore();
    desk::RowSet* rows = store->RsClkubunR();
    desk::fillList(
        list, *rows,
        {{QStringLiteral("RptClassCode"), Qt::AlignRight | Qt::AlignVCenter}, {QStringLiteral("RptClassName")}});
}

void frmRecipt::ClassClear() {
    m_ui->txtClKubunKode->clear();
    m_ui->txtClKubunName->clear();
    m_ui->lbClKubun->clear();
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

    const bool written = desk::writeUnlessTaken(
        connectedStore(),
        [&](auto& store) {
            return (mode == Mode::New || *code != calledUp) && store.ReciptClassCodeCheck(*code) == QLatin1String("X");
        },
        [&](auto& store) {
            store.RsClkubunR()->moveFirst();
            store.setReciptClassCode(*code);
            store.setReciptClassName(m_ui->txtClKubunName->text());
            if (mode == Mode::New) {
                store.SaveRs();
            } else {
                store.setReciptClassCode2(calledUp);
                store.EditRs();
            }
        });
    if (!written) {
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
    m_buttons.setCalledUp(false);
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
        refuse(desk::notFoundText());
        return;
    }
    store->RsClkubunR()->moveFirst();
    store->setReciptClassCode(code);
    store->SearchRs();
    m_ui->txtClKubunKode->setText(store->ReciptClassCode());
    m_ui->lbClKubun->setText(store->ReciptClassCode());
    m_ui->txtClKubunName->setText(store->ReciptClassName());
    m_buttons.setCalledUp(true);
    m_ui->txtClKubunName->setFocus();
}

void frmRecipt::CmdDelete_Click() {
    const QString code = m_ui->lbClKubun->text();
    if (code.isEmpty()) {
        refuse(QStringLiteral("削除する得意先区分を呼び出してください。"));
        return;
    }
    if (!desk::askDeleteCode(this, code, classTitle))
        return;
    {
        const auto store = connectedStore();
        store->setReciptClassCode2(code);
        store->DeleteRs();
    }
    ClassListShow();
    ClassClear();
    m_buttons.setCalledUp(false);
    showMessage(QStringLiteral("入金区分 %1 を削除しました。").arg(code));
    m_ui->txtClKubunKode->setFocus();
}

void frmRecipt::CmdClear_Click() {
    if (desk::askClearScreen(this)) {
        ClassClear();
        showMessage({});
    }
    m_buttons.setCalledUp(false);
    m_ui->txtClKubunKode->setFocus();
}

void frmRecipt::CmdPrint_Click() {
    desk::BusyCursor busy;
    desk::showReport(std::make_unique<DataReport1>(m_context.DirPath(), m_context.profile()), this);
}

} // namespace payclassapp
