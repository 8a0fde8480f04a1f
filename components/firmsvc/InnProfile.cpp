#include "InnProfile.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"

#include <QVariant>

namespace firmsvc {

OptionDataClass::OptionDataClass() = default;
OptionDataClass::~OptionDataClass() = default;

void OptionDataClass::setServiceFee(double value) {
    m_serviceFee = desk::convert::roundHalfEven(value);
}

void OptionDataClass::ConnectDb() {
    m_rsProfile.reset();
    m_connection = desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::Option));
    m_rsProfile = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CompanyProfile"));
}

desk::Connection& OptionDataClass::connection() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("会社情報に接続されていません。"));
    return *m_connection;
}

desk::RowSet& OptionDataClass::profile() const {
    if (!m_rsProfile)
        throw desk::DbError(QStringLiteral("会社情報に接続されていません。"));
    return *m_rsProfile;
}

desk::RowSet& OptionDataClass::currentRow() const {
    desk::RowSet& rs = profile();
    if (rs.eof() || rs.bof())
        throw desk::DbError(QStringLiteral("会社情報が登録されていません。"), QStringLiteral("CompanyProfile"),
                            m_connection->filePath());
    return rs;
}

void OptionDataClass::DisplyData() {
    profile().moveFirst();
    const desk::RowSet& rs = currentRow();
    const QString companyName = desk::convert::textOf(rs.value(QStringLiteral("CompanyName")));
    const QString zipCode = desk::convert::textOf(rs.value(QStringLiteral("CpZipCode")));
    const QString address = desk::convert::textOf(rs.value(QStringLiteral("CpAddress")));
    const QString telNo = desk::convert::textOf(rs.value(QStringLiteral("CpTelNo")));
    const QString faxNo = desk::convert::textOf(rs.value(QStringLiteral("CpFaxno")));
    const QString url = desk::convert::textOf(rs.value(QStringLiteral("CpURL")));
    const QString email = desk::convert::textOf(rs.value(QStringLiteral("CpEmail")));
    const QString comment = desk::convert::textOf(rs.value(QStringLiteral("CpComment")));
    m_myCompanyName = companyName;
    m_myZipCode = zipCode;
    m_myAddress = address;
    m_myTelNo = telNo;
    m_myFaxNo = faxNo;
    m_myURL = url;
    m_myEmail = email;
    m_myComment = comment;
    m_serviceFee = desk::convert::roundHalfEven(rs.value(QStringLiteral("ServiceFee")).toDouble());
    m_taxRounding = rs.value(QStringLiteral("TaxRounding")).toInt();
    m_invoiceNo = desk::convert::textOf(rs.value(QStringLiteral("InvoiceNo")));
}

void OptionDataClass::EditData() {
    desk::RowSet& rs = currentRow();
    rs.setValue(QStringLiteral("CompanyName"), m_myCompanyName);
    rs.setValue(QStringLiteral("CpZipCode"), m_myZipCode);
    rs.setValue(QStringLiteral("CpAddress"), m_myAddress);
    rs.setValue(QStringLiteral("CpTelNo"), m_myTelNo);
    rs.setValue(QStringLiteral("CpFaxno"), m_myFaxNo);
    rs.setValue(QStringLiteral("CpURL"), m_myURL);
    rs.setValue(QStringLiteral("CpEmail"), m_myEmail);
    rs.setValue(QStringLiteral("CpComment"), m_myComment);
    if (m_serviceFee)
        rs.setValue(QStringLiteral("ServiceFee"), *m_serviceFee);
    if (m_taxRounding)
        rs.setValue(QStringLiteral("TaxRounding"), *m_taxRounding);
    if (m_invoiceNo)
        rs.setValue(QStringLiteral("InvoiceNo"), m_invoiceNo->isNull() ? QStringLiteral("") : *m_invoiceNo);
    rs.update();
}

} // namespace firmsvc
