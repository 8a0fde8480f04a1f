#include "FrmSpecOption.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("guestcatapp"),
                                 [](desk::ModuleContext& context) { return new guestcatapp::FrmSpecOption(context); });
}
