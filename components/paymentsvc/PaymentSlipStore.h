#pragma once

#include "paymentsvc/PaymentSlip.h"
#include "slipkit/SlipHeader.h"

#include <QString>

#include <memory>
#include <optional>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace paymentsvc {

// The statements of the payment file: slip headers (BTPaymentNo), their lines
// (BTPaymentDtl) and this desk's lines of the work table (BTReciptTemp). It opens no
// transaction: the use cases and ReciptSlp wrap what they run in one.
class PaymentSlipStore {
public:
    explicit PaymentSlipStore(std::shared_ptr<desk::Connection> connection);
    // BTRecipt.mdb of a data directory.
    static PaymentSlipStore open(const QString& dirPath);
    ~PaymentSlipStore();
    PaymentSlipStore(PaymentSlipStore&&) noexcept;
    PaymentSlipStore& operator=(PaymentSlipStore&&) noexcept;

    desk::Connection& connection() const { return *m_connection; }
    std::shared_ptr<desk::Connection> sharedConnection() const { return m_connection; }

    // The slip of a number typed as text (the text is quoted, never part of the criterion);
    // the header row stays current for rewriteHeader and deleteHeader.
    std::optional<slipkit::SlipHeader> header(const QString& number);
    std::optional<slipkit::SlipHeader> header(qint32 number) { return header(QString::number(number)); }
    bool isTaken(qint32 number) const;
    // The highest number plus one, 1 for none.
    qint32 nextNumber();
    void insertHeader(const slipkit::SlipHeader& header);
    // Number, date, check-in number and kind of slip `current`; false when there is none.
    bool rewriteHeader(qint32 current, const slipkit::SlipHeader& header);
    // False when there is none.
    bool deleteHeader(qint32 number);
    void deleteLines(qint32 number);

    // This desk's work lines in the order they were written.
    QList<PaymentSlipLine> workLines() const;
    // Copies them under a slip number, in one statement; the number of lines copied.
    int copyWorkLines(qint32 number);
    // Appends the slip's stored lines, with their item names, to this desk's work lines.
    void loadIntoWork(qint32 number);
    void clearWork();
    // This desk's work lines, as the receipt lists them.
    std::unique_ptr<desk::RowSet> openWorkLines();

private:
    desk::RowSet& headers();
    bool findHeader(const QString& number);

    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_headers;
};

} // namespace paymentsvc
