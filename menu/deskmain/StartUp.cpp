#include "StartUp.h"

#include "FrmMain.h"

#include "convert/Convert.h"
#include "data/DbError.h"
#include "ui/Dialogs.h"
#include "ui/SlotGuard.h"

#include <QDir>
#include <QFileInfo>

namespace deskmain {

namespace {

const QString Title = QStringLiteral("警告");

void warn(const QString& text, desk::Dialogs::Icon icon = desk::Dialogs::Icon::Exclamation) {
    desk::dialogs().beep();
    desk::dialogs().message(nullptr, text, Title, icon);
}

// A data directory the main window could not read: which folder and file, and what
// DPath.txt has to hold, instead of a bare failure.
QString openFailureText(const QString& dataDir, const desk::DbError& error) {
    QString folder = QDir::toNativeSeparators(dataDir);
    QString file;
    if (!error.file().isEmpty()) {
        const QFileInfo info(error.file());
        folder = QDir::toNativeSeparators(info.absolutePath());
        file = info.fileName();
    }
    QString text = QStringLiteral("データベースを開けませんでした。\r\nフォルダ: %1").arg(folder);
    if (!file.isEmpty())
        text += QStringLiteral("\r\nファイル: %1").arg(file);
    const bool missing = !file.isEmpty() && !QFileInfo::exists(error.file());
    if (missing)
        text += QStringLiteral("\r\n（ファイルがありません）");
    text += QStringLiteral("\r\n\r\nDPath.txtには、データベースファイル（BTReservation.mdb など5つ）の"
                           "あるフォルダのパスを指定してください。");
    // The engine's own words help only when the file is there but will not open.
    if (!missing)
        text += QStringLiteral("\r\n詳細: ") + error.message();
    return text;
}

} // namespace

std::optional<QString> findDataDirectory(const QString& programDir) {
    const desk::convert::DataPath found = desk::convert::readDataPath(programDir);
    switch (found.status) {
    case desk::convert::DataPath::Status::Missing:
        warn(QStringLiteral("ファイルを開くときにエラーが発生しました。\r\n"
                            "DPath.txtをdeskmain.exeと同じ場所に置いてください。"));
        return std::nullopt;
    case desk::convert::DataPath::Status::Empty:
        warn(QStringLiteral("ファイルDPath.txtにデータがありません。\r\nDPath.txtに正しいパスを指定してください。"));
        return std::nullopt;
    case desk::convert::DataPath::Status::Ok:
        break;
    }
    return found.directory;
}

std::unique_ptr<FrmMain> startUp(const QString& programDir) {
    const std::optional<QString> dataDir = findDataDirectory(programDir);
    if (!dataDir)
        return nullptr;
    auto window = std::make_unique<FrmMain>(*dataDir);
    try {
        window->load();
    } catch (const desk::DbError& e) {
        warn(openFailureText(*dataDir, e), desk::Dialogs::Icon::Critical);
        return nullptr;
    } catch (...) {
        warn(desk::describeError(std::current_exception()), desk::Dialogs::Icon::Critical);
        return nullptr;
    }
    window->show();
    return window;
}

} // namespace deskmain
