#include "ReciptSlp.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QSqlQuery>

namespace paymentsvc {

namespace {

QVariant text(const QString& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

// A payment number held as text, as a whole number; anything else is refused before a write.
qint32 slipNumber(const QString& number) {
    bool ok = false;
    const double value = number.trimmed().toDouble(&ok);
    if (!ok)
        throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                    QStringLiteral("入金番号 '%1' は数値ではありません。").arg(number));
    return desk::convert::toInt32(value);
}

// A slip the store will not save, in words the clerk can act on.
desk::ConversionError refusal(const QString& text) {
    return desk::ConversionError(desk::ConversionError::Kind::Refused, text);
}

QString numberText(const QVariant& value) {
    return QString::number(desk::convert::toInt32(value.toDouble()));
}

} // namespace

ReciptSlp::ReciptSlp() = default;
ReciptSlp::~ReciptSlp() = default;

void ReciptSlp::CntDb() {
    m_work.reset();
    m_lines.reset();
    m_headers.reset();
    m_connection = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Recipt));
    m_headers = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("BTPaymentNo"));
    m_lines = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("BTPaymentDtl"));
    // Only this desk's lines: another desk's slip on screen is none of this object's business.
    m_work = desk::openDeskRows(m_connection, QStringLiteral("BTReciptTemp"));
}

desk::Connection& ReciptSlp::connection() const {
    requireConnected();
    return *m_connection;
}

void ReciptSlp::requireConnected() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("入金データに接続されていません (CntDb が呼ばれていません)。"));
}

bool ReciptSlp::findSlip(const QString& number) {
    // The number column is numeric; the quoted text finds the same row and keeps any
    // typed text from becoming part of the criterion.
    m_criterion = QStringLiteral("RptNo = ") + desk::Sql::quote(number);
    return m_headers->find(m_criterion);
}

qint32 ReciptSlp::requireSlip(const QString& action) {
    if (!findSlip(m_slipNo2))
        throw desk::DbError(QStringLiteral("%1する入金伝票 (番号 %2) が見つかりません。").arg(action, m_slipNo2),
                            m_criterion);
    return desk::convert::toInt32(m_headers->value(QStringLiteral("RptNO")).toDouble());
}

void ReciptSlp::refuseTakenNumber(qint32 number) const {
    // The unique key refuses it too; this says so in words the clerk can act on.
    const QVariant count =
        m_connection->scalar(QStringLiteral("SELECT COUNT(*) FROM BTPaymentNo WHERE RptNO = ?"), {number});
    if (count.toLongLong() > 0)
        throw desk::DbError(
            QStringLiteral("入金番号 %1 は既に登録されています。番号を取り直してください。").arg(number));
}

// A slip is its lines: without any (a work table emptied meanwhile), or with a line whose
// amount was never written, it is refused before anything is written.
void ReciptSlp::refuseIncompleteWork() const {
    qint64 lines = 0;
    qint64 withAmount = 0;
    m_connection->select(QStringLiteral("SELECT COUNT(*), COUNT(ReciptAmount) FROM BTReciptTemp WHERE ") +
                             desk::deskCondition(),
                         {desk::currentDesk()}, {}, [&](const QSqlQuery& row) {
                             lines = row.value(0).toLongLong();
                             withAmount = row.value(1).toLongLong();
                         });
    if (lines == 0)
        throw refusal(QStringLiteral("明細がありません。"));
    if (withAmount < lines)
        throw refusal(QStringLiteral("金額が入っていない明細があります。"));
}

void ReciptSlp::deleteLines(qint32 number) {
    m_connection->exec(QStringLiteral("DELETE FROM BTPaymentDtl WHERE RptNO = ?"), {number});
}

QString ReciptSlp::DispSlip(const QString& number) {
    requireConnected();
    if (!findSlip(number))
        return QStringLiteral("");
    return numberText(m_headers->value(QStringLiteral("RptNO")));
}

QString ReciptSlp::DuplicateCheck(const QString& number) {
    requireConnected();
    return findSlip(number) ? QStringLiteral("X") : QStringLiteral("");
}

void ReciptSlp::Msave() {
    requireConnected();
    const qint32 number = slipNumber(m_slipNo);
    desk::Transaction transaction(*m_connection);
    refuseTakenNumber(number);
    refuseIncompleteWork();
    m_headers->addNew();
    m_headers->setValue(QStringLiteral("RptNO"), number);
    m_headers->setValue(QStringLiteral("Rptkubun"), m_kind);
    m_headers->setValue(QStringLiteral("ReciptDate"), m_slipDate.isValid() ? QVariant(m_slipDate) : QVariant());
    m_headers->setValue(QStringLiteral("RptcheckInNo"), text(m_cliantCode));
    m_headers->update();
    transaction.commit();
}

void ReciptSlp::MDsave() {
    requireConnected();
    const qint32 number = slipNumber(m_slipNo);
    desk::Transaction transaction(*m_connection);
    refuseIncompleteWork();
    int copied = 0;
    for (m_work->moveFirst(); !m_work->eof(); m_work->moveNext()) {
        const QVariant amount = m_work->value(QStringLiteral("ReciptAmount"));
        if (amount.isNull())
            throw refusal(QStringLiteral("金額が入っていない明細があります。"));
        m_lines->addNew();
        m_lines->setValue(QStringLiteral("RptNO"), number);
        m_lines->setValue(QStringLiteral("RptCode"), m_work->value(QStringLiteral("RptCode")));
        m_lines->setValue(QStringLiteral("ReciptAmount"), amount);
        m_lines->setValue(QStringLiteral("RptRemarks"), m_work->value(QStringLiteral("RptRemarks")));
        m_lines->update();
        ++copied;
    }
    if (copied == 0)
        throw refusal(QStringLiteral("明細がありません。"));
    transaction.commit();
}

void ReciptSlp::Medit() {
    requireConnected();
    const qint32 number = slipNumber(m_slipNo);
    const qint32 current = requireSlip(QStringLiteral("訂正"));
    desk::Transaction transaction(*m_connection);
    if (number != current)
        refuseTakenNumber(number);
    m_headers->setValue(QStringLiteral("RptNO"), number);
    m_headers->setValue(QStringLiteral("ReciptDate"), m_slipDate.isValid() ? QVariant(m_slipDate) : QVariant());
    m_headers->setValue(QStringLiteral("RptcheckInNo"), text(m_cliantCode));
    m_headers->setValue(QStringLiteral("Rptkubun"), m_kind);
    m_headers->update();
    transaction.commit();
}

void ReciptSlp::MeditD1() {
    requireConnected();
    deleteLines(slipNumber(m_slipNo2));
}

void ReciptSlp::Mdelete() {
    requireConnected();
    const qint32 number = requireSlip(QStringLiteral("削除"));
    desk::Transaction transaction(*m_connection);
    m_headers->remove();
    deleteLines(number);
    transaction.commit();
}

void ReciptSlp::EDsearch() {
    requireConnected();
    if (!findSlip(m_slipNo)) {
        m_slipNo = QStringLiteral("0");
        return;
    }
    const qint32 number = desk::convert::toInt32(m_headers->value(QStringLiteral("RptNO")).toDouble());
    const QDate date = m_headers->value(QStringLiteral("ReciptDate")).toDate();
    const QString cliantCode = m_headers->value(QStringLiteral("RptcheckInNo")).toString();
    const qint16 kind = desk::convert::toInt16(m_headers->value(QStringLiteral("Rptkubun")).toDouble());

    desk::RowSet source(m_connection,
                        QStringLiteral("SELECT * FROM QRYReciptDetail WHERE RptNo = ") + QString::number(number));
    desk::Transaction transaction(*m_connection);
    for (; !source.eof(); source.moveNext()) {
        m_work->addNew();
        for (const auto* column : {"RptNO", "RptCode", "ReciptAmount", "RptName", "RptRemarks"}) {
            const QString name = QString::fromLatin1(column);
            m_work->setValue(name, source.value(name));
        }
        m_work->update();
    }
    transaction.commit();

    m_slipNo = QString::number(number);
    m_slipDate = date;
    m_cliantCode = cliantCode;
    m_kind = kind;
}

void ReciptSlp::SendReciptNo() {
    requireConnected();
    if (m_headers->isEmpty()) {
        m_slipNo = QStringLiteral("1");
        return;
    }
    desk::RowSet highest(m_connection, QStringLiteral("SELECT Max(BTPaymentNo!RptNo) AS RvNoM FROM BTPaymentNo"));
    const qint32 next =
        desk::convert::addInt32(desk::convert::toInt32(highest.value(QStringLiteral("RvNoM")).toDouble()), 1);
    m_slipNo = QString::number(next);
}

void ReciptSlp::ClearTemp() {
    requireConnected();
    // One statement: this desk's lines go entirely or not at all; other desks' lines stay.
    desk::clearDeskRows(*m_connection, QStringLiteral("BTReciptTemp"));
}

} // namespace paymentsvc
