#pragma once

#include "codelist/CodeTable.h"

namespace payitemsvc {

// The payment items (ReciptCode in BTRecipt.mdb) as a code table: code, name, payment
// class (a 16-bit number), two remark lines.
desk::CodeTableDef paymentItemTable();
desk::CodeTable paymentItems(const QString& dirPath);

} // namespace payitemsvc
