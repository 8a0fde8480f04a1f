#pragma once

#include "codelist/CodeTable.h"

#include <optional>

namespace payclasssvc {

// The payment classes (ReciptClass in BTRecipt.mdb) as a code table: code and name.
desk::CodeTableDef paymentClassTable();
desk::CodeTable paymentClasses(const QString& dirPath);

// A class code as the payment items refer to it: a whole number that fits their 16-bit
// class column, kept in its plain form ("３" and "03" are class 3), so one number names
// one class. Nothing for a text that is no such number.
std::optional<QString> paymentClassCode(const QString& typed);

} // namespace payclasssvc
