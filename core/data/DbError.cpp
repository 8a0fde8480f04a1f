#include "DbError.h"

#include "Engine.h"

#include <QDir>
#include <QHash>

namespace desk {

namespace {
QString compose(const QString& message, const QString& statement, const QString& file, const QString& detail) {
    QString text = message;
    if (!detail.isEmpty())
        text += QStringLiteral(" [detail: ") + detail + QLatin1Char(']');
    if (!statement.isEmpty())
        text += QStringLiteral(" [statement: ") + statement + QLatin1Char(']');
    if (!file.isEmpty())
        text += QStringLiteral(" [file: ") + file + QLatin1Char(']');
    return text;
}
} // namespace

DbError::DbError(const QString& message, const QString& statement, const QString& file, Cause cause,
                 const QString& detail)
    : std::runtime_error(compose(message, statement, file, detail).toStdString())
    , m_message(message)
    , m_detail(detail.trimmed())
    , m_statement(statement)
    , m_file(file)
    , m_cause(cause) {}

QString DbError::detailHeading() {
    return QStringLiteral("詳細: ");
}

QString DbError::place() const {
    if (m_file.isEmpty())
        return {};
    return Engine::forLocation(m_file).placeLine(m_file);
}

QString DbError::text() const {
    if (m_detail.isEmpty())
        return m_message;
    return m_message + QStringLiteral("\r\n\r\n") + detailHeading() + m_detail;
}

DbError DbError::fromEngine(const QString& engineMessage, const QString& statement, const QString& file, Cause cause,
                            const QString& keyColumn, const std::function<QVariant(const QString& column)>& valueOf) {
    switch (cause) {
    case Cause::DuplicateKey:
        break;
    case Cause::DiskFull:
        return DbError(QStringLiteral("ディスクに書き込めません（空き容量がないか、装置の障害です）。"), statement,
                       file, Cause::DiskFull);
    case Cause::Damaged:
        return DbError(QStringLiteral("データベースファイルが壊れています。"), statement, file, Cause::Damaged);
    case Cause::NoPermission:
        return DbError(
            QStringLiteral("データベースファイルに書き込めません（ファイルかフォルダに書き込む権限がありません）。"
                           "権限を確かめてください。"),
            statement, file, Cause::NoPermission);
    case Cause::Busy:
        return DbError(
            QStringLiteral(
                "データベースファイルを他のプログラムが使用中です（復元かバージョンアップの最中かもしれません）。"
                "しばらく待ってから、もう一度実行してください。"),
            statement, file, Cause::Busy);
    case Cause::Unreachable:
        // The server's own words go under the detail, for whoever looks after the server.
        return DbError(QStringLiteral("データベースサーバーに接続できません（サーバーが止まっているか、ネットワークか"
                                      "接続が切れています）。入力中の内容は保存されていません。サーバーとネットワークを"
                                      "確かめてから、もう一度実行してください。"),
                       statement, file, Cause::Unreachable, engineMessage);
    case Cause::LoginRefused:
        return DbError(QStringLiteral("データベースサーバーがログインを拒否しました。DPath.txtのユーザー名と、"
                                      "~/.pgpass のパスワードを確かめてください。"),
                       statement, file, Cause::LoginRefused, engineMessage);
    case Cause::NoSuchDatabase:
        return DbError(QStringLiteral("データベースサーバーにその名前のデータベースがありません。DPath.txt（または"
                                      "指定したアドレス）のデータベース名を確かめてください。"),
                       statement, file, Cause::NoSuchDatabase, engineMessage);
    case Cause::Clash:
        // The store that saved names the other party in its own words.
        return DbError(QStringLiteral("ほかの行と日付が重なっています。"), statement, file, Cause::Clash,
                       engineMessage);
    default:
        // No cause a clerk can act on: say so in Japanese, keep the engine's words for support.
        return DbError(QStringLiteral("データベースの処理に失敗しました。"), statement, file, Cause::Other,
                       engineMessage);
    }
    const QString column = keyColumn;

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
    const QString label = column.isEmpty() ? QStringLiteral("番号またはコード")
                                           : labels.value(column.toLower(), QStringLiteral("「%1」").arg(column));
    const QVariant value = valueOf ? valueOf(column) : QVariant();
    const QString text =
        value.isValid() && !value.isNull()
            ? QStringLiteral("%1「%2」は既に登録されています。別の番号またはコードにしてください。")
                  .arg(label, value.toString())
            : QStringLiteral("この%1は既に登録されています。別の番号またはコードにしてください。").arg(label);
    return DbError(text, statement, file, Cause::DuplicateKey);
}

} // namespace desk
