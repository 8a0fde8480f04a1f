#pragma once

#include "CheckIn.h"

#include <memory>
#include <optional>
#include <span>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace arrivalsvc {

// The six tables of the check-ins and their guest list on one connection to
// DaySalesCliants.mdb. Look-ups by number search forward from each row set's current row
// (the first row when opened), as the store's callers expect. The six rows are written,
// renumbered and deleted together, each in one transaction.
class CheckInTables {
public:
    explicit CheckInTables(const QString& dirPath);
    ~CheckInTables();

    CheckInTables(const CheckInTables&) = delete;
    CheckInTables& operator=(const CheckInTables&) = delete;

    const std::shared_ptr<desk::Connection>& connection() const { return m_connection; }

    // Whether a check-in has the number, found forward from the current row.
    bool taken(const QString& number);
    // The same, counted by a statement of its own: the row sets stay where they are.
    bool inUse(const QString& number) const;
    // The guest's name of check-in `number`, or nothing.
    std::optional<QString> nameOf(const QString& number);
    // The highest number made of digits only, plus one, as wide as it was; "1" on none.
    QString nextNumber();

    // Adds the six rows and the guest list of a new check-in, the unclassified under the
    // "none" codes.
    void add(const CheckIn& entry);
    // Rewrites the six rows stored as `stored`, moving them to entry.number, and replaces
    // the guest list; the fax number and the reservation link stay as first saved. A number
    // another check-in uses is refused.
    void rewrite(const QString& stored, const CheckIn& entry);
    void remove(const QString& stored);
    // The check-in and its guest list (the fax number, the reservation's day and times are not
    // read), or nothing when no check-in has the number.
    std::optional<CheckIn> load(const QString& number);
    // Marks check-in `stored` as checked out on `day`; a guest gone already keeps the day
    // first recorded.
    void checkOut(const QString& stored, const QDate& day);

    // A new row set of the stays matching `condition` (its texts quoted), over QRYCliantsDaySale.
    static std::unique_ptr<desk::RowSet> staysWhere(const std::shared_ptr<desk::Connection>& connection,
                                                    const QString& condition);

private:
    struct TextColumn {
        const char16_t* column;
        QString CheckIn::*field;
    };
    enum class Table { Cliants, Adrs, Groupe, Clasify };
    static std::span<const TextColumn> textColumns(Table table);

    desk::RowSet& rows(Table table);
    desk::RowSet& detailRows();
    desk::RowSet& badgetRows();
    bool find(desk::RowSet& rs, const QString& number);
    desk::RowSet& require(desk::RowSet& rs, const QString& table, const QString& number);
    static void putText(desk::RowSet& rs, Table table, const CheckIn& entry);
    static void putBadget(desk::RowSet& rs, const CheckIn& entry);
    static void requireExemptWithinParty(const CheckIn& entry);
    void putGuests(const CheckIn& entry);

    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_cliants;
    std::unique_ptr<desk::RowSet> m_clasify;
    std::unique_ptr<desk::RowSet> m_badget;
    std::unique_ptr<desk::RowSet> m_detail;
    std::unique_ptr<desk::RowSet> m_groupe;
    std::unique_ptr<desk::RowSet> m_adrs;
};

} // namespace arrivalsvc
