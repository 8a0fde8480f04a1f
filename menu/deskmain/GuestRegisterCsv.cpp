#include "GuestRegisterCsv.h"

#include "DRMeibo.h"

#include "convert/Convert.h"
#include "data/RowSet.h"

#include <QSaveFile>

namespace deskmain {

namespace {

const QByteArray byteOrderMark("\xEF\xBB\xBF");

QString csvField(QString text) {
    // A name or phone number typed as "=..." or "+81..." must stay text in a spreadsheet.
    static const QString formulaStart = QStringLiteral("=+-@'\t\r");
    if (!text.isEmpty() && formulaStart.contains(text.front()))
        text.prepend(QLatin1Char('\''));
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    for (const QChar c : text)
        quote = quote || special.contains(c);
    if (!quote)
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString cellText(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return desk::convert::shortDateText(value.toDate());
    return value.toString();
}

} // namespace

QByteArray guestRegisterCsv(desk::RowSet& rows) {
    const desk::ReportColumns columns = DRMeibo::registerColumns();
    QStringList lines;
    QStringList cells;
    for (const desk::ReportColumn& c : columns)
        cells << csvField(c.heading);
    lines << cells.join(QLatin1Char(','));
    if (!rows.isEmpty()) {
        for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
            cells.clear();
            for (const desk::ReportColumn& c : columns)
                cells << csvField(cellText(rows.value(c.field)));
            lines << cells.join(QLatin1Char(','));
        }
    }
    return byteOrderMark + lines.join(QStringLiteral("\r\n")).toUtf8() + QByteArray("\r\n");
}

QList<QStringList> readGuestRegisterCsv(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes.startsWith(byteOrderMark) ? bytes.mid(byteOrderMark.size()) : bytes);
    QList<QStringList> lines;
    QStringList cells;
    QString cell;
    bool quoted = false;
    bool wasQuoted = false;
    const auto endCell = [&] {
        if (cell.startsWith(QLatin1Char('\'')))
            cell.remove(0, 1);
        cells << cell;
        cell.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"') && cell.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            endCell();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endCell();
            lines << cells;
            cells.clear();
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !cells.isEmpty()) {
        endCell();
        lines << cells;
    }
    return lines;
}

bool writeGuestRegisterFile(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace deskmain
