#pragma once

#include "convert/CompanyProfile.h"
#include "taxsvc/LevyRules.h"
#include "taxsvc/TaxRules.h"

#include <QDate>
#include <QString>

#include <optional>

namespace firmsvc {

// Everything the inn's settings window saves with one key: the profile's eight texts, the
// service charge, the rounding of a bill's tax, the invoice number, the consumption-tax
// rates and the levies.
struct InnSettings {
    desk::CompanyProfile profile;
    double serviceFee = 0;
    int taxRounding = 0;
    QString invoiceNo;
    taxsvc::RateTable rates;
    taxsvc::LevyTable levies;
};

// Why changed rates or levies may not replace the stored ones today (a change that would
// reprice slips or stays already settled), and which of the two it is about.
struct SettingsRefusal {
    enum class Part { Rates, Levies };
    Part part;
    QString text;
};
std::optional<SettingsRefusal> changeRefusal(const QString& dirPath, const taxsvc::RateTable& rates,
                                             const taxsvc::LevyTable& levies, const QDate& today);

// Writes the settings in one transaction: all of them or none.
void saveSettings(const QString& dirPath, const InnSettings& settings);

} // namespace firmsvc
