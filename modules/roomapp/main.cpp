#include "entry/ModuleHost.h"
#include "RoomWindow.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("roomapp"),
                                 [](desk::ModuleContext& context) { return new roomapp::frmRoom(context); });
}
