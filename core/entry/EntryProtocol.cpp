#include "EntryProtocol.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace desk::protocol {

namespace {
QString userKey() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}
} // namespace

QString serverName(const QString& program, const QString& programsDir) {
    QString folder = QDir(programsDir).canonicalPath();
    if (folder.isEmpty())
        folder = QDir(programsDir).absolutePath();
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    return QStringLiteral("tesaro-%1-%2-%3").arg(userKey(), program.toLower(), QString::fromLatin1(hash));
}

QByteArray encode(const QJsonObject& message) {
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

QList<QJsonObject> LineReader::take() {
    QList<QJsonObject> messages;
    qsizetype end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QJsonDocument doc = QJsonDocument::fromJson(m_buffer.left(end));
        m_buffer.remove(0, end + 1);
        if (doc.isObject())
            messages.append(doc.object());
    }
    return messages;
}

} // namespace desk::protocol
