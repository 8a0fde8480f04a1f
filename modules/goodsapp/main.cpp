#include "FrmComdty.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("goodsapp"),
                                 [](desk::ModuleContext& context) { return new goodsapp::FrmComdty(context); });
}
