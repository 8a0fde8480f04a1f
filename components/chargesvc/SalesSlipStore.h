#pragma once

#include "chargesvc/SalesSlip.h"
#include "slipkit/SlipHeader.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace chargesvc {

// The statements of the sales file: slip headers (BTSalesNo), their lines (BTSalesDetail)
// and this desk's lines of the work table (BTTempSalesDetail). It opens no transaction: the
// use cases and SalesClass wrap what they run in one.
class SalesSlipStore {
public:
    explicit SalesSlipStore(std::shared_ptr<desk::Connection> connection);
    // BTSales.mdb of a data directory.
    static SalesSlipStore open(const QString& dirPath);
    ~SalesSlipStore();
    SalesSlipStore(SalesSlipStore&&) noexcept;
    SalesSlipStore& operator=(SalesSlipStore&&) noexcept;

    desk::Connection& connection() const { return *m_connection; }

    bool isTaken(qint32 number) const;
    // The highest number plus one, 1 for none.
    qint32 nextNumber();
    std::optional<slipkit::SlipHeader> header(qint32 number);
    void insertHeader(const slipkit::SlipHeader& header);
    // Date, check-in number and sales class of slip header.number; false when there is none.
    bool rewriteHeader(const slipkit::SlipHeader& header);
    // False when there is none.
    bool deleteHeader(qint32 number);
    void deleteLines(qint32 number);

    // Writes the lines under a slip number, without touching the work lines.
    void insertLines(qint32 number, const QList<SalesSlipLine>& lines);
    // The quantity of a check-in's sales lines of each commodity code (codes compared as the
    // key does, each code as given); 0 for a code with none.
    QHash<QString, double> quantitiesOf(const QString& checkInNo, const QStringList& codes) const;

    // This desk's work lines in the order they were written.
    QList<SalesSlipLine> workLines() const;
    // Copies them under a slip number, in one statement; the number of lines copied.
    int copyWorkLines(qint32 number);
    // Appends the slip's stored lines to this desk's work lines, their figures worked out.
    void loadIntoWork(qint32 number);
    void clearWork();

    // This desk's work lines as the printed slip lists them, each with ReducedMark "※" when
    // its rate is the reduced rate given (none marks no line).
    std::unique_ptr<desk::RowSet> printedWorkLines(const std::optional<double>& reducedRate);
    // Whether a work line of this desk is at the rate.
    bool workHasLineAt(double rate) const;

private:
    desk::RowSet& headers();

    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_headers;
};

} // namespace chargesvc
