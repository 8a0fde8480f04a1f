#pragma once

#include "entry/ModuleContext.h"
#include "ui/MaintenanceButtons.h"

#include <QWidget>

#include <memory>

class QTreeWidgetItem;

namespace Ui {
class FrmCmClass1;
}

namespace desk {
class CodeTable;
}

namespace goodsclassapp {

// "商品区分メインテナンス": the commodity classes in a list (table order, read again after
// every write), registering a class, calling one up by code (or from the list with
// Enter) to correct or delete it, and printing the class list. Label3 holds the code of
// the class called up, which a correction and a delete apply to.
//
// Register mode after load, register, correct, delete and a failed call-up; called mode
// after a call-up. Clearing the fields keeps the mode.
class FrmCmClass1 : public QWidget {
    Q_OBJECT

public:
    explicit FrmCmClass1(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmCmClass1() override;

private:
    friend class desk::MaintenanceButtons; // calls the Cmd…_Click handlers
    void CmdRecorde_Click();
    void CmdCall_Click();
    void CmdEdit_Click();
    void CmdDelete_Click();
    void CmdClear_Click();
    void CmdPrint_Click();
    void ListView1_ItemActivated(QTreeWidgetItem* item, int column);

    desk::CodeTable classes() const;
    // Beeps and answers true when the code or the name is empty.
    bool inputMissing();
    // Loads the class into the fields; false when no class has the code.
    // The busy pointer shows while it looks.
    bool callUp(const QString& code);
    void fillList();
    void clearFields();
    // How many commodities carry the class code.
    int commoditiesOfClass(const QString& code) const;

    std::unique_ptr<Ui::FrmCmClass1> m_ui;
    desk::ModuleContext& m_context;
    desk::MaintenanceButtons m_buttons;
};

} // namespace goodsclassapp
