#pragma once

#include <QDate>
#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace tallysvc {

// One aggregation run, the store's one use case: the kind, the period and the open result
// rows, read whole once. The result window, its report and its export all read these rows;
// nothing is queried again.
class TallyResult {
public:
    // Opens the kind's file in the data directory and runs its statement; DbError on failure.
    TallyResult(const QString& dirPath, int kind, const QDate& first, const QDate& last);
    ~TallyResult();

    TallyResult(const TallyResult&) = delete;
    TallyResult& operator=(const TallyResult&) = delete;

    int kind() const { return m_kind; }
    QDate first() const { return m_first; }
    QDate last() const { return m_last; }
    QString statement() const { return m_statement; }
    desk::RowSet& rows() const { return *m_rows; }

private:
    int m_kind;
    QDate m_first;
    QDate m_last;
    QString m_statement;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_rows;
};

} // namespace tallysvc
