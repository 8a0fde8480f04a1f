#include "entry/ModuleHost.h"
#include "PaymentClassWindow.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("payclassapp"),
                                 [](desk::ModuleContext& context) { return new payclassapp::frmRecipt(context); });
}
