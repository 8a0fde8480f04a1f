#include "FrmCmClass1.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("goodsclassapp"),
                                 [](desk::ModuleContext& context) { return new goodsclassapp::FrmCmClass1(context); });
}
