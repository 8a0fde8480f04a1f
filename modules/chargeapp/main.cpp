#include "FrmSales.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("chargeapp"),
                                 [](desk::ModuleContext& context) { return new chargeapp::FrmSales(context); });
}
