#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>
#include <stdexcept>

namespace desk {

// A text or number that cannot become the value asked for.
class ConversionError : public std::runtime_error {
public:
    enum class Kind { Overflow, TypeMismatch };
    ConversionError(Kind kind, const QString& message);
    Kind kind() const { return m_kind; }
    QString message() const { return m_message; }

private:
    Kind m_kind;
    QString m_message;
};

namespace convert {

// Full-width digits, signs, point and blank (as the Japanese input method types them)
// replaced by their ASCII forms; every other character is kept: "１２０００円" → "12000円".
QString asciiDigits(const QString& text);

// The leading numeric part of a text, as the screens read their boxes:
// "12abc" → 12, " 3.5" → 3.5, "-4x" → -4, "" → 0, "abc" → 0. Full-width digits and
// signs count as their ASCII forms: "２人" → 2.
double leadingNumber(const QString& text);

// Whole number with halves to even: 2.5 → 2, 3.5 → 4, -2.5 → -2.
double roundHalfEven(double value);

// Rounded half to even, then range-checked; ConversionError(Overflow) outside the range.
qint16 toInt16(double value);
qint32 toInt32(double value);
// Sum of two 32-bit amounts that raises instead of wrapping.
qint32 addInt32(qint32 a, qint32 b);

// A calendar date from whole-number parts, rolling over like a calendar does:
// 2002/2/30 → 2002-03-02, month 13 → January of the next year, day 0 → the last day
// of the previous month.
QDate dateFromParts(int year, int month, int day);
// The same from the three texts of the date control; ConversionError(TypeMismatch)
// when a part is empty or not a number.
QDate dateFromTexts(const QString& year, const QString& month, const QString& day);

// The day the clerk typed in the three boxes of the date control, or nothing when the
// parts name no real calendar day: an empty or non-numeric part, a year outside
// 1..9999, month 0 or 13, day 0, April 31, 2/29 of a common year. No roll-over.
// Blanks around a part and full-width digits are accepted ("０４" is April).
std::optional<QDate> strictDate(const QString& year, const QString& month, const QString& day);

// "2002/3/1": the day text put into statements (no leading zeros).
QString dayText(const QDate& date);
// "2002/03/01": dates shown as text.
QString shortDateText(const QDate& date);

// Number formats of amounts. "#,##0": 1234567 → "1,234,567", 0 → "0".
// "##,###,###": as the first but 0 → "". Negatives keep their sign. Any other
// format falls back to "#,##0".
QString formatNumber(double value, const QString& format = QStringLiteral("#,##0"));

// The one display formatter of grids, lists and reports: a column value shown in a
// format. Number formats ("#,##0", "##,###,###", "0") apply to numbers and to texts
// that hold a number; date formats ("yyyy/MM/dd", "yyyy/M/d", any Qt date pattern)
// apply to dates. An empty format, or a value the format does not fit, shows the value
// as it is; no value shows empty.
QString formatValue(const QVariant& value, const QString& format = {});

// Column values as the stores hold them: a column with no value reads as empty text,
// 0 or an invalid date; an invalid date is written as no value.
QString textOf(const QVariant& value);
qint32 int32Of(const QVariant& value);
QDate dateOf(const QVariant& value);
QVariant dateOrNull(const QDate& date);

// Reading of the pointer file DPath.txt that lies beside the main program.
struct DataPath {
    enum class Status { Ok, Missing, Empty };
    Status status = Status::Missing;
    QString directory; // ends in '/' when Ok
};
// programDir: the program's own folder. The first delimited field of the file: leading
// blanks skipped, a double-quoted value taken without its quotes, otherwise up to the
// first comma or the end of the first line. "App.Path" (exact case) means programDir.
DataPath readDataPath(const QString& programDir);
// The same reading applied to the text of the file.
QString firstField(const QString& text);

} // namespace convert
} // namespace desk
