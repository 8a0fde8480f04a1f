#include "FrmChkOutM.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("departapp"),
                                 [](desk::ModuleContext& context) { return new departapp::FrmChkOutM(context); });
}
