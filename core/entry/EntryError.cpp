#include "EntryError.h"

namespace desk {

EntryError::EntryError(const QString& message)
    : std::runtime_error(message.toStdString())
    , m_message(message) {}

} // namespace desk
