#include "PaymentItems.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace payitemsvc {

desk::CodeTableDef paymentItemTable() {
    return {desk::DbFile::Recipt,
            u"ReciptCode"_s,
            u"入金項目"_s,
            {{u"RptCode"_s},
             {u"RptName"_s},
             {u"RptClass"_s, desk::CodeField::Int16},
             {u"RptRemarks1"_s},
             {u"RptRemarks2"_s}}};
}

desk::CodeTable paymentItems(const QString& dirPath) {
    return desk::CodeTable(paymentItemTable(), dirPath);
}

} // namespace payitemsvc
