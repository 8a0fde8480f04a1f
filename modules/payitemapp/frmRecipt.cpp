#include "frmRecipt.h"

#include "ui_frmRecipt.h"

#include "DRRptName.h"
#include "convert/Convert.h"
#include "data/RowSet.h"
#include "payclasssvc/RptKbnCls.h"
#include "payitemsvc/ReciptCode.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/CodeMaintenance.h"
#include "ui/Dialogs.h"

#include <QLineEdit>

namespace payitemapp {

namespace {

const QString itemTitle = QStringLiteral("入金項目");
const QString callPrompt = QStringLiteral("の訂正または削除するコードを入力してください。");

} // namespace

frmRecipt::frmRecipt(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::frmRecipt>())
    , m_context(context) {
    m_ui->setupUi(this);

    m_buttons.wire(this, *m_ui);
    desk::clearWhenEdited(this, m_ui->lbMessage);

    // Load: a failure here goes back to the caller of ShowForm.
    ClassListLoad();
    ItemClear();
    m_buttons.setCalledUp(false);
    m_ui->txtCcode->setFocus();
}

frmRecipt::~frmRecipt() = default;

std::unique_ptr<payitemsvc::ReciptCode> frmRecipt::connectedStore() const {
    auto store = std::make_unique<payitemsvc::ReciptCode>();
    store->setDirPath(m_context.DirPath());
    store->CntDb();
    return store;
}

void frmRecipt::refuse(const QString& text, const QString& title) {
    desk::refuseEntry(this, text, title.isEmpty() ? itemTitle : title);
}

void frmRecipt::showMessage(const QString& text) {
    m_ui->lbMessage->setText(text);
}

void frmRecipt::ClassListLoad() {
    m_ui->CmbRptKubun->clear();
    m_classCodes.clear();
    payclasssvc::RptKbnCls classes;
    classes.setDirPath(m_context.DirPath());
    classes.CntDb();
    desk::RowSet* rows = classes.RsClkubunR();
    if (rows->isEmpty())
        return;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
        const QString code = desk::convert::textOf(rows->value(QStringLiteral("RptClassCode")));
        const QString name = desk::convert::textOf(rows->value(QStringLiteral("RptClassName")));
        m_ui->CmbRptKubun->addItem(code + QLatin1Char(':') + name);
        m_classCodes << code;
    }
}

std::optional<QString> frmRecipt::ClassCodeOfList() const {
    if (m_ui->CmbRptKubun->currentIndex() < 0)
        return m_keptClass;
    const QString text = m_ui->CmbRptKubun->currentText();
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return colon < 0 ? text : text.left(colon);
}

void frmRecipt::ClassListSelect(const QString& classCode) {
    const qsizetype at = m_classCodes.indexOf(classCode);
    if (at >= 0) {
        m_keptClass.reset();
        m_ui->CmbRptKubun->setPlaceholderText({});
        m_ui->CmbRptKubun->setCurrentIndex(int(at));
        return;
    }
    // Showing whatever entry the list held would save that class over the item's on
    // correction: the stored class stays until the clerk picks one.
    m_keptClass = classCode;
    m_ui->CmbRptKubun->setPlaceholderText(classCode + QStringLiteral(":（一覧にない区分）"));
    m_ui->CmbRptKubun->setCurrentIndex(-1);
}

void frmRecipt::ItemClear() {
    for (QLineEdit* box : {m_ui->txtCcode, m_ui->txtCname, m_ui->txtRemarks1, m_ui->txtRemarks2})
        box->clear();
    m_ui->lbCcode->clear();
    m_keptClass.reset();
    m_ui->CmbRptKubun->setPlaceholderText({});
    m_ui->CmbRptKubun->setCurrentIndex(-1);
}

bool frmRecipt::ItemSave(Mode mode) {
    std::optional<desk::BusyCursor> busy(std::in_place);
    showMessage({});
    desk::trimCode(m_ui->txtCcode);
    const QString code = m_ui->txtCcode->text();
    const QString calledUp = m_ui->lbCcode->text();
    if (code.isEmpty() || m_ui->txtCname->text().isEmpty()) {
        busy.reset();
        refuse(QStringLiteral("未入力の項目があります。"));
        return false;
    }
    // The class code must become a whole number; with no class chosen there is none.
    const std::optional<QString> classText = ClassCodeOfList();
    std::optional<qint16> classCode;
    if (classText) {
        try {
            classCode = desk::convert::toInt16(desk::convert::leadingNumber(*classText));
        } catch (const desk::ConversionError&) {
        }
    }
    if (!classCode) {
        busy.reset();
        refuse(QStringLiteral("入金区分を選択してください。"), QStringLiteral("警告"));
        m_ui->CmbRptKubun->setFocus();
        return false;
    }

    const bool written = desk::writeUnlessTaken(
        connectedStore(),
        [&](auto& store) {
            // A correction that keeps its code needs no check: the code is its own.
            // A change of letter case only is still the item's own code.
            return (mode == Mode::New || !desk::convert::sameCode(code, calledUp)) &&
                   store.ReciptCodeCheck(code) == QLatin1String("X");
        },
        [&](auto& store) {
            // The check moved the row set; the correction finds its row from the start.
            store.RsClkubunR()->moveFirst();
            store.setReciptCode(code);
            store.setReciptName(m_ui->txtCname->text());
            store.setRkubunCode(*classCode);
            store.setReciptRemarks1(m_ui->txtRemarks1->text());
            store.setReciptRemarks2(m_ui->txtRemarks2->text());
            if (mode == Mode::New) {
                store.SaveRs();
            } else {
                store.setReciptCode2(calledUp);
                store.EditRs();
            }
        });
    if (!written) {
        busy.reset();
        refuse(QStringLiteral("コードが重複しています。"));
        m_ui->txtCcode->setFocus();
        return false;
    }
    showMessage(mode == Mode::New ? QStringLiteral("入金コード %1 を登録しました。").arg(code)
                                  : QStringLiteral("入金コード %1 を訂正しました。").arg(code));
    return true;
}

void frmRecipt::CmdRecorde_Click() {
    if (!ItemSave(Mode::New))
        return;
    ItemClear();
    m_ui->txtCcode->setFocus();
}

void frmRecipt::CmdEdit_Click() {
    if (!ItemSave(Mode::Correction))
        return;
    ItemClear();
    m_buttons.setCalledUp(false);
    m_ui->txtCcode->setFocus();
}

void frmRecipt::ItemLoad(const QString& code) {
    const auto store = connectedStore();
    store->setReciptCode(code);
    store->SearchRs();
    m_ui->txtCcode->setText(store->getReciptCode());
    m_ui->lbCcode->setText(store->getReciptCode());
    m_ui->txtCname->setText(store->ReciptName());
    ClassListSelect(QString::number(store->RkubunCode()));
    m_ui->txtRemarks1->setText(store->ReciptRemarks1());
    m_ui->txtRemarks2->setText(store->ReciptRemarks2());
}

void frmRecipt::CmdCall_Click() {
    const QString answer = desk::dialogs().input(this, itemTitle + callPrompt, itemTitle).trimmed();
    if (answer.isEmpty())
        return;
    showMessage({});
    if (connectedStore()->ReciptNameDisplay(answer) == QLatin1String("X")) {
        refuse(desk::notFoundText());
        return;
    }
    ItemLoad(answer);
    m_buttons.setCalledUp(true);
    m_ui->txtCname->setFocus();
}

void frmRecipt::CmdDelete_Click() {
    const QString code = m_ui->lbCcode->text();
    if (code.isEmpty()) {
        refuse(QStringLiteral("削除する得意先を呼び出してください。"));
        return;
    }
    if (!desk::askDeleteCode(this, code, itemTitle))
        return;
    {
        const auto store = connectedStore();
        store->setReciptCode2(code);
        store->DeleteRs();
    }
    ItemClear();
    m_buttons.setCalledUp(false);
    showMessage(QStringLiteral("入金コード %1 を削除しました。").arg(code));
    m_ui->txtCcode->setFocus();
}

void frmRecipt::CmdClear_Click() {
    if (desk::askClearScreen(this)) {
        ItemClear();
        showMessage({});
    }
    m_buttons.setCalledUp(false);
    m_ui->txtCcode->setFocus();
}

void frmRecipt::CmdPrint_Click() {
    desk::BusyCursor busy;
    desk::showReport(std::make_unique<DRRptName>(m_context.DirPath(), m_context.profile()), this);
}

} // namespace payitemapp
