#include "FrmJyoken.h"

#include "ui_FrmJyoken.h"

#include "Aggregation.h"
#include "FrmMeals.h"
#include "FrmSyukei.h"
#include "tallysvc/TallyResult.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"

#include <QButtonGroup>
#include <QPointer>

namespace tallyapp {

namespace {

// The module's one result window: kept across runs (and across a reopened conditions
// window) until the clerk closes it.
QPointer<FrmSyukei>& resultWindowSlot() {
    static QPointer<FrmSyukei> window;
    return window;
}

QPointer<FrmMeals>& mealsWindowSlot() {
    static QPointer<FrmMeals> window;
    return window;
}

QButtonGroup* group(QWidget* owner, const char* name, const QList<QAbstractButton*>& buttons) {
    auto* g = new QButtonGroup(owner);
    g->setObjectName(QString::fromLatin1(name));
    for (int i = 0; i < buttons.size(); ++i)
        g->addButton(buttons.at(i), i);
    return g;
}

} // namespace

FrmJyoken::FrmJyoken(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::FrmJyoken>())
    , m_context(context) {
    m_ui->setupUi(this);
    m_option1 = group(this, "Option1", {m_ui->Option1_0, m_ui->Option1_1, m_ui->Option1_2});
    m_option2 =
        group(this, "Option2",
              {m_ui->Option2_0, m_ui->Option2_1, m_ui->Option2_2, m_ui->Option2_3, m_ui->Option2_4, m_ui->Option2_5});
    m_option3 = group(this, "Option3", {m_ui->Option3_0, m_ui->Option3_1});
    m_option4 =
        group(this, "Option4", {m_ui->Option4_0, m_ui->Option4_1, m_ui->Option4_2, m_ui->Option4_3, m_ui->Option4_4});

    // Arrow keys move the choice as well as a click does.
    connect(m_option1, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Option1_Click(id);
    });
    desk::onClicked(m_ui->CmdGo, this, &FrmJyoken::CmdGo_Click);
    desk::onClicked(m_ui->CmdMeals, this, &FrmJyoken::CmdMeals_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);

    Option1_Click(0);
    move(0, 0);
    // The period most often asked for, this month so far, is offered: the window never
    // opens in an empty date box, whose year would refuse a click on a choice below.
    const QDate today = QDate::currentDate();
    m_ui->DateTextBox1->showDay(QDate(today.year(), today.month(), 1));
    m_ui->DateTextBox2->showDay(today);
    m_ui->DateTextBox1->setFocus();
}

FrmJyoken::~FrmJyoken() = default;

FrmSyukei* FrmJyoken::resultWindow() {
    return resultWindowSlot().data();
}

FrmMeals* FrmJyoken::mealsWindow() {
    return mealsWindowSlot().data();
}

void FrmJyoken::Option1_Click(int index) {
    // The three element frames share one place; only the chosen subject's is shown.
    m_ui->Frame3->setVisible(index == 0);
    m_ui->Frame4->setVisible(index == 1);
    m_ui->Frame5->setVisible(index == 2);
}

int FrmJyoken::selectedKind() const {
    const int subject = std::max(0, m_option1->checkedId());
    const QButtonGroup* elements[] = {m_option2, m_option3, m_option4};
    return Aggregation::kindOf(subject, std::max(0, elements[subject]->checkedId()));
}

void FrmJyoken::CmdGo_Click() {
    const std::optional<QDate> first = m_ui->DateTextBox1->typedDay();
    const std::optional<QDate> last = m_ui->DateTextBox2->typedDay();
    if (!first || !last) {
        desk::refuseDate(this, QStringLiteral("日付が入力されていません。やりなおしてください。"));
        return;
    }
    // A reversed period would show an empty result that reads as "nothing sold".
    if (*first > *last) {
        desk::dialogs().message(this, QStringLiteral("期間の指定が正しくありません。"), QStringLiteral("警告"),
                                desk::Dialogs::Icon::Critical);
        return;
    }

    std::shared_ptr<TallyResult> result;
    {
        desk::BusyCursor busy;
        result = std::make_shared<TallyResult>(m_context.DirPath(), selectedKind(), *first, *last);
    }
    QPointer<FrmSyukei>& window = resultWindowSlot();
    if (!window) {
        window = new FrmSyukei(m_context);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // Beside the conditions, so that both stay in view.
        window->move(frameGeometry().right() + 8, 0);
    }
    window->showResult(result);
    window->show();
    window->raise();
    window->activateWindow();
}

void FrmJyoken::CmdMeals_Click() {
    // One window of meal counts, kept until the clerk closes it; a second press brings it up.
    QPointer<FrmMeals>& window = mealsWindowSlot();
    if (!window) {
        window = new FrmMeals(m_context);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->move(frameGeometry().right() + 8, 0);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace tallyapp
