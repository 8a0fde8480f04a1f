#include "report/PdfText.h"

#include "report/Report.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPdfWriter>
#include <QPrinter>
#include <QRawFont>

namespace desk {

namespace {

constexpr char16_t FirstRadical = 0x2E80; // CJK Radicals Supplement, then Kangxi Radicals
constexpr char16_t LastRadical = 0x2FDF;

bool isRadical(char16_t c) {
    return c >= FirstRadical && c <= LastRadical;
}

// The radicals of the supplement have no decomposition; the ideograph is the one the
// report font draws with the same glyph.
char16_t ideographBySharedGlyph(char16_t radical) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return radical;
    static const QRawFont font = QRawFont::fromFont(QFont(Report::fontFamily(), 12));
    static const QHash<quint32, char16_t> ideographOfGlyph = [] {
        QHash<quint32, char16_t> map;
        if (!font.isValid())
            return map;
        QString block;
        for (char16_t c = 0x4E00; c <= 0x9FFF; ++c)
            block.append(QChar(c));
        const QList<quint32> glyphs = font.glyphIndexesForString(block);
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            if (glyphs[i] != 0 && !map.contains(glyphs[i]))
                map.insert(glyphs[i], block.at(i).unicode());
        }
        return map;
    }();
    const QList<quint32> glyph =
        font.isValid() ? font.glyphIndexesForString(QString(QChar(radical))) : QList<quint32>{};
    if (glyph.size() != 1 || glyph.first() == 0)
        return radical;
    return ideographOfGlyph.value(glyph.first(), radical);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Rewrites the radicals among the destinations of one "<..>" token, four digits a unit.
bool mendToken(char* digits, qsizetype length) {
    if (length % 4 != 0)
        return false;
    bool changed = false;
    for (qsizetype at = 0; at < length; at += 4) {
        int value = 0;
        for (qsizetype i = 0; i < 4; ++i) {
            const int digit = hexValue(digits[at + i]);
            if (digit < 0)
                return changed;
            value = value * 16 + digit;
        }
        const char16_t mended = ideographOf(char16_t(value));
        if (mended == value)
            continue;
        const QByteArray hex = QByteArray::number(int(mended), 16).toUpper().rightJustified(4, '0');
        std::copy(hex.begin(), hex.end(), digits + at);
        changed = true;
    }
    return changed;
}

// Mends the destinations of the lines between begin and end markers within [from, limit);
// the first `sources` tokens of a line are glyph codes and stay as they are.
bool mendSections(QByteArray& pdf, qsizetype from, qsizetype limit, const QByteArray& begin, const QByteArray& end,
                  int sources) {
    bool changed = false;
    while ((from = pdf.indexOf(begin, from)) >= 0 && from < limit) {
        const qsizetype stop = pdf.indexOf(end, from);
        if (stop < 0 || stop > limit)
            break;
        int tokenOfLine = 0;
        bool inArray = false;
        QByteArray firstCode;
        QByteArray lastCode;
        for (qsizetype at = from + begin.size(); at < stop; ++at) {
            const char c = pdf.at(at);
            if (c == '\n' || c == '\r') {
                tokenOfLine = 0;
                inArray = false;
            } else if (c == '[') {
                inArray = true;
            } else if (c == '<') {
                const qsizetype close = pdf.indexOf('>', at);
                if (close < 0 || close > stop)
                    break;
                const int token = tokenOfLine++;
                if (token == 0)
                    firstCode = pdf.mid(at + 1, close - at - 1);
                else if (token == 1)
                    lastCode = pdf.mid(at + 1, close - at - 1);
                // A range of several codes with one destination counts up from it: its
                // radicals cannot be renamed in place, and are left as they are.
                const bool countsUp = sources == 2 && !inArray && firstCode != lastCode;
                if (token >= sources && !countsUp)
                    changed |= mendToken(pdf.data() + at + 1, close - at - 1);
                at = close;
            }
        }
        from = stop;
    }
    return changed;
}

} // namespace

char16_t ideographOf(char16_t c) {
    if (!isRadical(c))
        return c;
    // The Kangxi radicals (and two of the supplement) decompose to their ideographs.
    const QString normalized = QString(QChar(c)).normalized(QString::NormalizationForm_KC);
    if (normalized.size() == 1 && normalized.at(0).unicode() != c && !isRadical(normalized.at(0).unicode()))
        return normalized.at(0).unicode();
    return ideographBySharedGlyph(c);
}

QByteArray mendedPdfText(const QByteArray& pdf) {
    QByteArray mended = pdf;
    bool changed = false;
    // Only the streams of the objects a font names as its ToUnicode map are read.
    static const QByteArray reference = "/ToUnicode ";
    for (qsizetype at = pdf.indexOf(reference); at >= 0; at = pdf.indexOf(reference, at + 1)) {
        qsizetype end = at + reference.size();
        while (end < pdf.size() && pdf.at(end) >= '0' && pdf.at(end) <= '9')
            ++end;
        const QByteArray number = pdf.mid(at + reference.size(), end - at - reference.size());
        if (number.isEmpty())
            continue;
        // The object starts a line: "\n<number> 0 obj".
        const qsizetype object = pdf.indexOf(QByteArray("\n" + number + " 0 obj"));
        if (object < 0)
            continue;
        const qsizetype stream = pdf.indexOf("stream", object);
        const qsizetype streamEnd = pdf.indexOf("endstream", stream);
        const qsizetype objectEnd = pdf.indexOf("endobj", object);
        if (stream < 0 || streamEnd < 0 || objectEnd < streamEnd)
            continue;
        // "<first> <last> <dest>" or "<first> <last> [<dest> ...]"; "<code> <dest>".
        changed |= mendSections(mended, stream, streamEnd, "beginbfrange", "endbfrange", 2);
        changed |= mendSections(mended, stream, streamEnd, "beginbfchar", "endbfchar", 1);
    }
    return changed ? mended : pdf;
}

bool mendPdfTextFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray pdf = file.readAll();
    const QByteArray mended = mendedPdfText(pdf);
    if (mended == pdf)
        return true;
    // Same length, same offsets: the bytes are written over themselves.
    return file.seek(0) && file.write(mended) == mended.size() && file.flush();
}

void writePdf(const QString& fileName, const QString& title, const std::function<void(QPdfWriter&)>& paint) {
    {
        QPdfWriter writer(fileName);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Tesaro"));
        paint(writer);
    }
    mendPdfTextFile(fileName);
}

void mendPrintedFile(QPagedPaintDevice* device) {
    auto* printer = dynamic_cast<QPrinter*>(device);
    if (printer && printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
        mendPdfTextFile(printer->outputFileName());
}

} // namespace desk
