#pragma once

#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"

#include <QAbstractButton>
#include <QObject>
#include <QWidget>

namespace desk {

// The seven buttons of a code maintenance window, named alike on every such form:
// CmdRecorde (register), CmdCall (call up), CmdEdit (correct), CmdDelete, CmdClear,
// CmdPrint (the list) and CmdEnd. The window is in one of two states: a new entry, which
// can be registered but has nothing to correct or delete, or an entry called up, which
// can be corrected or deleted but not registered a second time. Calling up is always open.
//
//     m_ui->setupUi(this);
//     m_buttons.wire(this, *m_ui);
//     m_buttons.setCalledUp(false);
class MaintenanceButtons {
public:
    // Takes the buttons from the window's form once its setupUi has run, and connects each
    // click to the window's handler of the button's name (CmdRecorde_Click ... CmdPrint_Click)
    // through desk::onClicked, so an error in a handler becomes a message box over the
    // window; CmdEnd (and Escape) closes the window. A window whose handlers are private befriends this
    // class.
    template <typename Window, typename Form> void wire(Window* window, const Form& form) {
        m_recorde = form.CmdRecorde;
        m_call = form.CmdCall;
        m_edit = form.CmdEdit;
        m_delete = form.CmdDelete;
        onClicked(form.CmdRecorde, window, &Window::CmdRecorde_Click);
        onClicked(form.CmdCall, window, &Window::CmdCall_Click);
        onClicked(form.CmdEdit, window, &Window::CmdEdit_Click);
        onClicked(form.CmdDelete, window, &Window::CmdDelete_Click);
        onClicked(form.CmdClear, window, &Window::CmdClear_Click);
        onClicked(form.CmdPrint, window, &Window::CmdPrint_Click);
        QObject::connect(form.CmdEnd, &QAbstractButton::clicked, window, &QWidget::close);
        closeOnEscape(window, form.CmdEnd);
    }

    // false: the new-entry state; true: an entry is called up.
    void setCalledUp(bool calledUp);

private:
    QAbstractButton* m_recorde = nullptr;
    QAbstractButton* m_call = nullptr;
    QAbstractButton* m_edit = nullptr;
    QAbstractButton* m_delete = nullptr;
};

} // namespace desk
