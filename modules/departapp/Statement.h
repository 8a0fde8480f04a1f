#pragma once

#include <QString>

namespace departapp {

// This desk's statement in CheckOutTemp, in the order the builder wrote it. The grid and
// the bill both read it through here, so that they show the same rows.
QString statementSource();

} // namespace departapp
