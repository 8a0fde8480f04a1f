#include "FrmReservation.h"
#include "entry/ModuleHost.h"

int main(int argc, char* argv[]) {
    return desk::ModuleHost::run(argc, argv, QStringLiteral("bookingapp"),
                                 [](desk::ModuleContext& context) { return new bookingapp::FrmReservation(context); });
}
