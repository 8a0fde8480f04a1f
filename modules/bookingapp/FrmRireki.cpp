#include "FrmRireki.h"

#include "ui_FrmRireki.h"

#include "DRRireki.h"
#include "arrivalsvc/CheckInDesk.h"
#include "convert/Convert.h"
#include "data/RowSet.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/ListFill.h"
#include "ui/StatusPanel.h"

#include <QButtonGroup>
#include <QLabel>

namespace bookingapp {

namespace {

// A period date as typed; parts that name no real day are refused with the screen's date message.
QDate periodDate(const calfield::DateTextBox* box) {
    const std::optional<QDate> date = box->typedDay();
    if (!date)
        throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                    QStringLiteral("日付が正しくありません。"));
    return *date;
}

} // namespace

FrmRireki::FrmRireki(desk::ModuleContext& context, QWidget* parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::FrmRireki>())
    , m_context(context) {
    m_ui->setupUi(this);

    m_option1 = new QButtonGroup(this);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option1->addButton(m_ui->Option1_0, ByName);
    m_option1->addButton(m_ui->Option1_1, ByTelNo);

    m_panel1 = desk::addStatusPanel(m_ui->StatusBar1, QStringLiteral("Panel1"));
    m_panel2 = desk::addStatusPanel(m_ui->StatusBar1, QStringLiteral("Panel2"), 1);

    auto* list = m_ui->ListView1;
    list->setColumnWidth(0, 100);
    list->setColumnWidth(1, 160);
    list->setColumnWidth(2, 80);
    list->setColumnWidth(3, 50);
    list->setColumnWidth(4, 80);
    for (int column : {3, 4})
        list->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);

    connect(m_ui->Check1, &QCheckBox::toggled, this, [this](bool on) { m_ui->Frame5->setVisible(on); });
    desk::onClicked(m_ui->CmdSearch, this, &FrmRireki::CmdSearch_Click);
    desk::onClicked(m_ui->CmdClear, this, &FrmRireki::CmdClear_Click);
    desk::onClicked(m_ui->CmdPrint, this, &FrmRireki::CmdPrint_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);

    // Clearing the list, unticking the period and leaving never wait for a period date.
    for (QWidget* leaveOnly : std::initializer_list<QWidget*>{m_ui->CmdClear, m_ui->CmdEnd, m_ui->Check1})
        calfield::DateTextBox::setLeaveOnly(leaveOnly);
    m_ui->RvtxtCliant->setFocus();

    move(0, 0);
}

FrmRireki::~FrmRireki() = default;

void FrmRireki::setSearchTexts(const QString& name, const QString& telNo) {
    m_ui->RvtxtCliant->setText(name);
    m_ui->RxtxtTelNo->setText(telNo);
}

void FrmRireki::setSearchBy(SearchBy option) {
    m_option1->button(option)->setChecked(true);
    // The clerk goes on in the box the search is by.
    (option == ByTelNo ? m_ui->RxtxtTelNo : m_ui->RvtxtCliant)->setFocus();
}

FrmRireki::SearchBy FrmRireki::searchBy() const {
    return m_option1->checkedId() == ByTelNo ? ByTelNo : ByName;
}

arrivalsvc::StaySearch FrmRireki::typedSearch() const {
    arrivalsvc::StaySearch search;
    search.by = searchBy() == ByTelNo ? arrivalsvc::StaySearch::By::TelNo : arrivalsvc::StaySearch::By::Name;
    search.text = search.by == arrivalsvc::StaySearch::By::TelNo ? m_ui->RxtxtTelNo->text() : m_ui->RvtxtCliant->text();
    if (!m_ui->Frame5->isHidden())
        search.period = std::pair{periodDate(m_ui->DateTextBox1), periodDate(m_ui->DateTextBox2)};
    return search;
}

void FrmRireki::CmdSearch_Click() {
    auto* list = m_ui->ListView1;
    list->clear();

    arrivalsvc::StaySearch search;
    try {
        search = typedSearch();
    } catch (const desk::ConversionError&) {
        desk::dialogs().message(this, QStringLiteral("日付が入力されていません。やりなおしてください。"),
                                QStringLiteral("警告"), desk::Dialogs::Icon::Exclamation);
        return;
    }
    m_search = search;

    desk::BusyCursor busy;
    const std::unique_ptr<desk::RowSet> rows = arrivalsvc::CheckInDesk(m_context.DirPath()).history(search);

    list->clear();
    if (rows->isEmpty()) {
        setStatusText(QStringLiteral("利用履歴はありません。"));
        return;
    }
    setStatusText({});
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    desk::fillList(list, *rows,
                   {{QStringLiteral("CheckInDate"), left, {}, desk::convert::dayCellText},
                    {QStringLiteral("CheckInName"), left, {}, desk::convert::dayCellText},
                    {QStringLiteral("CheckInRoomNo"), left, {}, desk::convert::dayCellText},
                    {QStringLiteral("RvClNumber"), right, {}, desk::convert::dayCellText},
                    {QStringLiteral("RvBadget"), right, desk::convert::AmountFormat},
                    {QStringLiteral("CheckInRemarks"), left, {}, desk::convert::dayCellText}});
}

void FrmRireki::CmdClear_Click() {
    m_ui->ListView1->clear();
}

void FrmRireki::CmdPrint_Click() {
    if (!m_search) {
        desk::dialogs().message(this, QStringLiteral("一度検索を実行してください。"), QStringLiteral("警告"),
                                desk::Dialogs::Icon::Critical);
        return;
    }
    desk::showReport(std::make_unique<DRRireki>(m_context.DirPath(), *m_search, m_context.profile()), this);
}

void FrmRireki::setStatusText(const QString& text) {
    m_panel2->setText(text);
}

} // namespace bookingapp
