#pragma once

#include "ui/SlotGuard.h"
#include "ui/TypedCells.h"

#include <QAbstractButton>
#include <QObject>
#include <QWidget>

#include <functional>
#include <type_traits>

namespace desk {

// Connects a signal to a window's handler so that the handler runs inside
// desk::guarded(window, ...): an error escaping it becomes a message box over the window
// instead of reaching Qt's event loop. The handler is a member function of the window
// (&FrmSales::CmdRd_Click) or any callable; it takes the signal's arguments or none.
// The connection ends with the window. A window destroyed while still shown sees its
// focused box's last leave after its own members are gone: close it first (a module's
// windows delete themselves on close, hidden).
//
//     desk::guardedConnect(m_ui->DbGridSales, &desk::DataGridView::cellEditCommitted, this,
//                          &FrmSales::DbGridSales_AfterColEdit);
//     desk::onClicked(m_ui->CmdRecord, this, &FrmSales::CmdRecord_Click);
//     desk::onClicked(m_ui->CmdEnd, this, [this] { close(); });
template <typename Sender, typename Signal, typename Window, typename Handler>
QMetaObject::Connection guardedConnect(Sender* sender, Signal signal, Window* window, Handler handler) {
    static_assert(std::is_base_of_v<QWidget, Window>, "the window that shows the error must be a widget");
    return QObject::connect(sender, signal, window, [window, handler](const auto&... args) {
        guarded(window, [&] {
            if constexpr (std::is_member_function_pointer_v<Handler>) {
                if constexpr (std::is_invocable_v<Handler, Window*, decltype(args)...>)
                    std::invoke(handler, window, args...);
                else
                    std::invoke(handler, window);
            } else if constexpr (std::is_invocable_v<Handler, decltype(args)...>) {
                std::invoke(handler, args...);
            } else {
                std::invoke(handler);
            }
        });
    });
}

// A button's click, guarded as above; the handler takes no argument. A grid cell still
// being typed in is written first, as Enter writes it; when the cell refuses the text the
// clerk is told, the focus stays in the cell and the handler does not run.
template <typename Window, typename Handler>
QMetaObject::Connection onClicked(QAbstractButton* button, Window* window, Handler handler) {
    return guardedConnect(button, &QAbstractButton::clicked, window, [window, handler] {
        if (!commitTypedCells(window))
            return;
        if constexpr (std::is_member_function_pointer_v<Handler>)
            std::invoke(handler, window);
        else
            std::invoke(handler);
    });
}

} // namespace desk
