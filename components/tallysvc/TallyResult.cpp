#include "TallyResult.h"

#include "TallyKinds.h"
#include "LevyWorksheet.h"
#include "Occupancy.h"
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/RowSet.h"
#include "taxsvc/TaxSettings.h"

namespace tallysvc {

TallyResult::TallyResult(const QString& dirPath, int kind, const QDate& first, const QDate& last)
    : m_kind(kind)
    , m_first(first)
    , m_last(last)
    , m_connection(desk::Connection::open(dirPath, fileName(kind))) {
    if (kind == TaxRateKind) {
        // The rates and the rounding live in dbOptionBT.mdb; the grouped sums come from the
        // sales in one query, and the tax of each rate is rounded here, once.
        const taxsvc::TaxSettings settings = taxsvc::TaxSettings::readFrom(dirPath);
        m_statement = tallysvc::statement(kind, first, last, m_connection->engine(), settings.rates);
        desk::RowSet grouped(m_connection, m_statement);
        m_rows = std::make_unique<desk::RowSet>(m_connection, taxRateResult(grouped, settings.rounding));
    } else if (kind == LevyKind) {
        // Each stay is worked out as its bill is, from the check-ins, the sales and the rules.
        m_statement = levyWorksheet(dirPath, first, last);
        m_rows = std::make_unique<desk::RowSet>(m_connection, m_statement);
    } else if (kind == OccupancyKind) {
        m_statement = occupancyStatement(dirPath, first, last);
        m_rows = std::make_unique<desk::RowSet>(m_connection, m_statement);
    } else {
        m_statement = tallysvc::statement(kind, first, last, m_connection->engine());
        m_rows = std::make_unique<desk::RowSet>(m_connection, m_statement);
    }
    // Read now, so that a failing statement is reported by the run that caused it.
    m_rows->recordCount();
}

TallyResult::~TallyResult() = default;

} // namespace tallysvc
