#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

class QPaintDevice;

namespace desk {

// How a text meets its box on a report, the one rule for composing and painting alike:
// at its own size when it fits on one line; otherwise at the largest smaller size that
// fits, down to readableMinimum(); still too wide, it wraps where the box holds two lines
// or more (at the largest size whose lines fit the box's height), else it ends in "…" at
// the smallest size. Nothing is ever cut silently.
struct FittedText {
    QFont font;
    QString text;
    int flags = 0; // Qt::AlignmentFlag | Qt::TextFlag for QPainter::drawText

    bool wraps() const { return (flags & Qt::TextWrapAnywhere) != 0; }
};

// The rule measured on a device; box in the device's pixels.
FittedText fitText(const QString& text, const QFont& font, const QSizeF& box, Qt::Alignment alignment,
                   const QPaintDevice* device);

// The rule as a report is composed, before any device is known: box in millimetres,
// measured at a printer's resolution in the report font with a little room for the
// rounding of the output device. Without a GUI application (no fonts to measure with)
// the text comes back unchanged.
FittedText fitTextInBox(const QString& text, const QSizeF& boxMm, double pointSize, bool bold, Qt::Alignment alignment);

// The report font, as composing measures it and painting draws it: unhinted, so sizes
// scale alike on every device, and unshaped (these scripts need no shaping): a shaped run
// gave digits after Latin letters ("TEL0263") glyphs that a PDF's text layer could not name.
QFont reportFont();

// The smallest size a report shrinks a text of the given size to before wrapping or
// eliding it.
double readableMinimum(double pointSize);

} // namespace desk
