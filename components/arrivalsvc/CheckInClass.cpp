#include "CheckInClass.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QVariant>

#include <algorithm>

namespace arrivalsvc {

namespace {

QString criterion(const QString& number) {
    return QStringLiteral("CheckInNo = ") + desk::Sql::quote(number);
}

QString orDefault(const QString& code, const char* fallback) {
    return code.isEmpty() ? QString::fromLatin1(fallback) : code;
}

const QString guestColumns =
    QStringLiteral("CheckInNO, GuestNo, GuestName, GuestAdrs, GuestTelNo, Abroad, Nationality, PassportNo");

} // namespace

QString joinedAddress(const QString& adrs1, const QString& adrs2, const QString& adrs3) {
    QStringList parts;
    for (const QString& part : {adrs1, adrs2, adrs3}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

CheckInClass::CheckInClass() = default;
CheckInClass::~CheckInClass() = default;

void CheckInClass::setQuantity(qint32 value) {
    m_quantity = desk::convert::toInt16(double(value));
}

void CheckInClass::CntDB() {
    m_rsDaySale.reset();
    m_rsAdrs.reset();
    m_rsGroupe.reset();
    m_rsCliantDetail.reset();
    m_rsBadget.reset();
    m_rsClasify.reset();
    m_rsCliants.reset();
    m_connection = desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::DaySalesCliants));
    m_rsCliants = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CheckInCliants"));
    m_rsClasify = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CheckInClasify"));
    m_rsBadget = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CheckInBadget"));
    m_rsCliantDetail = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CheckInCliantDetail"));
    m_rsGroupe = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CheckInGroupe"));
    m_rsAdrs = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CheckInAdrs"));
    m_rsDaySale = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("QRYCliantsDaySale"));
}

desk::Connection& CheckInClass::connection() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("チェックインデータに接続されていません。"));
    return *m_connection;
}

desk::RowSet& CheckInClass::rowSet(const std::unique_ptr<desk::RowSet>& rs) const {
    if (!rs)
        throw desk::DbError(QStringLiteral("チェックインデータに接続されていません。"));
    return *rs;
}

bool CheckInClass::findNumber(const std::unique_ptr<desk::RowSet>& rs, const QString& number) {
    return rowSet(rs).find(criterion(number));
}

desk::RowSet& CheckInClass::requireNumber(const std::unique_ptr<desk::RowSet>& rs, const QString& table,
                                          const QString& number) {
    if (!findNumber(rs, number))
        throw desk::DbError(QStringLiteral("チェックイン番号「%1」の行が %2 にありません。").arg(number, table),
                            criterion(number), m_connection->filePath());
    return *rs;
}

QString CheckInClass::CheckInNoCheck(const QString& checkInNo) {
    return findNumber(m_rsCliants, checkInNo) ? QStringLiteral("x") : QString();
}

namespace {

// The digits of `number` plus one, as a text at least `width` wide.
QString incremented(QString digits, qsizetype width) {
    qsizetype at = digits.size() - 1;
    while (at >= 0 && digits[at] == u'9')
        digits[at--] = u'0';
    if (at < 0)
        digits.prepend(u'1');
    else
        digits[at] = QChar(digits[at].unicode() + 1);
    return digits.rightJustified(width, u'0');
}

} // namespace

QString CheckInClass::NextCheckInNo() {
    static_cast<void>(connection()); // refused before CntDB
    desk::RowSet rows(m_connection, QStringLiteral("SELECT CheckInNO FROM CheckInCliants"));
    QString highest; // without leading zeros
    qsizetype width = 1;
    for (; !rows.eof(); rows.moveNext()) {
        const QString number = desk::convert::textOf(rows.value(QStringLiteral("CheckInNO"))).trimmed();
        if (number.isEmpty() ||
            !std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            continue;
        qsizetype first = 0;
        while (first < number.size() - 1 && number[first] == u'0')
            ++first;
        const QString value = number.mid(first);
        // Compared as numbers of any length: more digits is larger, else the first differing digit.
        const bool larger = value.size() != highest.size() ? value.size() > highest.size() : value > highest;
        if (larger || (value == highest && number.size() > width)) {
            highest = value;
            width = number.size();
        }
    }
    return highest.isEmpty() ? QStringLiteral("1") : incremented(highest, width);
}

QString CheckInClass::DispCheckInName(const QString& checkInNo) {
    if (!findNumber(m_rsCliants, checkInNo))
        return QStringLiteral("x");
    return desk::convert::textOf(m_rsCliants->value(QStringLiteral("CheckInName")));
}

std::span<const CheckInClass::TextColumn> CheckInClass::textColumns(Table table) {
    static const TextColumn cliants[] = {{u"CheckInName", &CheckInClass::m_checkInName},
                                         {u"CheckInRoomNo", &CheckInClass::m_checkInRoomNo},
                                         {u"CheckInRemarks", &CheckInClass::m_checkInRemarks}};
    // All but the fax number, which only a save writes.
    static const TextColumn adrs[] = {{u"CheckInAdrs1", &CheckInClass::m_checkInAdrs1},
                                      {u"CheckInAdrs2", &CheckInClass::m_checkInAdrs2},
                                      {u"CheckInAdrs3", &CheckInClass::m_checkInAdrs3},
                                      {u"CheckInTelNo", &CheckInClass::m_checkInTelNo},
                                      {u"CheckInEMAdrs", &CheckInClass::m_checkInEMAdrs}};
    static const TextColumn groupe[] = {{u"CheckInGroupe", &CheckInClass::m_checkInGroupe},
                                        {u"CheckInCName", &CheckInClass::m_checkInCName},
                                        {u"CheckInTravelAg", &CheckInClass::m_checkInTravelAg}};
    static const TextColumn clasify[] = {{u"RvUseClass", &CheckInClass::m_userClass},
                                         {u"RvYearOldClass", &CheckInClass::m_ageClass},
                                         {u"RvPayment", &CheckInClass::m_payClass},
                                         {u"RvGroupespec", &CheckInClass::m_groupeClass},
                                         {u"ChoiceClass", &CheckInClass::m_choiceClass}};
    switch (table) {
    case Table::Cliants:
        return cliants;
    case Table::Adrs:
        return adrs;
    case Table::Groupe:
        return groupe;
    case Table::Clasify:
        break;
    }
    return clasify;
}

void CheckInClass::putText(desk::RowSet& rs, Table table) const {
    rs.setValue(QStringLiteral("CheckInNO"), m_checkInNO);
    for (const TextColumn& c : textColumns(table))
        rs.setValue(QString::fromUtf16(c.column), this->*c.property);
}

void CheckInClass::putCliants(desk::RowSet& rs) const {
    putText(rs, Table::Cliants);
    rs.setValue(QStringLiteral("CheckInDate"), desk::convert::dateOrNull(m_checkInDate));
}

void CheckInClass::putClasify(desk::RowSet& rs) const {
    putText(rs, Table::Clasify);
}

void CheckInClass::putGroupe(desk::RowSet& rs) const {
    putText(rs, Table::Groupe);
}

void CheckInClass::putBadget(desk::RowSet& rs) const {
    rs.setValue(QStringLiteral("CheckInNO"), m_checkInNO);
    rs.setValue(QStringLiteral("RvClNumber"), m_quantity);
    rs.setValue(QStringLiteral("RvBadget"), m_badget);
    rs.setValue(QStringLiteral("BathExempt"), m_bathExempt);
    rs.setValue(QStringLiteral("LodgingExempt"), m_lodgingExempt);
}

void CheckInClass::setBathExempt(qint32 value) {
    m_bathExempt = desk::convert::toInt16(double(value));
}

void CheckInClass::setLodgingExempt(qint32 value) {
    m_lodgingExempt = desk::convert::toInt16(double(value));
}

void CheckInClass::requireExemptWithinParty() const {
    const auto check = [this](qint16 exempt, const QString& tax) {
        if (exempt < 0 || exempt > std::max<qint16>(m_quantity, 0))
            throw desk::DbError(QStringLiteral("%1の免除人数 %2 人は、利用人数 %3 人を超えられません。")
                                    .arg(tax)
                                    .arg(exempt)
                                    .arg(m_quantity));
    };
    check(m_bathExempt, QStringLiteral("入湯税"));
    check(m_lodgingExempt, QStringLiteral("宿泊税"));
}

void CheckInClass::putAdrs(desk::RowSet& rs) const {
    putText(rs, Table::Adrs);
}

void CheckInClass::putGuests() const {
    QList<CheckInGuest> guests = m_checkInGuests;
    if (guests.isEmpty())
        guests.append({m_checkInName, joinedAddress(m_checkInAdrs1, m_checkInAdrs2, m_checkInAdrs3), m_checkInTelNo});
    const QString insert =
        QStringLiteral("INSERT INTO CheckInGuests (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?)").arg(guestColumns);
    int number = 0;
    for (const CheckInGuest& g : std::as_const(guests)) {
        ++number;
        m_connection->exec(insert, {m_checkInNO, desk::convert::toInt16(double(number)), g.name, g.address, g.telNo,
                                    g.abroad, g.nationality, g.passportNo});
    }
}

void CheckInClass::Msave() {
    desk::RowSet& cliants = rowSet(m_rsCliants);
    // Converted before anything is written, so a bad date text writes nothing.
    const QVariant recieveDate =
        m_recieveDate.isEmpty() ? QVariant() : QVariant(desk::convert::dateOfDayText(m_recieveDate));
    requireExemptWithinParty();

    desk::Transaction transaction(*m_connection);

    // CheckOutFlag is left to its column default (False): a new guest is in the house.
    cliants.addNew();
    putCliants(cliants);
    cliants.update();

    desk::RowSet& adrs = *m_rsAdrs;
    adrs.addNew();
    putAdrs(adrs);
    adrs.setValue(QStringLiteral("CheckInFaxNo"), m_checkInFaxNo);
    adrs.update();

    // Unclassified guests still count in the statistics under the "none" codes.
    m_userClass = orDefault(m_userClass, "U0");
    m_ageClass = orDefault(m_ageClass, "A0");
    m_payClass = orDefault(m_payClass, "P0");
    m_groupeClass = orDefault(m_groupeClass, "G0");
    desk::RowSet& clasify = *m_rsClasify;
    clasify.addNew();
    putClasify(clasify);
    clasify.update();

    desk::RowSet& groupe = *m_rsGroupe;
    groupe.addNew();
    putGroupe(groupe);
    groupe.update();

    desk::RowSet& detail = *m_rsCliantDetail;
    detail.addNew();
    detail.setValue(QStringLiteral("CheckInNO"), m_checkInNO);
    detail.setValue(QStringLiteral("RvNo"), m_reserveNo);
    if (!recieveDate.isNull())
        detail.setValue(QStringLiteral("RvDate"), recieveDate);
    detail.setValue(QStringLiteral("RvArvtime"), m_arvTime);
    detail.setValue(QStringLiteral("RvChkInTime"), m_arvTimeChkIn);
    detail.update();

    desk::RowSet& badget = *m_rsBadget;
    badget.addNew();
    putBadget(badget);
    badget.update();

    putGuests();

    transaction.commit();
}

void CheckInClass::Medit() {
    rowSet(m_rsCliants);
    requireExemptWithinParty();
    desk::Transaction transaction(*m_connection);

    // Renumbering onto a number in use would merge two guests' rows under one key.
    if (m_checkInNO != m_checkInNO2) {
        const QVariant taken = m_connection->scalar(
            QStringLiteral("SELECT Count(*) FROM CheckInCliants WHERE CheckInNO = ") + desk::Sql::quote(m_checkInNO) +
            QStringLiteral(" AND CheckInNO <> ") + desk::Sql::quote(m_checkInNO2));
        if (taken.toLongLong() > 0)
            throw desk::DbError(QStringLiteral("チェックイン番号「%1」は既に使われています。").arg(m_checkInNO), {},
                                m_connection->filePath());
    }

    desk::RowSet& cliants = requireNumber(m_rsCliants, QStringLiteral("CheckInCliants"), m_checkInNO2);
    putCliants(cliants);
    cliants.update();

    // The fax number is kept as first saved.
    desk::RowSet& adrs = requireNumber(m_rsAdrs, QStringLiteral("CheckInAdrs"), m_checkInNO2);
    putAdrs(adrs);
    adrs.update();

    desk::RowSet& clasify = requireNumber(m_rsClasify, QStringLiteral("CheckInClasify"), m_checkInNO2);
    putClasify(clasify);
    clasify.update();

    desk::RowSet& groupe = requireNumber(m_rsGroupe, QStringLiteral("CheckInGroupe"), m_checkInNO2);
    putGroupe(groupe);
    groupe.update();

    // The reservation link cannot change after the first save; only its key follows.
    desk::RowSet& detail = requireNumber(m_rsCliantDetail, QStringLiteral("CheckInCliantDetail"), m_checkInNO2);
    detail.setValue(QStringLiteral("CheckInNO"), m_checkInNO);
    detail.update();

    desk::RowSet& badget = requireNumber(m_rsBadget, QStringLiteral("CheckInBadget"), m_checkInNO2);
    putBadget(badget);
    badget.update();

    m_connection->exec(QStringLiteral("DELETE FROM CheckInGuests WHERE CheckInNO = ?"), {m_checkInNO2});
    putGuests();

    transaction.commit();
}

void CheckInClass::Mdelete() {
    rowSet(m_rsCliants);
    desk::Transaction transaction(*m_connection);
    requireNumber(m_rsCliants, QStringLiteral("CheckInCliants"), m_checkInNO2).remove();
    requireNumber(m_rsAdrs, QStringLiteral("CheckInAdrs"), m_checkInNO2).remove();
    requireNumber(m_rsClasify, QStringLiteral("CheckInClasify"), m_checkInNO2).remove();
    requireNumber(m_rsGroupe, QStringLiteral("CheckInGroupe"), m_checkInNO2).remove();
    requireNumber(m_rsCliantDetail, QStringLiteral("CheckInCliantDetail"), m_checkInNO2).remove();
    requireNumber(m_rsBadget, QStringLiteral("CheckInBadget"), m_checkInNO2).remove();
    m_connection->exec(QStringLiteral("DELETE FROM CheckInGuests WHERE CheckInNO = ?"), {m_checkInNO2});
    transaction.commit();
}

void CheckInClass::EDsearch() {
    rowSet(m_rsCliants);
    // The check-in's six rows in one query (the number is unique in each table); a row missing
    // from a table is named as the save would name it.
    static const struct {
        const char* alias;
        const char* table;
    } details[] = {{"a", "CheckInAdrs"}, {"g", "CheckInGroupe"}, {"k", "CheckInClasify"}, {"b", "CheckInBadget"}};
    static const QString statement = []() -> QString {
        QStringList columns{QStringLiteral("c.CheckInNO"),    QStringLiteral("c.CheckInDate"),
                            QStringLiteral("c.CheckOutFlag"), QStringLiteral("c.CheckOutDate"),
                            QStringLiteral("b.RvClNumber"),   QStringLiteral("b.RvBadget"),
                            QStringLiteral("b.BathExempt"),   QStringLiteral("b.LodgingExempt")};
        const std::pair<const char*, Table> texts[] = {
            {"c", Table::Cliants}, {"a", Table::Adrs}, {"g", Table::Groupe}, {"k", Table::Clasify}};
        for (const auto& [alias, table] : texts) {
            for (const TextColumn& c : textColumns(table))
                columns << QLatin1String(alias) + u'.' + QString::fromUtf16(c.column);
        }
        QString from = QStringLiteral(" FROM CheckInCliants c");
        for (const auto& d : details) {
            const QString alias = QLatin1String(d.alias);
            columns << alias + QStringLiteral(".RowKey AS Has") + QLatin1String(d.table);
            from += QStringLiteral(" LEFT JOIN %1 %2 ON %2.CheckInNO = c.CheckInNO").arg(QLatin1String(d.table), alias);
        }
        return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + from +
               QStringLiteral(" WHERE c.CheckInNO = ?");
    }();
    desk::RowSet found(m_connection, statement, {m_checkInNO});
    if (found.eof()) {
        m_checkInNO = QStringLiteral("X");
        return;
    }
    const QString number = desk::convert::textOf(found.value(QStringLiteral("CheckInNO")));
    for (const auto& d : details) {
        if (found.value(QStringLiteral("Has") + QLatin1String(d.table)).isNull())
            throw desk::DbError(
                QStringLiteral("チェックイン番号「%1」の行が %2 にありません。").arg(number, QLatin1String(d.table)),
                criterion(number), m_connection->filePath());
    }
    // Everything is read before a property changes, so a failure leaves them as they were.
    QList<std::pair<QString CheckInClass::*, QString>> texts;
    for (const Table table : {Table::Cliants, Table::Adrs, Table::Groupe, Table::Clasify}) {
        for (const TextColumn& c : textColumns(table))
            texts.append({c.property, desk::convert::textOf(found.value(QString::fromUtf16(c.column)))});
    }
    const QDate checkInDate = desk::convert::dateOf(found.value(QStringLiteral("CheckInDate")));
    const bool checkOutFlag = found.value(QStringLiteral("CheckOutFlag")).toBool();
    const QDate checkOutDate = desk::convert::dateOf(found.value(QStringLiteral("CheckOutDate")));
    const QVariant clNumber = found.value(QStringLiteral("RvClNumber"));
    const qint16 quantity = clNumber.isNull() ? qint16(0) : desk::convert::toInt16(double(clNumber.toLongLong()));
    const qint32 badgetValue = desk::convert::int32Of(found.value(QStringLiteral("RvBadget")));
    const qint16 bathExempt = desk::convert::toInt16(double(found.value(QStringLiteral("BathExempt")).toLongLong()));
    const qint16 lodgingExempt =
        desk::convert::toInt16(double(found.value(QStringLiteral("LodgingExempt")).toLongLong()));

    QList<CheckInGuest> guests;
    desk::RowSet list(m_connection,
                      QStringLiteral("SELECT * FROM CheckInGuests WHERE CheckInNO = ? ORDER BY GuestNo, RowKey"),
                      {number});
    for (; !list.eof(); list.moveNext()) {
        const auto text = [&list](const char* column) {
            return desk::convert::textOf(list.value(QLatin1String(column)));
        };
        guests.append({text("GuestName"), text("GuestAdrs"), text("GuestTelNo"),
                       list.value(QStringLiteral("Abroad")).toBool(), text("Nationality"), text("PassportNo")});
    }

    m_checkInNO = number;
    m_checkInDate = checkInDate;
    m_checkOutFlag = checkOutFlag;
    m_checkOutDate = checkOutFlag ? checkOutDate : QDate();
    for (const auto& [property, value] : std::as_const(texts))
        this->*property = value;
    m_quantity = quantity;
    m_bathExempt = bathExempt;
    m_lodgingExempt = lodgingExempt;
    m_badget = badgetValue;
    m_checkInGuests = guests;
}

void CheckInClass::CheckOut(const QDate& day) {
    desk::RowSet& cliants = requireNumber(m_rsCliants, QStringLiteral("CheckInCliants"), m_checkInNO2);
    // The day the guest first left stays: a bill printed again later must not move the stay
    // into another month of the register and the levy worksheet.
    const bool already = cliants.value(QStringLiteral("CheckOutFlag")).toBool() &&
                         desk::convert::dateOf(cliants.value(QStringLiteral("CheckOutDate"))).isValid();
    if (already)
        return;
    cliants.setValue(QStringLiteral("CheckOutFlag"), true);
    cliants.setValue(QStringLiteral("CheckOutDate"), day.isValid() ? day : QDate::currentDate());
    cliants.update();
}

std::unique_ptr<desk::RowSet> CheckInClass::RsCliantR() {
    rowSet(m_rsCliants);
    return std::make_unique<desk::RowSet>(m_connection,
                                          QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE ") + m_sql1);
}

std::unique_ptr<desk::RowSet> CheckInClass::RsNotChkOut() {
    rowSet(m_rsCliants);
    return std::make_unique<desk::RowSet>(m_connection,
                                          QStringLiteral("SELECT * FROM CheckInCliants WHERE CheckOutFlag = False"));
}

std::unique_ptr<desk::RowSet> CheckInClass::RsGuestRegister(const QDate& first, const QDate& last) {
    rowSet(m_rsCliants);
    const QString sameAsAbove = desk::Sql::quote(QStringLiteral("同上"));
    return std::make_unique<desk::RowSet>(
        m_connection,
        QStringLiteral("SELECT c.CheckInDate AS CheckInDate, "
                       "CASE WHEN c.CheckOutDate IS NULL THEN NULL "
                       "ELSE CAST(julianday(c.CheckOutDate) - julianday(c.CheckInDate) AS INTEGER) END AS Nights, "
                       "c.CheckInRoomNo AS CheckInRoomNo, g.GuestName AS GuestName, "
                       "CASE WHEN g.GuestAdrs = %1 THEN (SELECT f.GuestAdrs FROM CheckInGuests f "
                       "WHERE f.CheckInNO = g.CheckInNO AND f.GuestAdrs <> %1 ORDER BY f.GuestNo LIMIT 1) "
                       "ELSE g.GuestAdrs END AS GuestAdrs, "
                       "g.GuestTelNo AS GuestTelNo, g.Nationality AS Nationality, g.PassportNo AS PassportNo, "
                       "c.CheckInNO AS CheckInNO "
                       "FROM CheckInGuests g JOIN CheckInCliants c ON c.CheckInNO = g.CheckInNO "
                       "WHERE c.CheckInDate BETWEEN %2 AND %3 "
                       "ORDER BY c.CheckInDate, c.CheckInNO, g.GuestNo, g.RowKey")
            .arg(sameAsAbove, desk::Sql::dateLiteral(first), desk::Sql::dateLiteral(last)));
}

} // namespace arrivalsvc
