#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPdfWriter;

namespace desk {

// The text layer of a PDF the reports write, made to say what the page shows.
//
// The PDF writer names each drawn glyph by the first character that maps to it in the
// font. The CJK fonts draw a radical and its ideograph with one glyph, and the radicals
// come first: copying or searching "日付" or "里" in a written file found "⽇付" and "⾥"
// (U+2F47, U+2FA5). The mend names those glyphs by their ideographs again. It only
// rewrites four hex digits with four others inside the files' ToUnicode maps, so every
// offset of the file stays as written.

// The ideograph a radical (U+2E80 to U+2FDF) is drawn as; the character itself otherwise.
char16_t ideographOf(char16_t c);

// The mended bytes of a PDF; unchanged when nothing needed it.
QByteArray mendedPdfText(const QByteArray& pdf);

// Mends a written PDF file in place. False when it could not be read or written back.
bool mendPdfTextFile(const QString& fileName);

// Writes a PDF file: paint draws on a writer that carries the title, and the file is mended
// once the writer has closed it. What paint throws goes to the caller, with nothing mended.
void writePdf(const QString& fileName, const QString& title, const std::function<void(QPdfWriter&)>& paint);

// After the painter on device has ended: the file a printer printing to PDF has written
// is mended; any other device is left alone.
void mendPrintedFile(QPagedPaintDevice* device);

} // namespace desk
