#include "Csv.h"

#include <QSaveFile>

namespace desk::csv {

namespace {

const QByteArray byteOrderMark("\xEF\xBB\xBF");
const QString formulaStart = QStringLiteral("=+-@'\t\r");
constexpr QChar guardMark = QLatin1Char('\'');

} // namespace

QString field(QString text, Guard guard) {
    if (guard == Guard::Formula && !text.isEmpty() && formulaStart.contains(text.front()))
        text.prepend(guardMark);
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    for (const QChar c : std::as_const(text))
        quote = quote || special.contains(c);
    if (!quote)
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QByteArray document(const QList<QStringList>& lines) {
    QByteArray bytes = byteOrderMark;
    for (const QStringList& cells : lines)
        bytes += cells.join(QLatin1Char(',')).toUtf8() + QByteArray("\r\n");
    return bytes;
}

QList<QStringList> read(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes.startsWith(byteOrderMark) ? bytes.mid(byteOrderMark.size()) : bytes);
    QList<QStringList> lines;
    QStringList cells;
    QString cell;
    bool quoted = false;
    bool wasQuoted = false;
    const auto endCell = [&] {
        // Every text that starts with the mark was written behind one more.
        if (cell.startsWith(guardMark))
            cell.remove(0, 1);
        cells << cell;
        cell.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != QLatin1Char('"')) {
                cell += c;
            } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else {
                quoted = false;
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

bool writeWhole(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace desk::csv
