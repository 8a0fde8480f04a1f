#include "DbError.h"

namespace desk {

namespace {
QString compose(const QString& message, const QString& statement, const QString& file) {
    QString text = message;
    if (!statement.isEmpty())
        text += QStringLiteral(" [statement: ") + statement + QLatin1Char(']');
    if (!file.isEmpty())
        text += QStringLiteral(" [file: ") + file + QLatin1Char(']');
    return text;
}
} // namespace

DbError::DbError(const QString& message, const QString& statement, const QString& file)
    : std::runtime_error(compose(message, statement, file).toStdString())
    , m_message(message)
    , m_statement(statement)
    , m_file(file) {}

} // namespace desk
