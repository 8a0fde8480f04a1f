#include "RestoreMarker.h"

#include "BackupFolder.h"
#include "DataLocation.h"
#include "DbError.h"
#include "Maintenance.h"

#include <QFile>
#include <QSaveFile>

#include <unistd.h>

namespace desk::maintenance {

QString markerName() {
    return QStringLiteral("RESTORE-UNFINISHED.txt");
}

QString markerPath(const QString& dataDir) {
    return DataLocation::folderPath(dataDir) + markerName();
}

void writeMarker(const QString& dataDir, const QString& backupDir, const QString& kept) {
    QSaveFile file(markerPath(dataDir));
    if (!file.open(QIODevice::WriteOnly))
        throw DbError(QStringLiteral("%1 を書き込めません。").arg(native(markerPath(dataDir))), {}, markerPath(dataDir),
                      DbError::Cause::NoPermission);
    const QString text = QStringLiteral("# deskadmin restore did not finish yet: run it again with the same folders.\n"
                                        "backup=%1\nkept=%2\npid=%3\n")
                             .arg(backupDir, kept)
                             .arg(::getpid());
    file.write(text.toUtf8());
    if (!file.commit())
        throw DbError(
            QStringLiteral("%1 を書き込めません（空き容量を確かめてください）。").arg(native(markerPath(dataDir))), {},
            markerPath(dataDir), DbError::Cause::DiskFull);
}

std::optional<UnfinishedRestore> unfinishedRestore(const QString& dataDir) {
    QFile file(markerPath(dataDir));
    if (!file.exists())
        return std::nullopt;
    UnfinishedRestore found;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            const QString key = line.section(QLatin1Char('='), 0, 0);
            const QString value = line.section(QLatin1Char('='), 1);
            if (key == QLatin1String("backup"))
                found.backupDir = value;
            else if (key == QLatin1String("kept"))
                found.kept = value;
            else if (key == QLatin1String("pid"))
                found.running = processRuns(value.toLongLong());
        }
    }
    return found;
}

QString unfinishedRestoreText(const QString& dataDir, const UnfinishedRestore& restore) {
    if (restore.running)
        return QStringLiteral("データの復元の最中です。終わるまで待ってから、もう一度実行してください。");
    return QStringLiteral("データの復元が途中で終わっています（一部のファイルだけが戻された状態です）。\r\n"
                          "deskadmin restore %1 %2 をもう一度実行して、復元を終えてください。")
        .arg(native(restore.backupDir.isEmpty() ? QStringLiteral("<バックアップのフォルダ>") : restore.backupDir),
             native(DataLocation::folderPath(dataDir)));
}

} // namespace desk::maintenance
