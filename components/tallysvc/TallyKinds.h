#pragma once

#include "taxsvc/TaxRules.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace desk {
class Engine;
class RowSet;
} // namespace desk

namespace tallysvc {

// The thirteen aggregations: what each reads and the columns of its result. Kinds 0–2 total
// sales, 3–4 payments, 5–9 count guests by one of their five classifications, 10 sums
// sales per tax rate, 11 is the return of the bathing and accommodation taxes
// (LevyWorksheet), 12 the occupancy of the rooms (Occupancy). TallyResult runs a kind; the
// aggregation window lays its rows out.

constexpr int KindCount = 13;
constexpr int TaxRateKind = 10;
constexpr int LevyKind = 11;
constexpr int OccupancyKind = 12;

// The kind chosen by the subject (0 sales, 1 payments, 2 guests) and the element chosen
// in that subject's group; -1 when the pair names no kind.
int kindOf(int subject, int element);

// The database file the kind reads.
QString fileName(int kind);

// The statement of the kind over the period, in the suite's dialect for the engine that runs
// it. The two days go in through the dialect's date literal, never as typed text. The tax-rate
// kind's statement is its grouped query (taxRateStatement) over the given rates.
QString statement(int kind, const QDate& first, const QDate& last, const desk::Engine& engine,
                  const taxsvc::RateTable& rates = {});

// The grouped query behind the tax-rate kind: each sales line of the period goes to the rate
// it is taxed at on its slip's day, as the bill taxes it (its own rate when that is the
// reduced rate in force, else the standard rate when taxed; the service on an untaxed line
// to the standard rate). One row per rate and kind: rate, reduced (1 or 0), base (subtotals
// and service, unrounded) and slips (distinct slips with a line at that rate), highest rate
// first, the standard before the reduced. Lines of days no rate covers are left out.
QString taxRateStatement(const taxsvc::RateTable& rates, const QDate& first, const QDate& last);

// The tax-rate kind's result from the rows of its grouped query: a statement of literal rows
// with 税率 ("10%", "8%（軽減）"), 対象額 and 消費税 (the base × rate ÷ 100, rounded once per
// rate over the period with the inn's rounding) and 伝票数.
QString taxRateResult(desk::RowSet& grouped, taxsvc::Rounding rounding);

// The result columns (0..8, kinds 5–9 share layout 5): how the grid, the report and the
// chart lay the kind out.
int layoutOf(int kind);

// The printed title of the kind, and the result columns whose sums the report footer (and
// the CSV's totals line) carries.
QString reportTitle(int kind);
QStringList summedFields(int kind);

} // namespace tallysvc
