#include "FrmMain.h"
#include "StartUp.h"

#include "ui/Dialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("deskmain"));
    desk::useJapanese();
    const std::unique_ptr<deskmain::FrmMain> window = deskmain::startUp(QCoreApplication::applicationDirPath());
    if (!window)
        return 1;
    return QApplication::exec();
}
