#include "CheckInTables.h"

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

const QString guestColumns =
    QStringLiteral("CheckInNO, GuestNo, GuestName, GuestAdrs, GuestTelNo, Abroad, Nationality, PassportNo");

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

CheckInTables::CheckInTables(const QString& dirPath)
    : m_connection(desk::Connection::open(dirPath, QLatin1String(desk::DbFile::DaySalesCliants))) {}

// Row sets go before the connection they run on.
CheckInTables::~CheckInTables() {
    m_adrs.reset();
    m_groupe.reset();
    m_detail.reset();
    m_badget.reset();
    m_clasify.reset();
    m_cliants.reset();
}

desk::RowSet& CheckInTables::rows(Table table) {
    const auto open = [this](std::unique_ptr<desk::RowSet>& rs, const char* name) -> desk::RowSet& {
        if (!rs)
            rs = std::make_unique<desk::RowSet>(m_connection, QLatin1String(name));
        return *rs;
    };
    switch (table) {
    case Table::Cliants:
        return open(m_cliants, "CheckInCliants");
    case Table::Adrs:
        return open(m_adrs, "CheckInAdrs");
    case Table::Groupe:
        return open(m_groupe, "CheckInGroupe");
    case Table::Clasify:
        break;
    }
    return open(m_clasify, "CheckInClasify");
}

desk::RowSet& CheckInTables::detailRows() {
    if (!m_detail)
        m_detail = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CheckInCliantDetail"));
    return *m_detail;
}

desk::RowSet& CheckInTables::badgetRows() {
    if (!m_badget)
        m_badget = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CheckInBadget"));
    return *m_badget;
}

bool CheckInTables::find(desk::RowSet& rs, const QString& number) {
    return rs.find(criterion(number));
}

desk::RowSet& CheckInTables::require(desk::RowSet& rs, const QString& table, const QString& number) {
    if (!find(rs, number))
        throw desk::DbError(QStringLiteral("チェックイン番号「%1」の行が %2 にありません。").arg(number, table),
                            criterion(number), m_connection->filePath());
    return rs;
}

bool CheckInTables::taken(const QString& number) {
    return find(rows(Table::Cliants), number);
}

bool CheckInTables::inUse(const QString& number) const {
    return m_connection->scalar(QStringLiteral("SELECT Count(*) FROM CheckInCliants WHERE CheckInNO = ?"), {number})
               .toLongLong() > 0;
}

std::optional<QString> CheckInTables::nameOf(const QString& number) {
    desk::RowSet& cliants = rows(Table::Cliants);
    if (!find(cliants, number))
        return std::nullopt;
    return desk::convert::textOf(cliants.value(QStringLiteral("CheckInName")));
}

QString CheckInTables::nextNumber() {
    desk::RowSet numbers(m_connection, QStringLiteral("SELECT CheckInNO FROM CheckInCliants"));
    QString highest; // without leading zeros
    qsizetype width = 1;
    for (; !numbers.eof(); numbers.moveNext()) {
        const QString number = desk::convert::textOf(numbers.value(QStringLiteral("CheckInNO"))).trimmed();
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

std::span<const CheckInTables::TextColumn> CheckInTables::textColumns(Table table) {
    static const TextColumn cliants[] = {
        {u"CheckInName", &CheckIn::name},           {u"CheckInRoomNo", &CheckIn::roomNo},
        {u"CheckInRemarks", &CheckIn::remarks},     {u"CheckInPlan", &CheckIn::plan},
        {u"CheckInChildPlan", &CheckIn::childPlan}, {u"CheckInMealNote", &CheckIn::mealNote}};
    // All but the fax number, which only a save writes.
    static const TextColumn adrs[] = {{u"CheckInAdrs1", &CheckIn::address1},
                                      {u"CheckInAdrs2", &CheckIn::address2},
                                      {u"CheckInAdrs3", &CheckIn::address3},
                                      {u"CheckInTelNo", &CheckIn::telNo},
                                      {u"CheckInEMAdrs", &CheckIn::email}};
    static const TextColumn groupe[] = {{u"CheckInGroupe", &CheckIn::groupName},
                                        {u"CheckInCName", &CheckIn::companions},
                                        {u"CheckInTravelAg", &CheckIn::travelAgent}};
    static const TextColumn clasify[] = {{u"RvUseClass", &CheckIn::userClass},
                                         {u"RvYearOldClass", &CheckIn::ageClass},
                                         {u"RvPayment", &CheckIn::payClass},
                                         {u"RvGroupespec", &CheckIn::groupeClass},
                                         {u"ChoiceClass", &CheckIn::choiceClass}};
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

void CheckInTables::putText(desk::RowSet& rs, Table table, const CheckIn& entry) {
    rs.setValue(QStringLiteral("CheckInNO"), entry.number);
    for (const TextColumn& c : textColumns(table))
        rs.setValue(QString::fromUtf16(c.column), entry.*c.field);
    if (table == Table::Cliants) {
        rs.setValue(QStringLiteral("CheckInDate"), desk::convert::dateOrNull(entry.date));
        rs.setValue(QStringLiteral("CheckInNights"), entry.nights);
        rs.setValue(QStringLiteral("CheckInChildren"), entry.children);
    }
}

void CheckInTables::putBadget(desk::RowSet& rs, const CheckIn& entry) {
    rs.setValue(QStringLiteral("CheckInNO"), entry.number);
    rs.setValue(QStringLiteral("RvClNumber"), entry.guests);
    rs.setValue(QStringLiteral("RvBadget"), entry.price);
    rs.setValue(QStringLiteral("BathExempt"), entry.bathExempt);
    rs.setValue(QStringLiteral("LodgingExempt"), entry.lodgingExempt);
}

void CheckInTables::requireExemptWithinParty(const CheckIn& entry) {
    const auto check = [&entry](qint16 exempt, const QString& tax) {
        if (exempt < 0 || exempt > std::max<qint16>(entry.guests, 0))
            throw desk::DbError(QStringLiteral("%1の免除人数 %2 人は、利用人数 %3 人を超えられません。")
                                    .arg(tax)
                                    .arg(exempt)
                                    .arg(entry.guests));
    };
    check(entry.bathExempt, QStringLiteral("入湯税"));
    check(entry.lodgingExempt, QStringLiteral("宿泊税"));
}

void CheckInTables::putGuests(const CheckIn& entry) {
    const QString insert =
        QStringLiteral("INSERT INTO CheckInGuests (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?)").arg(guestColumns);
    int number = 0;
    for (const CheckInGuest& g : entry.savedParty()) {
        ++number;
        m_connection->exec(insert, {entry.number, desk::convert::toInt16(double(number)), g.name, g.address, g.telNo,
                                    g.abroad, g.nationality, g.passportNo});
    }
}

void CheckInTables::add(const CheckIn& typed) {
    CheckIn entry = typed;
    entry.classifyUnclassified();
    requireExemptWithinParty(entry);
    desk::Transaction transaction(*m_connection);

    // CheckOutFlag is left to its column default (False): a new guest is in the house.
    for (const Table table : {Table::Cliants, Table::Adrs, Table::Clasify, Table::Groupe}) {
        desk::RowSet& rs = rows(table);
        rs.addNew();
        putText(rs, table, entry);
        if (table == Table::Adrs)
            rs.setValue(QStringLiteral("CheckInFaxNo"), entry.faxNo);
        if (table == Table::Cliants)
            rs.setValue(QStringLiteral("CheckInRvNo"), entry.reserveNo);
        rs.update();
    }

    desk::RowSet& detail = detailRows();
    detail.addNew();
    detail.setValue(QStringLiteral("CheckInNO"), entry.number);
    detail.setValue(QStringLiteral("RvNo"), entry.reserveNo);
    if (entry.receivedOn.isValid())
        detail.setValue(QStringLiteral("RvDate"), entry.receivedOn);
    detail.setValue(QStringLiteral("RvArvtime"), entry.arrivalTime);
    detail.setValue(QStringLiteral("RvChkInTime"), entry.checkInTime);
    detail.update();

    desk::RowSet& badget = badgetRows();
    badget.addNew();
    putBadget(badget, entry);
    badget.update();

    putGuests(entry);
    transaction.commit();
}

void CheckInTables::rewrite(const QString& stored, const CheckIn& entry) {
    requireExemptWithinParty(entry);
    desk::Transaction transaction(*m_connection);

    // Renumbering onto a number in use would merge two guests' rows under one key.
    if (entry.number != stored) {
        const QVariant taken = m_connection->scalar(
            QStringLiteral("SELECT Count(*) FROM CheckInCliants WHERE CheckInNO = ") + desk::Sql::quote(entry.number) +
            QStringLiteral(" AND CheckInNO <> ") + desk::Sql::quote(stored));
        if (taken.toLongLong() > 0)
            throw desk::DbError(QStringLiteral("チェックイン番号「%1」は既に使われています。").arg(entry.number), {},
                                m_connection->filePath());
    }

    static const std::pair<Table, const char*> tables[] = {{Table::Cliants, "CheckInCliants"},
                                                           {Table::Adrs, "CheckInAdrs"},
                                                           {Table::Clasify, "CheckInClasify"},
                                                           {Table::Groupe, "CheckInGroupe"}};
    // The fax number is kept as first saved.
    for (const auto& [table, name] : tables) {
        desk::RowSet& rs = require(rows(table), QLatin1String(name), stored);
        putText(rs, table, entry);
        rs.update();
    }

    // The reservation link cannot change after the first save; only its key follows.
    desk::RowSet& detail = require(detailRows(), QStringLiteral("CheckInCliantDetail"), stored);
    detail.setValue(QStringLiteral("CheckInNO"), entry.number);
    detail.update();

    desk::RowSet& badget = require(badgetRows(), QStringLiteral("CheckInBadget"), stored);
    putBadget(badget, entry);
    badget.update();

    m_connection->exec(QStringLiteral("DELETE FROM CheckInGuests WHERE CheckInNO = ?"), {stored});
    putGuests(entry);
    transaction.commit();
}

void CheckInTables::remove(const QString& stored) {
    desk::Transaction transaction(*m_connection);
    require(rows(Table::Cliants), QStringLiteral("CheckInCliants"), stored).remove();
    require(rows(Table::Adrs), QStringLiteral("CheckInAdrs"), stored).remove();
    require(rows(Table::Clasify), QStringLiteral("CheckInClasify"), stored).remove();
    require(rows(Table::Groupe), QStringLiteral("CheckInGroupe"), stored).remove();
    require(detailRows(), QStringLiteral("CheckInCliantDetail"), stored).remove();
    require(badgetRows(), QStringLiteral("CheckInBadget"), stored).remove();
    m_connection->exec(QStringLiteral("DELETE FROM CheckInGuests WHERE CheckInNO = ?"), {stored});
    transaction.commit();
}

std::optional<CheckIn> CheckInTables::load(const QString& number) {
    // The check-in's six rows in one query (the number is unique in each table); a row missing
    // from a table is named as the save would name it.
    static const struct {
        const char* alias;
        const char* table;
    } details[] = {{"a", "CheckInAdrs"}, {"g", "CheckInGroupe"}, {"k", "CheckInClasify"}, {"b", "CheckInBadget"}};
    static const QString statement = []() -> QString {
        QStringList columns{
            QStringLiteral("c.CheckInNO"),    QStringLiteral("c.CheckInDate"),   QStringLiteral("c.CheckOutFlag"),
            QStringLiteral("c.CheckOutDate"), QStringLiteral("c.CheckInNights"), QStringLiteral("c.CheckInChildren"),
            QStringLiteral("c.CheckInRvNo"),  QStringLiteral("b.RvClNumber"),    QStringLiteral("b.RvBadget"),
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
    desk::RowSet found(m_connection, statement, {number});
    if (found.eof())
        return std::nullopt;
    CheckIn entry;
    entry.number = desk::convert::textOf(found.value(QStringLiteral("CheckInNO")));
    for (const auto& d : details) {
        if (found.value(QStringLiteral("Has") + QLatin1String(d.table)).isNull())
            throw desk::DbError(QStringLiteral("チェックイン番号「%1」の行が %2 にありません。")
                                    .arg(entry.number, QLatin1String(d.table)),
                                criterion(entry.number), m_connection->filePath());
    }
    for (const Table table : {Table::Cliants, Table::Adrs, Table::Groupe, Table::Clasify}) {
        for (const TextColumn& c : textColumns(table))
            entry.*c.field = desk::convert::textOf(found.value(QString::fromUtf16(c.column)));
    }
    entry.date = desk::convert::dateOf(found.value(QStringLiteral("CheckInDate")));
    entry.nights = std::max<qint16>(1, qint16(found.value(QStringLiteral("CheckInNights")).toInt()));
    entry.children = qint16(found.value(QStringLiteral("CheckInChildren")).toInt());
    entry.reserveNo = desk::convert::int32Of(found.value(QStringLiteral("CheckInRvNo")));
    entry.checkedOut = found.value(QStringLiteral("CheckOutFlag")).toBool();
    entry.checkedOutOn =
        entry.checkedOut ? desk::convert::dateOf(found.value(QStringLiteral("CheckOutDate"))) : QDate();
    const QVariant clNumber = found.value(QStringLiteral("RvClNumber"));
    entry.guests = clNumber.isNull() ? qint16(0) : desk::convert::toInt16(double(clNumber.toLongLong()));
    entry.price = desk::convert::int32Of(found.value(QStringLiteral("RvBadget")));
    entry.bathExempt = desk::convert::toInt16(double(found.value(QStringLiteral("BathExempt")).toLongLong()));
    entry.lodgingExempt = desk::convert::toInt16(double(found.value(QStringLiteral("LodgingExempt")).toLongLong()));

    desk::RowSet list(m_connection,
                      QStringLiteral("SELECT * FROM CheckInGuests WHERE CheckInNO = ? ORDER BY GuestNo, RowKey"),
                      {entry.number});
    for (; !list.eof(); list.moveNext()) {
        const auto text = [&list](const char* column) {
            return desk::convert::textOf(list.value(QLatin1String(column)));
        };
        entry.party.append({text("GuestName"), text("GuestAdrs"), text("GuestTelNo"),
                            list.value(QStringLiteral("Abroad")).toBool(), text("Nationality"), text("PassportNo")});
    }
    return entry;
}

void CheckInTables::checkOut(const QString& stored, const QDate& day) {
    desk::RowSet& cliants = require(rows(Table::Cliants), QStringLiteral("CheckInCliants"), stored);
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

std::unique_ptr<desk::RowSet> CheckInTables::staysWhere(const std::shared_ptr<desk::Connection>& connection,
                                                        const QString& condition) {
    return std::make_unique<desk::RowSet>(connection,
                                          QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE ") + condition);
}

} // namespace arrivalsvc
