#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace desk {

// Runs an event handler and turns any error escaping it into a clear message box,
// so nothing reaches Qt's event loop and the window stays usable. Returns false when
// the handler failed.
bool guarded(QWidget* parent, const std::function<void()>& handler);

// The Japanese text shown for an error that escaped a handler.
QString describeError(const std::exception_ptr& error);

} // namespace desk
