#include "DbError.h"

#include <QHash>

namespace desk {

namespace {
QString compose(const QString& message, const QString& statement, const QString& file) {
    QString text = message;
    if (!statement.isEmpty())
        text += QStringLiteral(" [statement: ") + statement + QLatin1Char(']');
    if (!file.isEmpty())
        text += QStringLiteral(" [file: ") + file + QLatin1Char(']');
    return text;
}
} // namespace

DbError::DbError(const QString& message, const QString& statement, const QString& file, Cause cause)
    : std::runtime_error(compose(message, statement, file).toStdString())
    , m_message(message)
    , m_statement(statement)
    , m_file(file)
    , m_cause(cause) {}

DbError DbError::fromEngine(const QString& engineMessage, const QString& statement, const QString& file,
                            const std::function<QVariant(const QString& column)>& valueOf) {
    // "UNIQUE constraint failed: CheckInCliants.CheckInNO" (several columns: comma-separated).
    static const QString marker = QStringLiteral("UNIQUE constraint failed: ");
    const qsizetype at = engineMessage.indexOf(marker);
    if (at < 0) {
        if (engineMessage.contains(QLatin1String("disk is full")) ||
            engineMessage.contains(QLatin1String("disk I/O error")))
            return DbError(QStringLiteral("ディスクに書き込めません（空き容量がないか、装置の障害です）。"), statement,
                           file, Cause::DiskFull);
        if (engineMessage.contains(QLatin1String("malformed")) ||
            engineMessage.contains(QLatin1String("file is not a database")))
            return DbError(QStringLiteral("データベースファイルが壊れています。"), statement, file, Cause::Damaged);
        if (engineMessage.contains(QLatin1String("readonly database")) ||
            engineMessage.contains(QLatin1String("unable to open database file")))
            return DbError(
                QStringLiteral("データベースファイルに書き込めません（ファイルかフォルダに書き込む権限がありません）。"
                               "権限を確かめてください。"),
                statement, file, Cause::NoPermission);
        if (engineMessage.contains(QLatin1String("database is locked")) ||
            engineMessage.contains(QLatin1String("database table is locked")))
            return DbError(
                QStringLiteral(
                    "データベースファイルを他のプログラムが使用中です（復元かバージョンアップの最中かもしれません）。"
                    "しばらく待ってから、もう一度実行してください。"),
                statement, file, Cause::Busy);
        // No cause a clerk can act on: say so in Japanese, keep the engine's words for support.
        return DbError(QStringLiteral("データベースの処理に失敗しました。詳細: %1").arg(engineMessage), statement,
                       file);
    }
    QString columns = engineMessage.mid(at + marker.size());
    columns = columns.section(QLatin1Char(' '), 0, 0).section(QLatin1Char(','), 0, 0);
    const QString column = columns.section(QLatin1Char('.'), -1);

    static const QHash<QString, QString> labels{
        {QStringLiteral("checkinno"), QStringLiteral("チェックイン番号")},
        {QStringLiteral("rvno"), QStringLiteral("予約番号")},
        {QStringLiteral("btsalesno"), QStringLiteral("売上番号")},
        {QStringLiteral("rptno"), QStringLiteral("入金番号")},
        {QStringLiteral("ccode"), QStringLiteral("商品コード")},
        {QStringLiteral("cclasscode"), QStringLiteral("商品区分コード")},
        {QStringLiteral("rptcode"), QStringLiteral("入金項目コード")},
        {QStringLiteral("rptclasscode"), QStringLiteral("入金区分コード")},
        {QStringLiteral("ycode"), QStringLiteral("年齢区分コード")},
        {QStringLiteral("ucode"), QStringLiteral("利用区分コード")},
        {QStringLiteral("gcode"), QStringLiteral("団体区分コード")},
        {QStringLiteral("pcode"), QStringLiteral("支払区分コード")},
        {QStringLiteral("chcode"), QStringLiteral("選択理由コード")},
    };
    const QString label = labels.value(column.toLower(), QStringLiteral("「%1」").arg(column));
    const QVariant value = valueOf ? valueOf(column) : QVariant();
    const QString text =
        value.isValid() && !value.isNull()
            ? QStringLiteral("%1「%2」は既に登録されています。別の番号またはコードにしてください。")
                  .arg(label, value.toString())
            : QStringLiteral("この%1は既に登録されています。別の番号またはコードにしてください。").arg(label);
    return DbError(text, statement, file, Cause::DuplicateKey);
}

} // namespace desk
