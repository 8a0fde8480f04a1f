#include "FrmChkIn.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("arrivalapp"),
                                 [](desk::ModuleContext& context) { return new arrivalapp::FrmChkIn(context); });
}
