#include "convert/Holidays.h"

namespace desk::convert {

namespace {

// The n-th Monday of a month.
int nthMonday(int year, int month, int n) {
    const int firstDow = QDate(year, month, 1).dayOfWeek(); // 1 = Monday
    return 1 + (8 - firstDow) % 7 + (n - 1) * 7;
}

int vernalEquinoxDay(int year) {
    if (year < 1900 || year > 2099) {
        return 0;
    }
    // Integer division truncates towards zero, as the approximation expects before 1983.
    if (year < 1980) {
        return int(20.8357 + 0.242194 * (year - 1980) - (year - 1983) / 4);
    }
    return int(20.8431 + 0.242194 * (year - 1980) - (year - 1980) / 4);
}

int autumnalEquinoxDay(int year) {
    if (year < 1900 || year > 2099) {
        return 0;
    }
    if (year < 1980) {
        return int(23.2588 + 0.242194 * (year - 1980) - (year - 1983) / 4);
    }
    return int(23.2488 + 0.242194 * (year - 1980) - (year - 1980) / 4);
}

// A holiday the law names for this very day (not a substitute nor a day between two).
QString namedHoliday(const QDate& date) {
    static const QDate lawStart(1948, 7, 20);
    if (!date.isValid() || date < lawStart) {
        return {};
    }
    const int y = date.year();
    const int m = date.month();
    const int d = date.day();
    const bool monday = date.dayOfWeek() == Qt::Monday;

    // One-off days by their own laws.
    if (date == QDate(1959, 4, 10)) {
        return QStringLiteral("皇太子明仁親王の結婚の儀");
    }
    if (date == QDate(1989, 2, 24)) {
        return QStringLiteral("昭和天皇の大喪の礼");
    }
    if (date == QDate(1990, 11, 12) || date == QDate(2019, 10, 22)) {
        return QStringLiteral("即位礼正殿の儀");
    }
    if (date == QDate(1993, 6, 9)) {
        return QStringLiteral("皇太子徳仁親王の結婚の儀");
    }
    if (date == QDate(2019, 5, 1)) {
        return QStringLiteral("即位の日");
    }

    switch (m) {
    case 1:
        if (d == 1 && y >= 1949) {
            return QStringLiteral("元日");
        }
        if (y >= 1949 && ((y < 2000 && d == 15) || (y >= 2000 && monday && d == nthMonday(y, 1, 2)))) {
            return QStringLiteral("成人の日");
        }
        break;
    case 2:
        if (d == 11 && y >= 1967) {
            return QStringLiteral("建国記念の日");
        }
        if (d == 23 && y >= 2020) {
            return QStringLiteral("天皇誕生日");
        }
        break;
    case 3:
        if (y >= 1949 && d == vernalEquinoxDay(y)) {
            return QStringLiteral("春分の日");
        }
        break;
    case 4:
        if (d == 29 && y >= 1949) {
            if (y < 1989) {
                return QStringLiteral("天皇誕生日");
            }
            return y < 2007 ? QStringLiteral("みどりの日") : QStringLiteral("昭和の日");
        }
        break;
    case 5:
        if (d == 3 && y >= 1949) {
            return QStringLiteral("憲法記念日");
        }
        if (d == 4 && y >= 2007) {
            return QStringLiteral("みどりの日");
        }
        if (d == 5 && y >= 1949) {
            return QStringLiteral("こどもの日");
        }
        break;
    case 7:
        if (y == 2020 || y == 2021) {
            // The Olympic year and its postponement moved three holidays around the games.
            if (d == (y == 2020 ? 23 : 22)) {
                return QStringLiteral("海の日");
            }
            if (d == (y == 2020 ? 24 : 23)) {
                return QStringLiteral("スポーツの日");
            }
        } else if ((y >= 1996 && y < 2003 && d == 20) || (y >= 2003 && monday && d == nthMonday(y, 7, 3))) {
            return QStringLiteral("海の日");
        }
        break;
    case 8:
        if (y == 2020 || y == 2021) {
            if (d == (y == 2020 ? 10 : 8)) {
                return QStringLiteral("山の日");
            }
        } else if (d == 11 && y >= 2016) {
            return QStringLiteral("山の日");
        }
        break;
    case 9:
        if ((y >= 1966 && y < 2003 && d == 15) || (y >= 2003 && monday && d == nthMonday(y, 9, 3))) {
            return QStringLiteral("敬老の日");
        }
        if (d == autumnalEquinoxDay(y)) {
            return QStringLiteral("秋分の日");
        }
        break;
    case 10:
        if (y >= 1966 && y < 2000 && d == 10) {
            return QStringLiteral("体育の日");
        }
        if (y >= 2000 && y != 2020 && y != 2021 && monday && d == nthMonday(y, 10, 2)) {
            return y < 2020 ? QStringLiteral("体育の日") : QStringLiteral("スポーツの日");
        }
        break;
    case 11:
        if (d == 3) {
            return QStringLiteral("文化の日");
        }
        if (d == 23) {
            return QStringLiteral("勤労感謝の日");
        }
        break;
    case 12:
        if (d == 23 && y >= 1989 && y < 2019) {
            return QStringLiteral("天皇誕生日");
        }
        break;
    default:
        break;
    }
    return {};
}

} // namespace

QString holidayName(const QDate& date) {
    QString name = namedHoliday(date);
    if (!name.isEmpty()) {
        return name;
    }
    if (!date.isValid()) {
        return {};
    }

    // A holiday on a Sunday gives the next working day off: from 1973-04-12 the Monday
    // after it, from 2007 the first day after it that is no holiday itself.
    if (date >= QDate(1973, 4, 12)) {
        if (date.year() < 2007) {
            const QDate sunday = date.addDays(-1);
            if (sunday.dayOfWeek() == Qt::Sunday && !namedHoliday(sunday).isEmpty()) {
                return QStringLiteral("振替休日");
            }
        } else {
            for (QDate day = date.addDays(-1); !namedHoliday(day).isEmpty(); day = day.addDays(-1)) {
                if (day.dayOfWeek() == Qt::Sunday) {
                    return QStringLiteral("振替休日");
                }
            }
        }
    }

    // A weekday held between two holidays is a holiday too (from 1985-12-27).
    if (date >= QDate(1985, 12, 27) && date.dayOfWeek() != Qt::Sunday && !namedHoliday(date.addDays(-1)).isEmpty() &&
        !namedHoliday(date.addDays(1)).isEmpty()) {
        return QStringLiteral("国民の休日");
    }
    return {};
}

} // namespace desk::convert
