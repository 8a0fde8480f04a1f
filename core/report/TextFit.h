#pragma once

#include <QString>

namespace desk {

// A text as it will print in a box of a given width: at its own size when it fits,
// otherwise at the largest smaller size that fits but no smaller than minPointSize,
// and below that size cut to fit with a trailing "…". Nothing is ever cut silently.
struct FittedText {
    QString text;
    double pointSize = 0.0;
};

// Measures in the report font family. Without a GUI application (no fonts to measure
// with) the text comes back unchanged.
FittedText fitText(const QString& text, double widthMm, double pointSize, bool bold, double minPointSize);

// The smallest size a report shrinks a text of the given size to before eliding it.
double readableMinimum(double pointSize);

} // namespace desk
