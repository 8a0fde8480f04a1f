#include "LiteralTexts.h"

#include "data/Sql.h"

namespace tallysvc {

QString LiteralTexts::numberOf(const QString& text) {
    auto at = m_numbers.constFind(text);
    if (at == m_numbers.constEnd()) {
        at = m_numbers.insert(text, int(m_rows.size()));
        m_rows << QStringLiteral("(%1, %2)").arg(QString::number(m_rows.size()), desk::Sql::quote(text));
    }
    return QString::number(*at);
}

} // namespace tallysvc
