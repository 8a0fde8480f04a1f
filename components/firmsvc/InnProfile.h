#pragma once

#include "convert/CompanyProfile.h"

#include <QString>

#include <memory>
#include <optional>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace firmsvc {

// The inn's own profile: the single row of CompanyProfile in dbOptionBT.mdb, printed on
// every slip and report.
//
// setDirPath(), ConnectDb(), DisplyData(); then read the eight texts and the tax settings of
// the row, or set them and call EditData(). Every failure is thrown (desk::DbError), an empty
// table included.
class OptionDataClass {
public:
    OptionDataClass();
    ~OptionDataClass();

    OptionDataClass(const OptionDataClass&) = delete;
    OptionDataClass& operator=(const OptionDataClass&) = delete;

    // Opens dbOptionBT.mdb and the row set over CompanyProfile, standing on its first row.
    void ConnectDb();
    // Moves to the first row and copies its columns into the properties.
    void DisplyData();
    // Writes the eight texts into the current row, and the service charge, rounding and
    // invoice number once read or set: a save of the texts alone leaves those as stored.
    void EditData();

    void setDirPath(const QString& dirPath) { m_dirPath = dirPath; }

    // The service charge in percent (ServiceFee), a whole number (halves to even).
    void setServiceFee(double value);
    double ServiceFee() const { return m_serviceFee.value_or(0); }
    // How a bill's tax becomes whole yen (TaxRounding): 0 halves to even, 1 down, 2 half up.
    void setTaxRounding(int value) { m_taxRounding = value; }
    int TaxRounding() const { return m_taxRounding.value_or(0); }
    // The invoice registration number (InvoiceNo); empty when the inn has none.
    void setInvoiceNo(const QString& value) { m_invoiceNo = value; }
    QString InvoiceNo() const { return m_invoiceNo.value_or(QString()); }
    // Accepted and dropped: nothing keeps a tax rate here.
    void setSalesTax(double) {}
    double SalesTax() const { return 0; }

    void setMyCompanyName(const QString& value) { m_myCompanyName = value; }
    QString MyCompanyName() const { return m_myCompanyName; }
    void setMyZipCode(const QString& value) { m_myZipCode = value; }
    QString MyZipCode() const { return m_myZipCode; }
    void setMyAddress(const QString& value) { m_myAddress = value; }
    QString MyAddress() const { return m_myAddress; }
    void setMyTelNo(const QString& value) { m_myTelNo = value; }
    QString MyTelNo() const { return m_myTelNo; }
    void setMyFaxNo(const QString& value) { m_myFaxNo = value; }
    QString MyFaxNo() const { return m_myFaxNo; }
    void setMyURL(const QString& value) { m_myURL = value; }
    QString MyURL() const { return m_myURL; }
    void setMyEmail(const QString& value) { m_myEmail = value; }
    QString MyEmail() const { return m_myEmail; }
    void setMyComment(const QString& value) { m_myComment = value; }
    QString MyComment() const { return m_myComment; }
    // The eight texts as the main menu hands them to the modules.
    desk::CompanyProfile companyProfile() const {
        return {m_myCompanyName, m_myZipCode, m_myAddress, m_myTelNo, m_myFaxNo, m_myURL, m_myEmail, m_myComment};
    }

    // The store's connection, for a screen that wraps several operations in one
    // desk::Transaction. Throws desk::DbError before ConnectDb().
    desk::Connection& connection() const;

private:
    desk::RowSet& profile() const;
    // An empty table has no profile to read or write.
    desk::RowSet& currentRow() const;

    QString m_dirPath;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_rsProfile;

    std::optional<double> m_serviceFee;
    std::optional<int> m_taxRounding;
    std::optional<QString> m_invoiceNo;
    QString m_myCompanyName;
    QString m_myZipCode;
    QString m_myAddress;
    QString m_myTelNo;
    QString m_myFaxNo;
    QString m_myURL;
    QString m_myEmail;
    QString m_myComment;
};

} // namespace firmsvc
