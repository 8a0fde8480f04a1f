#include "FrmRoomRack.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("rackapp"),
                                 [](desk::ModuleContext& context) { return new rackapp::FrmRoomRack(context); });
}
