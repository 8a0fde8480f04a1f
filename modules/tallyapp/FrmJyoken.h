#pragma once

#include "entry/ModuleContext.h"

#include <QWidget>

#include <memory>

class QButtonGroup;

namespace Ui {
class FrmJyoken;
}

namespace tallyapp {

class FrmMeals;
class FrmSyukei;

// "集計条件": the period and the choice of one of the ten aggregations. A run opens the
// result in the result window, which stays open across runs and shows the latest one.
class FrmJyoken : public QWidget {
    Q_OBJECT

public:
    explicit FrmJyoken(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmJyoken() override;

    // The kind the option buttons choose now.
    int selectedKind() const;
    // The result window of the module, or nullptr while none is open.
    static FrmSyukei* resultWindow();
    // The module's meal counts window, or nullptr while none is open.
    static FrmMeals* mealsWindow();

private:
    void Option1_Click(int index);
    void CmdGo_Click();
    void CmdMeals_Click();

    std::unique_ptr<Ui::FrmJyoken> m_ui;
    desk::ModuleContext& m_context;
    QButtonGroup* m_option1 = nullptr;
    QButtonGroup* m_option2 = nullptr;
    QButtonGroup* m_option3 = nullptr;
    QButtonGroup* m_option4 = nullptr;
};

} // namespace tallyapp
