#include "DateParts.h"

#include "Convert.h"

#include <QStringList>

#include <cmath>

namespace desk::convert {

namespace {

// One title for every refused part, in the clerk's language.
QString errorTitle() {
    return QStringLiteral("入力エラー");
}

bool isCommonYear(double year) {
    return std::fmod(year, 4.0) != 0.0 || (std::fmod(year, 100.0) == 0.0 && std::fmod(year, 400.0) != 0.0);
}

} // namespace

std::optional<PartRefusal> yearRefusal(const QString& year, int yearMode) {
    const qsizetype length = year.size();
    if (yearMode == 0 && length != 4)
        return PartRefusal{QStringLiteral("4桁で年号を入力してください。"), errorTitle()};
    if (yearMode == 1 && length != 2)
        return PartRefusal{QStringLiteral("2桁で年号を入力してください。"), errorTitle()};
    return std::nullopt;
}

std::optional<PartRefusal> monthRefusal(const QString& month) {
    const double number = leadingNumber(month);
    if (number > 12 || number <= 0)
        return PartRefusal{QStringLiteral("1から12までの月を入力してください。"), QString()};
    return std::nullopt;
}

std::optional<PartRefusal> dayRefusal(const QString& year, const QString& month, const QString& day) {
    const double number = leadingNumber(day);
    static const QStringList longMonths{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("5"),
                                        QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("10"),
                                        QStringLiteral("12")};
    static const QStringList shortMonths{QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("9"),
                                         QStringLiteral("11")};
    if (longMonths.contains(month)) {
        if (number > 31)
            return PartRefusal{QStringLiteral("31までの数を入力してください。"), errorTitle()};
    } else if (shortMonths.contains(month)) {
        if (number > 30)
            return PartRefusal{QStringLiteral("30までの数を入力してください。"), errorTitle()};
    } else if (month == QLatin1String("2")) {
        if (isCommonYear(roundHalfEven(leadingNumber(year))) && number > 28)
            return PartRefusal{QStringLiteral("うるう年ではありません。28までの数を入力してください。"), errorTitle()};
    }
    return std::nullopt;
}

} // namespace desk::convert
