#pragma once

#include <QString>
#include <QVariant>

namespace desk {

// How the data layer reads and writes one column, decided by its declared type.
enum class ColumnType {
    Untyped, // expression columns of views and statements: the engine's own storage class
    Text,
    Int16,
    Int32,
    Int64,
    Double,
    Bool,
    Date,
    DateTime,
};

namespace columntype {

ColumnType fromDeclared(const QString& declaredType);

// The value to hand to the engine for a column of this type. A value the column refuses
// (a text that is no number for a number column, an out-of-range integer, a text that is
// no date) sets *ok to false.
QVariant toStorage(ColumnType type, const QVariant& value, bool* ok);

// The typed value of a stored one: QDate, QDateTime, qint64, double, bool or QString; null
// stays null.
QVariant fromStorage(ColumnType type, const QVariant& stored);

// A date written as year/month/day, year-month-day (with or without leading zeros, with an
// optional time of day), or month/day/year with a four-digit year last.
QDateTime parseDateTime(const QString& text, bool* hasTime = nullptr);

} // namespace columntype
} // namespace desk
