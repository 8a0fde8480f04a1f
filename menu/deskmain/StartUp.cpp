#include "StartUp.h"

#include "FrmMain.h"

#include "convert/Convert.h"
#include "data/DataLocation.h"
#include "data/DbError.h"
#include "data/Maintenance.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/SlotGuard.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace deskmain {

namespace {

const QString Title = QStringLiteral("警告");

void warn(const QString& text, desk::Dialogs::Icon icon = desk::Dialogs::Icon::Exclamation) {
    desk::dialogs().beep();
    desk::dialogs().message(nullptr, text, Title, icon);
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
void serverBackupNote(const desk::DataLocation& location, const std::optional<QDateTime>& last, QWidget* parent) {
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
        QString::fromLatin1(QCryptographicHash::hash(location.path().toUtf8(), QCryptographicHash::Md5).toHex());
    if (told.value(key).toDate() == today)
        return;
    told.setValue(key, today);
    told.sync();
    const QString address = location.displayName();
    desk::dialogs().message(
        parent,
        QStringLiteral("この宿のデータはデータベースサーバーにあるため、端末では毎日の自動バックアップを取りません。"
                       "サーバーのデータのバックアップは、サーバーを管理する方が\r\n"
                       "deskadmin backup %1 <新しいフォルダ>\r\nで取ってください。\r\n\r\n%2\r\n最後のバックアップ: %3")
            .arg(location.path(), address,
                 last ? QStringLiteral("%1（%2日前）").arg(when).arg(last->date().daysTo(today))
                      : QStringLiteral("まだ一度も取られていません")),
        Title, desk::Dialogs::Icon::Information);
}

} // namespace

void dailyBackup(const QString& programDir, const QString& dataDir, QWidget* parent) {
    const auto location = desk::DataLocation::of(dataDir);
    const BackupSettings settings = backupSettings(programDir, dataDir);
    desk::maintenance::DailyBackup done;
    try {
        const desk::BusyCursor busy;
        done = location->dailyBackup(settings.folder, settings.keep, QDate::currentDate());
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
    // The data on a server is backed up on the server's machine (deskadmin backup there): the
    // main menu says when that was last done, unless the server could not say (the lists said
    // already what is wrong with it).
    if (done.takenElsewhere) {
        if (!done.lastUnknown)
            serverBackupNote(*location, done.lastTaken, parent);
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
    const auto location = desk::DataLocation::of(*dataDir);
    if (const std::optional<QString> problem = location->startProblem()) {
        warn(*problem, desk::Dialogs::Icon::Critical);
        return nullptr;
    }
    auto window = std::make_unique<FrmMain>(*dataDir);
    try {
        window->load();
    } catch (const desk::DbError& e) {
        warn(location->openFailureText(e), desk::Dialogs::Icon::Critical);
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
