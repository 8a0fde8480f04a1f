#pragma once

class QWidget;

namespace desk {

// A cell still being typed in counts as typed: before a window acts on a button, an access
// key, a menu entry or its closing, every grid of the window writes its open editor through
// the same checks as Enter (desk::onClicked and the data grid's watch on the window's closing
// call this). False when a cell refused what was typed: the clerk has been told with the
// cell's own message, the focus is back in that cell, and the action must not go ahead.
bool commitTypedCells(QWidget* window);

} // namespace desk
