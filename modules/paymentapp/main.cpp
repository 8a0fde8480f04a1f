#include "FrmRptBill.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("paymentapp"),
                                 [](desk::ModuleContext& context) { return new paymentapp::FrmRptBill(context); });
}
