#pragma once

#include "entry/ModuleContext.h"
#include "ui/MaintenanceButtons.h"

#include <QWidget>

#include <memory>

namespace payclasssvc {
class RptKbnCls;
}

namespace payclassapp {

// The form's class lives in this namespace: payclassapp and payitemapp both have a
// frmRecipt form, and a program that links both must not meet one class twice.
namespace Ui {
class frmRecipt;
}

// "入金区分": enters a payment class, calls one up by code to correct (renumber) or delete
// it, lists every class in ListView1 and prints the list. Buttons and their states as the
// payment item window: lbClKubun holds the code of the class called up.
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

    std::unique_ptr<payclasssvc::RptKbnCls> connectedStore() const;
    bool ClassSave(Mode mode);
    void ClassClear();
    void ClassListShow();
    void refuse(const QString& text);
    void showMessage(const QString& text);

    std::unique_ptr<Ui::frmRecipt> m_ui;
    desk::ModuleContext& m_context;
    desk::MaintenanceButtons m_buttons;
};

} // namespace payclassapp
