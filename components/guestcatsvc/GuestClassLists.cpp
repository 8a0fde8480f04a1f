#include "GuestClassLists.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QSet>
#include <QVariant>

namespace guestcatsvc {

namespace {

struct ListInfo {
    const char* table;
    const char* codeColumn;
    const char* nameColumn;
    // The column of CheckInClasify that keeps a check-in's code of this list.
    const char* checkInColumn;
    // The first character of the list's codes.
    char letter;
};

// By kind number.
constexpr ListInfo lists[] = {
    {"AgeClass", "YCode", "yearclass", "RvYearOldClass", 'A'},
    {"GroupeClass", "GCode", "Groupename", "RvGroupespec", 'G'},
    {"UserClass", "UCode", "UclassName", "RvUseClass", 'U'},
    {"PaymentClass", "PCode", "PaymentName", "RvPayment", 'P'},
    {"ChoiceClass", "ChCode", "ChoiceName", "ChoiceClass", 'C'},
};

// Opening order of the lists.
constexpr int openingOrder[] = {0, 2, 1, 3, 4};

QString criterion(int kind, const QString& code) {
    return QLatin1String(lists[kind].codeColumn) + QStringLiteral(" = ") + desk::Sql::quote(code);
}

} // namespace

OptionDataClass::OptionDataClass() = default;

// Closed in the order AgeClass, UserClass, ChoiceClass, GroupeClass, PaymentClass, then
// the connection.
OptionDataClass::~OptionDataClass() {
    for (int kind : {int(Age), int(User), int(Choice), int(Groupe), int(Payment)})
        m_lists[kind].reset();
    m_connection.reset();
}

void OptionDataClass::setServiceFee(double value) {
    m_serviceFee = desk::convert::roundHalfEven(value);
}

void OptionDataClass::CntDb() {
    for (auto& rs : m_lists)
        rs.reset();
    m_connection = desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::DaySalesCliants));
    for (int kind : openingOrder)
        m_lists[kind] = std::make_unique<desk::RowSet>(m_connection, QLatin1String(lists[kind].table));
}

desk::Connection& OptionDataClass::connection() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("区分データに接続されていません。"));
    return *m_connection;
}

desk::RowSet& OptionDataClass::list(int kind) const {
    if (!m_lists[kind])
        throw desk::DbError(QStringLiteral("区分データに接続されていません。"));
    return *m_lists[kind];
}

QString OptionDataClass::DispClassData(int kind, const QString& code) {
    if (kind < 0 || kind >= KindCount)
        return {};
    desk::RowSet& rs = list(kind);
    if (!rs.find(criterion(kind, code)))
        return QStringLiteral("x");
    const QVariant name = rs.value(QLatin1String(lists[kind].nameColumn));
    return name.isNull() ? QString() : name.toString();
}

int OptionDataClass::flaggedKind() const {
    bool ok = false;
    const int kind = m_checkFlag.toInt(&ok);
    if (!ok || m_checkFlag.size() != 1 || kind < 0 || kind >= KindCount)
        return -1;
    return kind;
}

void OptionDataClass::RecEdit() {
    const int kind = flaggedKind();
    if (kind < 0)
        return;
    const QString* names[KindCount] = {&m_myAge, &m_myGroupe, &m_myUser, &m_myPayment, &m_myReason};
    desk::RowSet& rs = list(kind);
    if (!rs.find(criterion(kind, m_checkEditData)))
        throw desk::DbError(QStringLiteral("区分コード「%1」が %2 にありません。")
                                .arg(m_checkEditData, QLatin1String(lists[kind].table)),
                            criterion(kind, m_checkEditData), m_connection->filePath());
    rs.setValue(QLatin1String(lists[kind].nameColumn), *names[kind]);
    rs.update();
}

} // namespace guestcatsvc

namespace guestcatsvc {

void OptionDataClass::RecAdd() {
    const int kind = flaggedKind();
    if (kind < 0)
        return;
    const QString* names[KindCount] = {&m_myAge, &m_myGroupe, &m_myUser, &m_myPayment, &m_myReason};
    desk::RowSet& rs = list(kind);
    rs.addNew();
    rs.setValue(QLatin1String(lists[kind].codeColumn), m_checkEditData);
    rs.setValue(QLatin1String(lists[kind].nameColumn), names[kind]->isNull() ? QStringLiteral("") : *names[kind]);
    rs.update();
}

void OptionDataClass::RecDelete() {
    const int kind = flaggedKind();
    if (kind < 0)
        return;
    desk::RowSet& rs = list(kind);
    rs.moveFirst();
    if (rs.isEmpty() || !rs.find(criterion(kind, m_checkEditData)))
        throw desk::DbError(QStringLiteral("区分コード「%1」が %2 にありません。")
                                .arg(m_checkEditData, QLatin1String(lists[kind].table)),
                            criterion(kind, m_checkEditData), m_connection->filePath());
    rs.remove();
}

int OptionDataClass::RecUsage() {
    const int kind = flaggedKind();
    if (kind < 0)
        return 0;
    // Codes compare without regard to case, as every key of the suite does.
    const QString statement = QStringLiteral("SELECT COUNT(*) FROM CheckInClasify WHERE upper(%1) = upper(?)")
                                  .arg(QLatin1String(lists[kind].checkInColumn));
    return connection().scalar(statement, {m_checkEditData}).toInt();
}

QString OptionDataClass::NextCode(int kind) {
    if (kind < 0 || kind >= KindCount)
        return {};
    desk::RowSet& rs = list(kind);
    QSet<QString> taken;
    if (!rs.isEmpty()) {
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            taken.insert(desk::convert::textOf(rs.value(QLatin1String(lists[kind].codeColumn))).toUpper());
        rs.moveFirst();
    }
    const QString seconds = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    for (const QChar second : seconds) {
        const QString code = QLatin1Char(lists[kind].letter) + second;
        if (!taken.contains(code))
            return code;
    }
    return {};
}

} // namespace guestcatsvc

namespace guestcatsvc {

namespace {

std::unique_ptr<OptionDataClass> connected(const QString& dirPath, int kind, const QString& code) {
    auto store = std::make_unique<OptionDataClass>();
    store->setDirPath(dirPath);
    store->CntDb();
    store->setCheckFlag(QString::number(kind));
    store->setCheckEditData(code);
    return store;
}

void setName(OptionDataClass& store, int kind, const QString& name) {
    switch (kind) {
    case 0:
        store.setMyAge(name);
        break;
    case 1:
        store.setMyGroupe(name);
        break;
    case 2:
        store.setMyUser(name);
        break;
    case 3:
        store.setMyPayment(name);
        break;
    default:
        store.setMyReason(name);
        break;
    }
}

} // namespace

desk::RowSet& rowsOf(const OptionDataClass& store, int kind) {
    switch (kind) {
    case 0:
        return *store.RsYear();
    case 1:
        return *store.RsG();
    case 2:
        return *store.RsAim();
    case 3:
        return *store.RsPay();
    default:
        return *store.RsC();
    }
}

std::optional<QString> entryCode(const QString& typed) {
    const QString code = typed.normalized(QString::NormalizationForm_KC).trimmed().toUpper();
    if (code.size() != 2)
        return std::nullopt;
    for (const QChar c : code) {
        if (c.unicode() >= 0x80 || !c.isLetterOrNumber())
            return std::nullopt;
    }
    return code;
}

EntryAdded addEntry(const QString& dirPath, int kind, const QString& code, const QString& name) {
    const auto store = connected(dirPath, kind, code);
    desk::Transaction transaction(store->connection());
    if (store->DispClassData(kind, code) != QLatin1String("x"))
        return EntryAdded::Taken;
    setName(*store, kind, name);
    store->RecAdd();
    transaction.commit();
    return EntryAdded::Added;
}

void renameEntry(const QString& dirPath, int kind, const QString& code, const QString& name) {
    const auto store = connected(dirPath, kind, code);
    setName(*store, kind, name);
    store->RecEdit();
}

bool entryInUse(const QString& dirPath, int kind, const QString& code) {
    return connected(dirPath, kind, code)->RecUsage() > 0;
}

EntryDeleted deleteEntry(const QString& dirPath, int kind, const QString& code) {
    const auto store = connected(dirPath, kind, code);
    desk::Transaction transaction(store->connection());
    if (store->RecUsage() > 0)
        return EntryDeleted::InUse;
    if (rowsOf(*store, kind).recordCount() <= 1)
        return EntryDeleted::Last;
    store->RecDelete();
    transaction.commit();
    return EntryDeleted::Deleted;
}

} // namespace guestcatsvc
