#pragma once

#include "entry/ModuleContext.h"
#include "ui/CodeTableWindow.h"

#include <memory>

namespace payitemapp {

// The form's class lives in this namespace: payclassapp and payitemapp both have a
// frmRecipt form, and a program that links both must not meet one class twice.
namespace Ui {
class frmRecipt;
}

// "入金項目マスター": the payment items in the code-table window: enters an item, calls
// one up by code to correct or delete it, and prints the list of all items. Each item
// belongs to a payment class chosen from CmbRptKubun ("code:name" entries); lbCcode holds
// the code of the item called up.
class frmRecipt : public desk::CodeTableWindow {
    Q_OBJECT

public:
    explicit frmRecipt(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~frmRecipt() override;

private:
    std::unique_ptr<Ui::frmRecipt> m_ui;
};

} // namespace payitemapp
