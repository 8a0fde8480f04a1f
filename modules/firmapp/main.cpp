#include "FrmOption.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("firmapp"),
                                 [](desk::ModuleContext& context) { return new firmapp::FrmOption(context); });
}
