#include "InnCheck.h"

#include "TaxSettings.h"

#include "data/Connection.h"
#include "data/DataLocation.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "data/Schema.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <memory>

namespace taxsvc {

namespace {

// The databases whose rows the rules read: every one that passed the engine's check and opened.
using Sound = QHash<QString, std::shared_ptr<desk::Connection>>;

// The first column of every row of a statement, as text.
QStringList firstColumn(desk::Connection& connection, const QString& statement) {
    QStringList values;
    connection.select(statement, {}, {}, [&](const QSqlQuery& row) { values << row.value(0).toString(); });
    return values;
}

// Every check-in has its six rows.
void checkCheckInRows(const Sound& sound, QList<desk::maintenance::Finding>& findings) {
    const QString clients = QString::fromLatin1(desk::DbFile::DaySalesCliants);
    const auto connection = sound.value(clients);
    if (!connection)
        return;
    const QStringList six{QStringLiteral("CheckInCliants"), QStringLiteral("CheckInAdrs"),
                          QStringLiteral("CheckInGroupe"),  QStringLiteral("CheckInClasify"),
                          QStringLiteral("CheckInBadget"),  QStringLiteral("CheckInCliantDetail")};
    QStringList all;
    for (const QString& table : six)
        all << QStringLiteral("SELECT CheckInNO FROM %1").arg(table);
    for (const QString& table : six) {
        const QStringList missing =
            firstColumn(*connection, QStringLiteral("SELECT CheckInNO FROM (%1) AS every WHERE CheckInNO NOT IN "
                                                    "(SELECT CheckInNO FROM %2 WHERE CheckInNO IS NOT NULL) "
                                                    "GROUP BY CheckInNO ORDER BY CheckInNO")
                                         .arg(all.join(QStringLiteral(" UNION ALL ")), table));
        for (const QString& number : missing)
            findings << desk::maintenance::Finding{
                clients, QStringLiteral("チェックイン番号「%1」の %2 の行がありません。").arg(number, table)};
    }
}

// Every check-in has its guest list (the register must name at least the representative).
// A file not yet upgraded has no list to look at; the version finding covers it.
void checkGuestLists(const Sound& sound, QList<desk::maintenance::Finding>& findings) {
    const QString clients = QString::fromLatin1(desk::DbFile::DaySalesCliants);
    const auto connection = sound.value(clients);
    if (!connection || connection->object(QStringLiteral("CheckInGuests")).kind != QLatin1String("table"))
        return;
    for (const QString& number :
         firstColumn(*connection, QStringLiteral("SELECT c.CheckInNO FROM CheckInCliants c WHERE NOT EXISTS "
                                                 "(SELECT 1 FROM CheckInGuests g WHERE g.CheckInNO = c.CheckInNO) "
                                                 "ORDER BY c.CheckInNO")))
        findings << desk::maintenance::Finding{clients,
                                               QStringLiteral("チェックイン番号「%1」の宿泊者（CheckInGuests）が"
                                                              "登録されていません。")
                                                   .arg(number)};
}

// No slip header without lines, no lines without their header.
void checkSlips(const Sound& sound, QList<desk::maintenance::Finding>& findings) {
    struct Slips {
        const char* file;
        const char* header;
        const char* lines;
        const char* key;
        const char* label;
    };
    static const Slips slips[] = {{desk::DbFile::Sales, "BTSalesNo", "BTSalesDetail", "BTSalesNo", "売上伝票"},
                                  {desk::DbFile::Recipt, "BTPaymentNo", "BTPaymentDtl", "RptNO", "入金伝票"}};
    for (const Slips& s : slips) {
        const auto connection = sound.value(QString::fromLatin1(s.file));
        if (!connection)
            continue;
        const QString header = QString::fromLatin1(s.header);
        const QString lines = QString::fromLatin1(s.lines);
        const QString key = QString::fromLatin1(s.key);
        const QString label = QString::fromUtf8(s.label);
        for (const QString& n :
             firstColumn(*connection, QStringLiteral("SELECT h.%3 FROM %1 h WHERE NOT EXISTS "
                                                     "(SELECT 1 FROM %2 d WHERE d.%3 = h.%3) ORDER BY h.%3")
                                          .arg(header, lines, key)))
            findings << desk::maintenance::Finding{QString::fromLatin1(s.file),
                                                   QStringLiteral("%1 %2 に明細がありません。").arg(label, n)};
        for (const QString& n :
             firstColumn(*connection, QStringLiteral("SELECT DISTINCT d.%3 FROM %2 d WHERE NOT EXISTS "
                                                     "(SELECT 1 FROM %1 h WHERE h.%3 = d.%3) ORDER BY d.%3")
                                          .arg(header, lines, key)))
            findings << desk::maintenance::Finding{
                QString::fromLatin1(s.file),
                QStringLiteral("%1 %2 の明細に伝票（見出し）がありません。").arg(label, n)};
    }
}

// No number or code twice.
void checkUniqueKeys(const Sound& sound, QList<desk::maintenance::Finding>& findings) {
    struct Key {
        const char* file;
        const char* table;
        const char* column;
    };
    static const Key keys[] = {
        {desk::DbFile::Reservation, "Reserve", "RvNo"},
        {desk::DbFile::DaySalesCliants, "CheckInCliants", "CheckInNO"},
        {desk::DbFile::DaySalesCliants, "CheckInAdrs", "CheckInNO"},
        {desk::DbFile::DaySalesCliants, "CheckInGroupe", "CheckInNO"},
        {desk::DbFile::DaySalesCliants, "CheckInClasify", "CheckInNO"},
        {desk::DbFile::DaySalesCliants, "CheckInBadget", "CheckInNO"},
        {desk::DbFile::DaySalesCliants, "CheckInCliantDetail", "CheckInNO"},
        {desk::DbFile::DaySalesCliants, "AgeClass", "YCode"},
        {desk::DbFile::DaySalesCliants, "UserClass", "UCode"},
        {desk::DbFile::DaySalesCliants, "GroupeClass", "GCode"},
        {desk::DbFile::DaySalesCliants, "PaymentClass", "PCode"},
        {desk::DbFile::DaySalesCliants, "ChoiceClass", "ChCode"},
        {desk::DbFile::Sales, "BTSalesNo", "BTSalesNo"},
        {desk::DbFile::Sales, "Commodities", "Ccode"},
        {desk::DbFile::Sales, "CmPrice", "Ccode"},
        {desk::DbFile::Sales, "CommodityClasify", "CClassCode"},
        {desk::DbFile::Recipt, "BTPaymentNo", "RptNO"},
        {desk::DbFile::Recipt, "ReciptCode", "RptCode"},
        {desk::DbFile::Recipt, "ReciptClass", "RptClassCode"},
    };
    for (const Key& k : keys) {
        const auto connection = sound.value(QString::fromLatin1(k.file));
        if (!connection)
            continue;
        const QString table = QString::fromLatin1(k.table);
        const QString column = QString::fromLatin1(k.column);
        // Case-blind as the keys are; also for files not yet upgraded.
        for (const QString& value :
             firstColumn(*connection, QStringLiteral("SELECT MIN(%2) FROM %1 WHERE %2 IS NOT NULL GROUP BY %3 "
                                                     "HAVING COUNT(*) > 1 ORDER BY 1")
                                          .arg(table, column, connection->engine().caseBlind(column))))
            findings << desk::maintenance::Finding{
                QString::fromLatin1(k.file),
                QStringLiteral("%1 の %2「%3」が複数あります。").arg(table, column, value)};
    }
}

// Days without a consumption-tax rate: today, or slips older than the first rate; levies
// that no commodity's room share lets a stay bear.
void checkRates(const QString& dir, const QDate& today, QList<desk::maintenance::Finding>& findings) {
    const QString option = QString::fromLatin1(desk::DbFile::Option);
    const QString sales = QString::fromLatin1(desk::DbFile::Sales);
    try {
        const TaxSettings settings = TaxSettings::readFrom(dir);
        const auto salesConnection = desk::Connection::open(dir, sales);
        for (const QString& missing : missingRates(settings.rates, today, *salesConnection))
            findings << desk::maintenance::Finding{option, missing};
        for (const QString& missing : missingRoomShares(settings.levies, *salesConnection))
            findings << desk::maintenance::Finding{sales, missing};
    } catch (const desk::DbError& e) {
        // A file that is damaged or of another version is named among the findings already.
        const bool named = std::any_of(findings.cbegin(), findings.cend(), [&](const auto& finding) {
            return finding.file == option || finding.file == sales;
        });
        if (!named)
            findings << desk::maintenance::Finding{option, e.message()};
    }
}

} // namespace

QList<desk::maintenance::Finding> checkInn(const QString& dataDir, const QDate& today) {
    const auto location = desk::DataLocation::of(dataDir);
    QList<desk::maintenance::Finding> findings = location->check();
    Sound sound;
    for (const QString& name : desk::Schema::fileNames()) {
        const bool unreadable = std::any_of(findings.cbegin(), findings.cend(), [&](const auto& finding) {
            return finding.unreadable && finding.file == name;
        });
        if (!unreadable)
            sound.insert(name, desk::Connection::openAnyVersion(location->locationOf(name)));
    }
    checkCheckInRows(sound, findings);
    checkGuestLists(sound, findings);
    checkSlips(sound, findings);
    checkUniqueKeys(sound, findings);
    checkRates(location->path(), today, findings);
    return findings;
}

} // namespace taxsvc
