#include "Statement.h"

namespace departsvc {

namespace {

const QString Marked = QStringLiteral("*");
const QString Unmarked = QStringLiteral("-");

QVariant orNull(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant();
}

QVariant mark(const std::optional<double>& rate) {
    if (!rate)
        return {};
    return *rate != 0 ? Marked : Unmarked;
}

} // namespace

QVariant StatementLine::value(const QString& column) const {
    const auto is = [&column](const char* wanted) {
        return column.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
    };
    if (is("SalesNo"))
        return slipNo ? QVariant(*slipNo) : QVariant();
    if (is("SalesDate"))
        return date.isValid() ? QVariant(date) : QVariant();
    if (is("Slcmcode"))
        return kind == Kind::Sale || kind == Kind::Payment ? QVariant(code) : QVariant();
    if (is("Slcmname"))
        return name;
    if (is("Slcmspec"))
        return kind == Kind::Sale ? QVariant(spec) : QVariant();
    if (is("Slquantity"))
        return orNull(quantity);
    if (is("Slunitp"))
        return orNull(unitPrice);
    if (is("SlSubTotal"))
        return amount;
    if (is("SlSv"))
        return mark(serviceRate);
    if (is("SlSv2"))
        return orNull(serviceRate);
    if (is("SlTax"))
        return mark(taxRate);
    if (is("SlTax2"))
        return orNull(taxRate);
    if (is("SlReduced"))
        return reduced ? QVariant(QStringLiteral("※")) : QVariant();
    if (is("SlTaxRate"))
        return orNull(rate);
    if (is("SlTaxBase"))
        return orNull(base);
    return {};
}

double Statement::due() const {
    return lines.isEmpty() ? 0.0 : lines.constLast().amount;
}

QList<Statement::RateBlock> Statement::rateBlocks() const {
    QList<RateBlock> blocks;
    for (const StatementLine& line : lines) {
        if (line.rate)
            blocks.append({*line.rate, line.base.value_or(0), line.amount});
    }
    return blocks;
}

bool Statement::anyReduced() const {
    for (const StatementLine& line : lines) {
        if (line.reduced)
            return true;
    }
    return false;
}

} // namespace departsvc
