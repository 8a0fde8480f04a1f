// Takes the pictures of the user's guide: the main menu and the main window of every
// module, each built from its own library on a data directory, shown and grabbed.
//
//   screenshots DATA_DIR OUT_DIR
#include "deskmain/FrmMain.h"
#include "deskmain/StartUp.h"
#include "entry/ModuleContext.h"
#include "ui/Dialogs.h"

#include "ModuleWindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>

namespace {

void save(QWidget* window, const QString& file) {
    window->show();
    window->raise();
    window->activateWindow();
    // Let layouts, lists and grids settle before the picture.
    QTest::qWait(400);
    if (!window->grab().save(file))
        QTextStream(stderr) << "screenshots: cannot write " << file << '\n';
    else
        QTextStream(stdout) << file << '\n';
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    desk::useJapanese();
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: screenshots DATA_DIR OUT_DIR\n";
        return 2;
    }
    const QString data = QDir(args.at(1)).absolutePath() + QLatin1Char('/');
    const QDir out(args.at(2));
    QDir().mkpath(out.path());

    // The main menu finds its data through DPath.txt beside the program it thinks it is.
    QTemporaryDir programDir;
    {
        QFile pointer(programDir.filePath(QStringLiteral("DPath.txt")));
        if (!pointer.open(QIODevice::WriteOnly))
            return 1;
        pointer.write(data.toUtf8() + '\n');
    }
    if (auto menu = deskmain::startUp(programDir.path()))
        save(menu.get(), out.filePath(QStringLiteral("deskmain.png")));
    else
        return 1;

    desk::ModuleContext context;
    context.setDirPath(data);
    for (const auto& [name, make] : screenshots::moduleWindows) {
        std::unique_ptr<QWidget> window(make(context));
        save(window.get(), out.filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
    }
    return 0;
}
