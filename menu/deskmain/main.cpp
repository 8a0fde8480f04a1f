#include "FrmMain.h"
#include "StartUp.h"

#include "ui/Dialogs.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("deskmain"));
    // The suite's icon, as the desktop's menu shows it, on the main window and its boxes.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/deskmain/icons/tesaro.png")));
    desk::useJapanese();
    const std::unique_ptr<deskmain::FrmMain> window = deskmain::startUp(QCoreApplication::applicationDirPath());
    if (!window)
        return 1;
    return QApplication::exec();
}
