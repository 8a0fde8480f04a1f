#pragma once

#include "ColumnType.h"

#include <QString>
#include <QVariant>

namespace desk {

// One find criterion of the dialect: a column, a comparison and a value, as in
// "RvNo =5", "RptNo = '5'", "CheckInNo = 'A''1'", "RvUseDate = #2002/3/1#",
// "CheckOutFlag = False" or "RvDate = Null". Parsed, never pasted into a statement.
class Criterion {
public:
    // Throws DbError naming the criterion when it is not of that form.
    static Criterion parse(const QString& text);

    QString column() const { return m_column; }
    // "=", "<>", "<", ">", "<=" or ">=".
    QString op() const { return m_op; }
    bool isNull() const { return m_kind == Kind::Null; }

    // The value to compare a column of this type with, in the engine's storage form. A value
    // the column cannot hold (a text that is no number against a number column) comes back
    // as it was written, so it simply matches nothing.
    QVariant operand(ColumnType type) const;
    // Whether a column of this type can hold the operand at all ("5' OR 1" in a number
    // column cannot): "=" then finds no row, on every engine.
    bool fits(ColumnType type) const;

    // Compares a stored value (storage form) with the operand, the way the engine would.
    bool matches(const QVariant& stored, ColumnType type) const;

private:
    enum class Kind { Text, Number, Date, Bool, Null };
    QString m_column;
    QString m_op;
    Kind m_kind = Kind::Null;
    QVariant m_value; // QString for text and numbers (the number as written), QDate, bool
};

} // namespace desk
