#include "StartUp.h"

#include "FrmMain.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "data/Maintenance.h"
#include "data/Schema.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/SlotGuard.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStorageInfo>

#include <algorithm>

namespace deskmain {

namespace {

const QString Title = QStringLiteral("警告");

// Below this a save may fail half-way through the day.
constexpr qint64 MinimumFreeBytes = 8 * 1024 * 1024;

void warn(const QString& text, desk::Dialogs::Icon icon = desk::Dialogs::Icon::Exclamation) {
    desk::dialogs().beep();
    desk::dialogs().message(nullptr, text, Title, icon);
}

// The server's engine words (English, the client library's) close the text, under the
// detail heading: a message box shows them behind its details button.
QString withDetail(const QString& text, const desk::DbError& error) {
    if (error.detail().isEmpty())
        return text;
    return text + QStringLiteral("\r\n\r\n") + desk::DbError::detailHeading() + error.detail();
}

// The inn on a server could not be opened at start: nothing was typed yet, so the text says
// what to look at instead of what was lost; the server by host, port and database, the part
// of the inn in words.
QString serverProblemText(const QString& dataDir, const desk::DbError& error) {
    const desk::Engine& engine = desk::Engine::forLocation(dataDir);
    if (error.cause() == desk::DbError::Cause::Unreachable)
        return withDetail(QStringLiteral("データベースサーバーに接続できません。\r\n%1\r\n\r\n"
                                         "サーバーの機械の電源が入っていてデータベースサーバーが動いているか、"
                                         "この端末がネットワークにつながっているか、DPath.txtのアドレスが正しいかを"
                                         "確かめてから、もう一度起動してください。")
                              .arg(engine.displayName(dataDir)),
                          error);
    const QString where = error.file().isEmpty() ? engine.displayName(dataDir) : engine.displayName(error.file());
    return withDetail(QStringLiteral("データベースを開けませんでした。\r\n%1\r\n\r\n%2").arg(where, error.message()),
                      error);
}

// A data directory the main window could not read: which folder and file, and what
// DPath.txt has to hold, instead of a bare failure.
QString openFailureText(const QString& dataDir, const desk::DbError& error) {
    if (desk::Engine::isServerAddress(dataDir))
        return serverProblemText(dataDir, error);
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
    // DPath.txt is named only when the folder is the problem (the file is not there); a
    // file that is there but will not serve is told in the engine's own words.
    const bool missing = !file.isEmpty() && !QFileInfo::exists(error.file());
    if (missing) {
        text += QStringLiteral("\r\n（ファイルがありません）");
        text += QStringLiteral("\r\n\r\nDPath.txtには、データベースファイル（BTReservation.mdb など5つ）の"
                               "あるフォルダのパスを指定してください。");
    } else {
        text = withDetail(text + QStringLiteral("\r\n\r\n") + error.message(), error);
    }
    return text;
}

QString headed(const QString& folder, const QString& file, const QString& cause) {
    QString text =
        QStringLiteral("データベースを開けませんでした。\r\nフォルダ: %1").arg(QDir::toNativeSeparators(folder));
    if (!file.isEmpty())
        text += QStringLiteral("\r\nファイル: %1").arg(file);
    return text + QStringLiteral("\r\n\r\n") + cause;
}

const QString PointerAdvice = QStringLiteral("\r\nDPath.txtには、データベースファイル（BTReservation.mdb など5つ）の"
                                             "あるフォルダのパスを指定してください。");

// Looks at the folder and the five files before a clerk types anything: a file that is
// missing, not ours, of another version, damaged or read-only, and a full disk, each said
// with its real cause. DPath.txt is named only when the folder itself is the problem.
std::optional<QString> dataFilesProblem(const QString& dataDir) {
    if (desk::Engine::isServerAddress(dataDir)) {
        // On a server there is no folder to look at: each database says itself what is wrong.
        for (const QString& name : desk::Schema::fileNames()) {
            try {
                desk::Connection::open(dataDir, name);
            } catch (const desk::DbError& e) {
                return serverProblemText(dataDir, e);
            }
        }
        return std::nullopt;
    }
    const QFileInfo folder(dataDir);
    const QString folderPath = folder.absoluteFilePath();
    if (!folder.isDir())
        return headed(folderPath, {}, QStringLiteral("このフォルダがありません。") + PointerAdvice);
    const QStringList names = desk::Schema::fileNames();
    const bool none = std::none_of(names.cbegin(), names.cend(), [&](const QString& name) {
        return QFileInfo::exists(QDir(dataDir).filePath(name));
    });
    if (none)
        return headed(folderPath, names.constFirst(),
                      QStringLiteral("このフォルダにはデータベースファイルがありません。") + PointerAdvice);
    // Permissions and room first: opening a file already writes its log beside it.
    for (const QString& name : names) {
        const QFileInfo file(QDir(dataDir).filePath(name));
        if (file.isFile() && !file.isWritable())
            return headed(folderPath, file.fileName(),
                          QStringLiteral("このファイルに書き込めません（読み取り専用です）。"
                                         "ファイルの属性か権限を直してから起動してください。"));
    }
    // The log and the shared-memory file are made beside the files at every write.
    if (!QFileInfo(folderPath).isWritable())
        return headed(folderPath, {},
                      QStringLiteral("このフォルダに書き込めません（読み取り専用です）。"
                                     "フォルダの権限を直してから起動してください。"));
    const QStorageInfo storage(folderPath);
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < MinimumFreeBytes)
        return headed(
            folderPath, {},
            QStringLiteral(
                "ディスクの空き容量がありません（残り %1 バイト）。不要なファイルを消してから起動してください。")
                .arg(storage.bytesAvailable()));
    for (const QString& name : names) {
        try {
            desk::Connection::open(dataDir, name);
        } catch (const desk::DbError& e) {
            QString cause = e.message();
            if (e.cause() == desk::DbError::Cause::Missing)
                cause = QStringLiteral("このファイルがありません。");
            else if (e.cause() == desk::DbError::Cause::Other)
                cause = QStringLiteral("このファイルを開けません。") + e.message();
            return withDetail(headed(folderPath, name, cause), e);
        }
    }
    return std::nullopt;
}

struct BackupSettings {
    QString folder;
    int keep = 14;
};

// DeskBackup.ini beside DPath.txt may name another folder (a USB disk) and how many
// daily backups to keep.
BackupSettings backupSettings(const QString& programDir, const QString& dataDir) {
    BackupSettings settings;
    settings.folder = QDir(dataDir).filePath(QStringLiteral("backup"));
    const QString path = QDir(programDir).filePath(QStringLiteral("DeskBackup.ini"));
    if (!QFileInfo::exists(path))
        return settings;
    const QSettings ini(path, QSettings::IniFormat);
    const QString folder = ini.value(QStringLiteral("backup/folder")).toString().trimmed();
    if (!folder.isEmpty())
        settings.folder = QDir(programDir).absoluteFilePath(folder);
    bool ok = false;
    const int keep = ini.value(QStringLiteral("backup/keep")).toInt(&ok);
    if (ok && keep > 0)
        settings.keep = keep;
    return settings;
}

// On a server: the status bar names the last backup of the server's inn; once a day a
// box tells the owner that backing it up is theirs to do, when it is older than yesterday's.
void serverBackupNote(const QString& dataDir, QWidget* parent) {
    std::optional<QDateTime> last;
    try {
        last = desk::maintenance::lastServerBackup(dataDir);
    } catch (const desk::DbError&) {
        return; // the lists said already what is wrong with the server
    }
    const QString when = last ? last->toString(QStringLiteral("yyyy/MM/dd HH:mm")) : QStringLiteral("まだありません");
    if (auto* window = qobject_cast<FrmMain*>(parent))
        window->setBackupNote(QStringLiteral("サーバーのバックアップ: ") + when);
    // A backup of today or last night needs no word; an older one (or none) is told once a
    // day on each desk.
    const QDate today = QDate::currentDate();
    if (last && last->date() >= today.addDays(-1))
        return;
    QSettings told(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tesaro"), QStringLiteral("deskmain"));
    const QString key =
        QStringLiteral("serverBackupTold/") +
        QString::fromLatin1(QCryptographicHash::hash(dataDir.trimmed().toUtf8(), QCryptographicHash::Md5).toHex());
    if (told.value(key).toDate() == today)
        return;
    told.setValue(key, today);
    told.sync();
    const QString address = desk::Engine::forLocation(dataDir).displayName(dataDir);
    desk::dialogs().message(
        parent,
        QStringLiteral("この宿のデータはデータベースサーバーにあるため、端末では毎日の自動バックアップを取りません。"
                       "サーバーのデータのバックアップは、サーバーを管理する方が\r\n"
                       "deskadmin backup %1 <新しいフォルダ>\r\nで取ってください。\r\n\r\n%2\r\n最後のバックアップ: %3")
            .arg(dataDir.trimmed(), address,
                 last ? QStringLiteral("%1（%2日前）").arg(when).arg(last->date().daysTo(today))
                      : QStringLiteral("まだ一度も取られていません")),
        Title, desk::Dialogs::Icon::Information);
}

} // namespace

void dailyBackup(const QString& programDir, const QString& dataDir, QWidget* parent) {
    // The data on a server is backed up on the server's machine (deskadmin backup there): the
    // main menu says when that was last done.
    if (desk::Engine::isServerAddress(dataDir)) {
        serverBackupNote(dataDir, parent);
        return;
    }
    const BackupSettings settings = backupSettings(programDir, dataDir);
    desk::maintenance::DailyBackup done;
    try {
        const desk::BusyCursor busy;
        done = desk::maintenance::dailyBackup(dataDir, settings.folder, settings.keep, QDate::currentDate());
    } catch (const std::exception& e) {
        const auto* db = dynamic_cast<const desk::DbError*>(&e);
        desk::dialogs().beep();
        desk::dialogs().message(
            parent,
            QStringLiteral("今日の自動バックアップができませんでした。\r\nバックアップ先: %1\r\n詳細: %2\r\n\r\n"
                           "このまま仕事は続けられますが、早めにバックアップ先を確かめてください。")
                .arg(QDir::toNativeSeparators(settings.folder), db ? db->message() : QString::fromUtf8(e.what())),
            Title, desk::Dialogs::Icon::Exclamation);
        return;
    }
    if (!done.notRemoved.isEmpty()) {
        QStringList folders;
        for (const QString& folder : std::as_const(done.notRemoved))
            folders << QDir::toNativeSeparators(folder);
        desk::dialogs().beep();
        desk::dialogs().message(
            parent,
            QStringLiteral("今日の自動バックアップはできましたが、古いバックアップを削除できませんでした"
                           "（権限を確かめてください）。\r\n%1")
                .arg(folders.join(QStringLiteral("\r\n"))),
            Title, desk::Dialogs::Icon::Exclamation);
    }
}

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
    if (const std::optional<QString> problem = dataFilesProblem(*dataDir)) {
        warn(*problem, desk::Dialogs::Icon::Critical);
        return nullptr;
    }
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
    dailyBackup(programDir, *dataDir, window.get());
    return window;
}

} // namespace deskmain
