#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tallysvc {

// The texts of a result made of literal rows, each written once: the rows name a text by its
// number, and values() is the list "(0, '…'), (1, '…')" to join them to. Every text literal of
// a statement becomes a bound value, and binding costs grow with the square of their count.
class LiteralTexts {
public:
    // The number of text, given it on first sight.
    QString numberOf(const QString& text);
    // The texts as VALUES rows (number, text), in the order they were first seen.
    QString values() const { return m_rows.join(QStringLiteral(", ")); }

private:
    QStringList m_rows;
    QHash<QString, int> m_numbers;
};

} // namespace tallysvc
