#include "InnSettings.h"

#include "InnProfile.h"

#include "data/Connection.h"
#include "taxsvc/TaxSettings.h"

namespace firmsvc {

std::optional<SettingsRefusal> changeRefusal(const QString& dirPath, const taxsvc::RateTable& rates,
                                             const taxsvc::LevyTable& levies, const QDate& today) {
    const taxsvc::TaxSettings saved = taxsvc::TaxSettings::readFrom(dirPath);
    const auto sales = desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Sales));
    if (const QString refusal = taxsvc::rateChangeRefusal(saved.rates, rates, today, *sales); !refusal.isEmpty())
        return SettingsRefusal{SettingsRefusal::Part::Rates, refusal};
    const auto clients = desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    if (const QString refusal = taxsvc::levyChangeRefusal(saved.levies, levies, today, *clients); !refusal.isEmpty())
        return SettingsRefusal{SettingsRefusal::Part::Levies, refusal};
    return std::nullopt;
}

void saveSettings(const QString& dirPath, const InnSettings& settings) {
    OptionDataClass profile;
    profile.setDirPath(dirPath);
    profile.ConnectDb();
    profile.setMyCompanyName(settings.profile.MyCompanyName);
    profile.setMyAddress(settings.profile.MyAddress);
    profile.setMyZipCode(settings.profile.MyZipCode);
    profile.setMyTelNo(settings.profile.MyTelNo);
    profile.setMyFaxNo(settings.profile.MyFaxNo);
    profile.setMyURL(settings.profile.MyURL);
    profile.setMyEmail(settings.profile.MyEmail);
    profile.setMyComment(settings.profile.MyComment);
    profile.setServiceFee(settings.serviceFee);
    profile.setTaxRounding(settings.taxRounding);
    profile.setInvoiceNo(settings.invoiceNo);
    desk::Transaction transaction(profile.connection());
    profile.EditData();
    taxsvc::writeRates(profile.connection(), settings.rates);
    taxsvc::writeLevies(profile.connection(), settings.levies);
    transaction.commit();
}

} // namespace firmsvc
