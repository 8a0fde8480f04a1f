#pragma once

#include "NightsOffer.h"
#include "Statement.h"

#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace departsvc {

// The check-out desk's actions on one data directory, one call each. Failures are thrown
// (desk::DbError, desk::ConversionError).
class Settlement {
public:
    explicit Settlement(QString dirPath);

    // The statement of the check-in settled on `settledOn` (today when null), worked out
    // from its sales and payments as they are on file. The consumption tax is worked out per
    // rate at the rates in force that day (a day no rate covers is a desk::DbError); the
    // bathing and accommodation taxes in force follow the tax lines, one line each, in the
    // total but in no rate's base, the nights running from the check-in date to that day.
    // Amounts beyond 32 bits raise desk::ConversionError.
    // The lines of an offer of nights, not saved yet, count as the check-in's sales lines
    // (no slip number, dated the settlement day).
    Statement statementOf(const QString& checkInNo, const QDate& settledOn, const NightsOffer& offer = {}) const;
    // The same, put in place of this desk's statement in CheckOutTemp for the bill to print:
    // the old rows go and the new ones come in one transaction, or the old stay.
    Statement showStatement(const QString& checkInNo, const QDate& settledOn, const NightsOffer& offer = {}) const;
    // Empties this desk's statement in CheckOutTemp (nothing to do when it is empty).
    void clearStatement() const;
    // A new row set over this desk's statement in CheckOutTemp, in the order written.
    std::unique_ptr<desk::RowSet> statementRows() const;

    // The files a statement is worked out from; CheckOutClass keeps its own open.
    struct Files {
        std::shared_ptr<desk::Connection> option;
        std::shared_ptr<desk::Connection> sales;
        std::shared_ptr<desk::Connection> recipt;
    };
    static Statement work(const QString& dirPath, const Files& files, const QString& checkInNo, const QDate& settledOn,
                          const NightsOffer& offer = {});
    // Appends the statement's lines to this desk's rows of CheckOutTemp, all or none.
    static void append(desk::Connection& option, const Statement& statement);

private:
    QString m_dirPath;
};

} // namespace departsvc
