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
    // Refused: a typed value its field does not take; the message speaks to the clerk as
    // it stands, with the field's limit.
    enum class Kind { Overflow, TypeMismatch, Refused };
    ConversionError(Kind kind, const QString& message);
    Kind kind() const { return m_kind; }
    QString message() const { return m_message; }

private:
    Kind m_kind;
    QString m_message;
};

namespace convert {

// Full-width digits, signs, point, comma and blank (as the Japanese input method types
// them) replaced by their ASCII forms; every other character is kept: "１２０００円" → "12000円".
QString asciiDigits(const QString& text);

// The leading numeric part of a text, as the screens read their boxes:
// "12abc" → 12, " 3.5" → 3.5, "-4x" → -4, "" → 0, "abc" → 0. Full-width digits and
// signs count as their ASCII forms: "２人" → 2. A comma (either width) separates thousands
// only between groups of three digits after a first group of one to three: "1,000円" and
// "１２，０００" → 12000; any other comma ends the number: "1,5" → 1, "1,2345" → 1, ",5" → 0.
// Digits beyond a double's range read as an infinity.
double leadingNumber(const QString& text);

// Whether the leading number of a text ends at a comma that is followed by a digit but
// separates no thousands ("1,5", "1,2345", ",5"): a slip of the finger the clerk is asked
// about rather than a number read short.
bool strayComma(const QString& text);

// A number typed into a number cell, read as a whole: blanks around it, full-width forms
// and thousands separators between groups of three digits are fine ("１，０００" → 1000).
// Nothing when the text is no number ("", "-", ".", "-.", "1-2", "1,5", "1,2345", ",5");
// digits beyond a double's range read as an infinity.
std::optional<double> typedNumber(const QString& text);

// The refusal of a text typed where a number belongs: "「abc」は数値ではありません。".
// Kind Refused.
ConversionError notANumber(const QString& text);

// The range of a whole-number field, as its column holds it.
struct NumberLimit {
    double low = 0;
    double high = 0;
    static NumberLimit int16() { return {-32768.0, 32767.0}; }
    static NumberLimit int32() { return {-2147483648.0, 2147483647.0}; }
    bool holds(double value) const { return value >= low && value <= high; }
};

// The refusal of a typed value that its field does not take, in the clerk's words with
// the limit: above it "人数は 32767 までです。", below it "人数は -32768 から 32767 までの数です。".
// Kind Refused. (A text that is no number at all is told so by notANumber.)
ConversionError outOfLimit(const QString& field, const NumberLimit& limit, std::optional<double> value);

// A box read as a whole number of a field: its leading numeric part rounded half to
// even, refused with outOfLimit when it does not fit, and refused in the field's name when
// a stray comma would cut the number short ("人数の「1,5」は数として読めません。…").
qint16 fieldInt16(const QString& text, const QString& field);
qint32 fieldInt32(const QString& text, const QString& field);

// Whole number with halves to even: 2.5 → 2, 3.5 → 4, -2.5 → -2.
double roundHalfEven(double value);

// Rounded half to even, then range-checked; ConversionError(Overflow) outside the range.
qint16 toInt16(double value);
qint32 toInt32(double value);
// Sum of two 32-bit amounts that raises instead of wrapping.
qint32 addInt32(qint32 a, qint32 b);

// The day the clerk typed in the three boxes of the date control, or nothing when the
// parts name no real calendar day: an empty or non-numeric part, a year outside
// 1..9999, month 0 or 13, day 0, April 31, 2/29 of a common year. No roll-over.
// Blanks around a part and full-width digits are accepted ("０４" is April).
std::optional<QDate> strictDate(const QString& year, const QString& month, const QString& day);

// "2002/3/1": the day text put into statements (no leading zeros).
QString dayText(const QDate& date);
// The date of a day text as the stores take it ("2002/3/1", "2002-03-01", blanks around);
// a text that names no calendar day is refused (ConversionError, TypeMismatch).
QDate dateOfDayText(const QString& dayText);
// "2002/03/01": dates shown as text.
QString shortDateText(const QDate& date);
// A stored value as a list or a file shows it: empty for none, a date (or the day of a date
// and time) as "2002/03/01", anything else as its text.
QString dayCellText(const QVariant& value);

// The format of amounts in lists, grids and reports: 1234567 → "1,234,567".
inline const QString AmountFormat = QStringLiteral("#,##0");

// Number formats of amounts. "#,##0": 1234567 → "1,234,567", 0 → "0".
// "##,###,###": as the first but 0 → "". Negatives keep their sign. Any other
// format falls back to "#,##0".
QString formatNumber(double value, const QString& format = AmountFormat);

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

// Whether two codes name one entry as the files compare them: ASCII letters without regard
// to case, every other character exactly ("a1" is "A1", full-width "ａ1" is not "Ａ1").
bool sameCode(const QString& a, const QString& b);
// The text with its ASCII capitals made small and nothing else changed: the key under which
// codes that are the same (sameCode) sort and compare alike.
QString asciiFolded(QString text);

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
