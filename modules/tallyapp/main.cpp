#include "FrmJyoken.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("tallyapp"),
                                 [](desk::ModuleContext& context) { return new tallyapp::FrmJyoken(context); });
}
