#include "TallyResult.h"

#include "Aggregation.h"
#include "data/Connection.h"
#include "data/RowSet.h"

namespace tallyapp {

TallyResult::TallyResult(const QString& dirPath, int kind, const QDate& first, const QDate& last)
    : m_kind(kind)
    , m_first(first)
    , m_last(last)
    , m_statement(Aggregation::statement(kind, first, last))
    , m_connection(desk::Connection::open(dirPath, Aggregation::fileName(kind)))
    , m_rows(std::make_unique<desk::RowSet>(m_connection, m_statement)) {
    // Read now, so that a failing statement is reported by the run that caused it.
    m_rows->recordCount();
}

TallyResult::~TallyResult() = default;

} // namespace tallyapp
