#include "CsvFile.h"

#include "Dialogs.h"

#include "convert/Csv.h"

#include <QDir>

namespace desk {

QString askCsvFileName(QWidget* parent, const QString& stem, const QDate& first, const QDate& last) {
    const QString suggested = QDir::home().filePath(
        QStringLiteral("%1_%2-%3.csv")
            .arg(stem, first.toString(QStringLiteral("yyyyMMdd")), last.toString(QStringLiteral("yyyyMMdd"))));
    QString fileName =
        dialogs().saveFileName(parent, QStringLiteral("CSV出力"), suggested, QStringLiteral("CSVファイル (*.csv)"));
    if (!fileName.isEmpty() && !fileName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".csv");
    return fileName;
}

bool writeCsvFile(QWidget* parent, const QString& fileName, const QByteArray& bytes, const QString& title) {
    if (csv::writeWhole(fileName, bytes))
        return true;
    dialogs().message(parent, QStringLiteral("ファイルに書き込めませんでした。\n") + QDir::toNativeSeparators(fileName),
                      title, Dialogs::Icon::Critical);
    return false;
}

} // namespace desk
