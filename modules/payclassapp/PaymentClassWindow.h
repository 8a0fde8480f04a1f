#pragma once

#include "entry/ModuleContext.h"
#include "ui/CodeTableWindow.h"

#include <memory>

namespace payclassapp {

// The form's class lives in this namespace: payclassapp and payitemapp both have a
// frmRecipt form, and a program that links both must not meet one class twice.
namespace Ui {
class frmRecipt;
}

// "入金区分": the payment classes in the code-table window, listed in ListView1: enters a
// class, calls one up by code to correct (renumber) or delete it, and prints the list.
// lbClKubun holds the code of the class called up. Class codes are whole numbers, as the
// payment items keep them.
class frmRecipt : public desk::CodeTableWindow {
    Q_OBJECT

public:
    explicit frmRecipt(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~frmRecipt() override;

private:
    std::unique_ptr<Ui::frmRecipt> m_ui;
};

} // namespace payclassapp
