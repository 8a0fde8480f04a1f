#include "PaymentClasses.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace payclasssvc {

desk::CodeTableDef paymentClassTable() {
    return {desk::DbFile::Recipt, u"ReciptClass"_s, u"入金区分"_s, {{u"RptClassCode"_s}, {u"RptClassName"_s}}};
}

desk::CodeTable paymentClasses(const QString& dirPath) {
    return desk::CodeTable(paymentClassTable(), dirPath);
}

std::optional<QString> paymentClassCode(const QString& typed) {
    const QString text = typed.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text) {
        if (!c.isDigit())
            return std::nullopt;
    }
    bool ok = false;
    const qint16 number = text.toShort(&ok);
    return ok ? std::optional<QString>(QString::number(number)) : std::nullopt;
}

} // namespace payclasssvc
