#pragma once

#include "entry/ModuleContext.h"
#include "ui/CodeTableWindow.h"

#include <memory>

namespace roomapp {

namespace Ui {
class frmRoom;
}

// "客室マスター": the inn's rooms in the code-table window: enters a room, calls one up by its
// number to correct or delete it, and prints the list of all rooms. The type is chosen from
// the room types; capacity and fewest guests are checked (1 to 99, the fewest no more than the
// capacity); a room that stays use is neither deleted nor renumbered.
class frmRoom : public desk::CodeTableWindow {
    Q_OBJECT

public:
    explicit frmRoom(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~frmRoom() override;

private:
    std::unique_ptr<Ui::frmRoom> m_ui;
};

} // namespace roomapp
