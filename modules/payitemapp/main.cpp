#include "entry/ModuleHost.h"
#include "PaymentItemWindow.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("payitemapp"),
                                 [](desk::ModuleContext& context) { return new payitemapp::frmRecipt(context); });
}
