#include "ComodityInn.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

namespace goodssvc {

namespace {

const QString NotFound = QStringLiteral("X");

// Text columns get an empty text, never null, for an unset property.
QVariant text(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QString priceColumn(int level) {
    return QStringLiteral("CMprice") + QString::number(level);
}

} // namespace

ComodityInn::ComodityInn() = default;
ComodityInn::~ComodityInn() = default;

void ComodityInn::CntDb() {
    // Row sets first, so a replaced connection outlives nothing that uses it.
    m_priceRows.reset();
    m_commodities.reset();
    m_connection = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Sales));
    m_commodities = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("Commodities"));
    m_priceRows = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("CmPrice"));
}

desk::Connection& ComodityInn::connection() const {
    requireConnected();
    return *m_connection;
}

int ComodityInn::countOfClass(const QString& classCode) const {
    requireConnected();
    return m_connection->scalar(QStringLiteral("SELECT COUNT(*) FROM Commodities WHERE Cclasify = ?"), {classCode})
        .toInt();
}

void ComodityInn::requireConnected() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("商品データに接続されていません (CntDb が呼ばれていません)。"));
}

bool ComodityInn::findCode(desk::RowSet& rows, const QString& code) {
    m_criterion = QStringLiteral("Ccode = ") + desk::Sql::quote(code);
    return rows.find(m_criterion);
}

QString ComodityInn::ComodityName(const QString& McdsCode) {
    requireConnected();
    if (!findCode(*m_commodities, McdsCode))
        return NotFound;
    return m_commodities->value(QStringLiteral("cname")).toString();
}

QVariant ComodityInn::ComodityPrice(const QString& McdsCode) {
    requireConnected();
    if (!findCode(*m_priceRows, McdsCode))
        return NotFound;
    return desk::convert::toInt32(m_priceRows->value(QStringLiteral("CMprice0")).toDouble());
}

std::optional<ComodityInn::Taxing> ComodityInn::ComodityTaxing(const QString& McdsCode) {
    requireConnected();
    if (!findCode(*m_commodities, McdsCode))
        return std::nullopt;
    return Taxing{m_commodities->value(QStringLiteral("CTaxClass")).toInt(),
                  m_commodities->value(QStringLiteral("CService")).toInt() != 0};
}

QString ComodityInn::DuplicateCheck(const QString& McdsCode) {
    return hasCode(McdsCode) ? QStringLiteral("X") : QStringLiteral("O");
}

bool ComodityInn::hasCode(const QString& McdsCode) {
    requireConnected();
    return findCode(*m_commodities, McdsCode);
}

void ComodityInn::writeCommodity() {
    m_commodities->setValue(QStringLiteral("Ccode"), text(m_code));
    m_commodities->setValue(QStringLiteral("cname"), text(m_name));
    m_commodities->setValue(QStringLiteral("Cclasify"), text(m_classCode));
    m_commodities->setValue(QStringLiteral("Cunit"), text(m_unit));
    m_commodities->setValue(QStringLiteral("Cremarks1"), text(m_remarks));
    m_commodities->setValue(QStringLiteral("CTaxClass"), m_taxing.taxClass);
    m_commodities->setValue(QStringLiteral("CService"), m_taxing.service ? 1 : 0);
    m_commodities->setValue(QStringLiteral("CRoomShare"), m_roomShare);
    m_commodities->setValue(QStringLiteral("CMealDinner"), m_mealDinner);
    m_commodities->setValue(QStringLiteral("CMealBreakfast"), m_mealBreakfast);
    m_commodities->update();
}

void ComodityInn::writePrices() {
    m_priceRows->setValue(QStringLiteral("Ccode"), text(m_code));
    for (int level = 0; level < PriceLevels; ++level)
        m_priceRows->setValue(priceColumn(level), m_prices[level]);
    m_priceRows->update();
}

void ComodityInn::Msave() {
    requireConnected();
    desk::Transaction transaction(*m_connection);
    m_commodities->addNew();
    writeCommodity();
    m_priceRows->addNew();
    writePrices();
    transaction.commit();
}

void ComodityInn::Medit() {
    requireConnected();
    const bool haveCommodity = findCode(*m_commodities, m_code2);
    const bool havePrice = findCode(*m_priceRows, m_code2);
    // Both rows are checked before either is touched, so a half-renamed commodity cannot occur.
    if (!haveCommodity || !havePrice)
        throw desk::DbError(QStringLiteral("訂正する商品 (コード %1) が見つかりません。").arg(m_code2), m_criterion);
    desk::Transaction transaction(*m_connection);
    writeCommodity();
    writePrices();
    transaction.commit();
}

void ComodityInn::Mdelete() {
    requireConnected();
    const bool haveCommodity = findCode(*m_commodities, m_code2);
    const bool havePrice = findCode(*m_priceRows, m_code2);
    if (!haveCommodity || !havePrice)
        throw desk::DbError(QStringLiteral("削除する商品 (コード %1) が見つかりません。").arg(m_code2), m_criterion);
    desk::Transaction transaction(*m_connection);
    m_commodities->remove();
    m_priceRows->remove();
    transaction.commit();
}

void ComodityInn::EDsearch() {
    requireConnected();
    const bool haveCommodity = findCode(*m_commodities, m_code);
    const bool havePrice = findCode(*m_priceRows, m_code);
    if (!haveCommodity) {
        m_code = NotFound;
        return;
    }
    if (!havePrice)
        throw desk::DbError(QStringLiteral("商品 (コード %1) の価格がありません。").arg(m_code), m_criterion);

    // Converted before anything is stored, so a bad price leaves the properties as they were.
    qint32 prices[PriceLevels];
    for (int level = 0; level < PriceLevels; ++level)
        prices[level] = desk::convert::toInt32(m_priceRows->value(priceColumn(level)).toDouble());

    m_bookmark = QString::number(m_commodities->bookmark());
    m_code = m_commodities->value(QStringLiteral("Ccode")).toString();
    m_name = m_commodities->value(QStringLiteral("cname")).toString();
    m_classCode = m_commodities->value(QStringLiteral("Cclasify")).toString();
    m_unit = m_commodities->value(QStringLiteral("Cunit")).toString();
    m_remarks = m_commodities->value(QStringLiteral("Cremarks1")).toString();
    m_taxing.taxClass = m_commodities->value(QStringLiteral("CTaxClass")).toInt();
    m_taxing.service = m_commodities->value(QStringLiteral("CService")).toInt() != 0;
    m_roomShare = m_commodities->value(QStringLiteral("CRoomShare")).toInt();
    m_mealDinner = m_commodities->value(QStringLiteral("CMealDinner")).toBool();
    m_mealBreakfast = m_commodities->value(QStringLiteral("CMealBreakfast")).toBool();
    for (int level = 0; level < PriceLevels; ++level)
        m_prices[level] = prices[level];
}

} // namespace goodssvc
