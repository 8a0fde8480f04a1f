#pragma once

#include <QString>

#include <optional>

namespace goodssvc {

// One commodity as a value: its row of Commodities with its standard price (CMprice0).
struct Commodity {
    QString code;
    QString name;
    QString classCode;
    QString unit;
    QString remarks;
    qint32 price = 0;
    int taxClass = 0;
    bool service = true;
    int roomShare = 0;
    // The meals a stay plan includes per guest and night (the kitchen's counts read them).
    bool dinner = false;
    bool breakfast = false;
};

// The room share (the percent of the price that is the room) as typed: a whole number from
// 0 to 100, blanks and full-width forms allowed, empty is 0; nothing for anything else.
std::optional<int> roomShareOf(const QString& typed);

// The use cases of the commodity maintenance, each on a store of its own, each write in
// one transaction with its check. Price levels 1 to 4 are written as 0. Codes compare as
// the key does (ASCII letters case-blind). Failures are thrown (desk::DbError).
class Commodities {
public:
    enum class Write { Written, Taken };

    explicit Commodities(QString dirPath);

    std::optional<Commodity> find(const QString& code) const;
    bool isTaken(const QString& code) const;
    // Adds the commodity unless its code is taken.
    Write add(const Commodity& commodity) const;
    // Rewrites the commodity calledCode, whose code may change: a new code is refused when
    // another commodity has it; the same code in other letter case is its own.
    Write correct(const QString& calledCode, const Commodity& commodity) const;
    // Deletes the commodity; its sales lines keep their code.
    void remove(const QString& code) const;

    // The commodity list of the saved query CodeTable in code order, with how each commodity
    // is taxed: CTaxClassName (its tax class by name) and CServiceMark ("○" where the
    // service charge applies). A statement of BTSales.mdb.
    static QString listStatement();

private:
    QString m_dirPath;
};

} // namespace goodssvc
