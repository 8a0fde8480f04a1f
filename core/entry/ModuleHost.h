#pragma once

#include "ModuleContext.h"

#include <QString>

#include <functional>

class QWidget;

namespace desk {

// Module side of the entry contract: the whole start-up of a module program.
//
// A module program is its <name>_ui library (windows, reports) plus a main.cpp of a few lines:
//
//     #include "entry/ModuleHost.h"
//     #include "FrmReservation.h"
//
//     int main(int argc, char* argv[])
//     {
//         return desk::ModuleHost::run(argc, argv, QStringLiteral("bookingapp"),
//                                      [](desk::ModuleContext& ctx) { return new FrmReservation(ctx); });
//     }
//
// run() makes the QApplication, listens on the module's local socket and serves the entry
// objects of callers (see ModuleEntry.h):
//
// - Each ShowForm first stores the values it carries in the ModuleContext, in the order
//   they were set, then shows the main window. The first ShowForm calls the factory; the
//   window is the module's one main window, shown modeless with move(0, 0) left to the
//   window's own load. While that window is open, a further ShowForm shows and raises the
//   same window without calling the factory again. Once it is closed (it is deleted on
//   close), the next ShowForm calls the factory afresh.
// - The factory loads the window: it reads ctx.DirPath() and opens what it needs in its
//   constructor. Anything it throws (DbError, EntryError, std::exception) is sent back to
//   the caller's ShowForm as an error with its text; no window is shown then.
// - Windows and reports read the module's values from the context whenever they need them;
//   a value the caller sets after ShowForm lands there too.
// - A modal entry (firmapp.StartCls) gets its answer when the window closes.
// - The program ends when its last window (main window, report previews, …) is closed and
//   no ShowForm is being served; started without any caller, it ends after a short while.
//
// The factory's widget is the module's main window: the host sets Qt::WA_DeleteOnClose
// on it and owns nothing else.
class ModuleHost {
public:
    using WindowFactory = std::function<QWidget*(ModuleContext& context)>;

    // Returns the program's exit code.
    static int run(int argc, char* argv[], const QString& module, const WindowFactory& factory);

    // How long a started program waits for its first caller.
    static constexpr int IdleExitMs = 30000;
};

} // namespace desk
