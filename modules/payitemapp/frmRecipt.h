#pragma once

#include "entry/ModuleContext.h"
#include "ui/MaintenanceButtons.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

namespace payitemsvc {
class ReciptCode;
}

namespace payitemapp {

// The form's class lives in this namespace: payclassapp and payitemapp both have a
// frmRecipt form, and a program that links both must not meet one class twice.
namespace Ui {
class frmRecipt;
}

// "入金項目マスター": enters a payment item, calls one up by code to correct or delete
// it, and prints the list of all items. Each item belongs to a payment class chosen from
// CmbRptKubun ("code:name" entries).
//
// New-entry state: register and call-up on, correct and delete off. Called-up state:
// lbCcode holds the item's code as stored, the key of a correction or a deletion.
class frmRecipt : public QWidget {
    Q_OBJECT

public:
    explicit frmRecipt(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~frmRecipt() override;

private:
    friend class desk::MaintenanceButtons; // calls the Cmd…_Click handlers
    enum class Mode { New, Correction };

    void CmdRecorde_Click();
    void CmdCall_Click();
    void CmdEdit_Click();
    void CmdDelete_Click();
    void CmdClear_Click();
    void CmdPrint_Click();

    std::unique_ptr<payitemsvc::ReciptCode> connectedStore() const;
    // Checks and writes the screen; true when it was saved.
    bool ItemSave(Mode mode);
    void ItemClear();
    void ItemLoad(const QString& code);
    void ClassListLoad();
    // The class code of the chosen entry: the text before the first ":"; with no entry
    // chosen, the stored class of a called-up item that the list lacks, else nothing.
    std::optional<QString> ClassCodeOfList() const;
    void ClassListSelect(const QString& classCode);
    void refuse(const QString& text, const QString& title = {});
    void showMessage(const QString& text);

    std::unique_ptr<Ui::frmRecipt> m_ui;
    desk::ModuleContext& m_context;
    desk::MaintenanceButtons m_buttons;
    // Class codes in the order of CmbRptKubun.
    QStringList m_classCodes;
    // The called-up item's class when the list has no entry for it.
    std::optional<QString> m_keptClass;
};

} // namespace payitemapp
