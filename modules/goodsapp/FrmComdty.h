#pragma once

#include "entry/ModuleContext.h"
#include "ui/MaintenanceButtons.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class FrmComdty;
}

namespace goodssvc {
class Commodities;
}

namespace goodsapp {

// "商品マスター": registers a commodity, calls one up by code to correct or delete it, and
// prints the commodity list. Beside the class code it shows the class's name ("X" while
// the code names no class).
//
// Register mode (after load, save, delete, clear and a failed call-up): 登録 enabled,
// 訂正 and 削除 disabled. Called mode (after a call-up): the reverse, Text1 holding the
// code the corrections and the delete apply to.
class FrmComdty : public QWidget {
    Q_OBJECT

public:
    explicit FrmComdty(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmComdty() override;

private:
    friend class desk::MaintenanceButtons; // calls the Cmd…_Click handlers
    enum class Mode { Register = 10, Correct = 20 };

    void CmdRecorde_Click();
    void CmdCall_Click();
    void CmdEdit_Click();
    void CmdDelete_Click();
    void CmdClear_Click();
    void CmdPrint_Click();
    void txtMdsClass_Change();

    goodssvc::Commodities commodities() const;
    // The field the clerk must fill first (code before name before price), or nullptr
    // when everything needed is there.
    QWidget* missingField() const;
    void save(Mode mode);
    // Loads the commodity into the fields; false when no commodity has the code.
    // The busy pointer shows while it looks.
    bool callUp(const QString& code);
    void clearFields();

    std::unique_ptr<Ui::FrmComdty> m_ui;
    desk::ModuleContext& m_context;
    desk::MaintenanceButtons m_buttons;
};

} // namespace goodsapp
