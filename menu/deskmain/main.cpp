#include "FrmMain.h"
#include "StartUp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("deskmain"));
    // Qt's own dialogs (file choice, printer) in Japanese where the translations are installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    const std::unique_ptr<deskmain::FrmMain> window = deskmain::startUp(QCoreApplication::applicationDirPath());
    if (!window)
        return 1;
    return QApplication::exec();
}
