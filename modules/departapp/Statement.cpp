#include "Statement.h"

namespace departapp {

QString statementSource() {
    return QStringLiteral("SELECT * FROM CheckOutTemp");
}

} // namespace departapp
