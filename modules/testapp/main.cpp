#include "TestWindow.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("testapp"),
                                 [](desk::ModuleContext& context) { return new TestWindow(context); });
}
