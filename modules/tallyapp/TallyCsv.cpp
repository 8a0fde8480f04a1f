#include "TallyCsv.h"

#include "convert/Convert.h"
#include "ui/QueryGridModel.h"

#include <QSaveFile>

namespace tallyapp {

namespace {

QString csvField(const QString& text) {
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    for (const QChar c : text)
        quote = quote || special.contains(c);
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

bool isNumberColumn(const desk::GridColumn& column) {
    return column.format.contains(QLatin1Char('#'));
}

} // namespace

QByteArray tallyCsv(const desk::QueryGridModel& model, const QStringList& summedFields) {
    const int columns = model.columnCount();
    QStringList lines;

    QStringList cells;
    for (int c = 0; c < columns; ++c)
        cells << csvField(model.column(c).caption.trimmed());
    lines << cells.join(QLatin1Char(','));

    for (int r = 0; r < model.rowCount(); ++r) {
        cells.clear();
        for (int c = 0; c < columns; ++c) {
            const desk::GridColumn column = model.column(c);
            const QVariant value = model.value(r, c);
            cells << csvField(isNumberColumn(column) ? desk::convert::formatValue(value, QStringLiteral("0"))
                                                     : column.display(value));
        }
        lines << cells.join(QLatin1Char(','));
    }

    cells.clear();
    for (int c = 0; c < columns; ++c) {
        const desk::GridColumn column = model.column(c);
        if (summedFields.contains(column.field, Qt::CaseInsensitive))
            cells << desk::convert::formatValue(model.columnSum(c), QStringLiteral("0"));
        else
            cells << (c == 0 ? QStringLiteral("合計") : QString());
    }
    lines << cells.join(QLatin1Char(','));

    return QByteArray("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() + QByteArray("\r\n");
}

bool writeCsvFile(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tallyapp
