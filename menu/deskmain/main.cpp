#include "FrmMain.h"
#include "StartUp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("deskmain"));
    const std::unique_ptr<deskmain::FrmMain> window = deskmain::startUp(QCoreApplication::applicationDirPath());
    if (!window)
        return 1;
    return QApplication::exec();
}
