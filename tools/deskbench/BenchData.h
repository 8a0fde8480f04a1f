#pragma once

#include <QDate>
#include <QString>
#include <QTextStream>

namespace deskbench {

// The size of a generated data directory: a 20-room inn over a number of years.
struct Scale {
    int years = 10;
    qint64 reservations = 0;
    qint64 checkIns = 0;
    qint64 salesSlips = 0;
    qint64 salesLines = 0;
    qint64 paymentSlips = 0;
    qint64 paymentLines = 0;

    static Scale forYears(int years);
    QString label() const;
};

// Builds the five files in `dir` (which must hold none of them) with the reference rows and
// `scale` worth of bookings, check-ins and slips over the years up to `today`.
void buildDataDirectory(const QString& dir, const Scale& scale, const QDate& today, QTextStream& progress);

// The scale label and last day of a directory built by buildDataDirectory; empty when
// the directory holds no such build.
QString builtLabel(const QString& dir, QDate* today);

// Check-in number of the n-th generated check-in (1-based), as the bench data spells it.
QString checkInNumber(qint64 n);

// Gives `guest` four sales slips of ten lines each, at the standard and the reduced rate,
// and three payments above the highest slip numbers in `dir`, unless an earlier run did: the
// statement of a check-out. The slips are dated `lastDay`, or the four days up to it when
// `oneSlipADay`.
void addStatementSlips(const QString& dir, const QString& guest, const QDate& lastDay, bool oneSlipADay);

} // namespace deskbench
