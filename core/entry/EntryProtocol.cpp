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

// A folder as one spelling: "/inn/", "/inn" and a link to it are one folder.
QString folderKey(const QString& path) {
    const QString canonical = QDir(path).canonicalPath();
    return canonical.isEmpty() ? QDir(path).absolutePath() : canonical;
}

// The inn as one spelling: a folder as above, a server address as it is written, none as none.
QString innKey(const QString& inn) {
    return inn.isEmpty() || inn.contains(QLatin1String("://")) ? inn : folderKey(inn);
}

} // namespace

QString serverName(const QString& program, const QString& programsDir, const QString& desk, const QString& inn) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    // Each part with its length, so no two different triples make the same text.
    for (const QString& part : {folderKey(programsDir), desk, innKey(inn)}) {
        const QByteArray bytes = part.toUtf8();
        hash.addData(QByteArray(QByteArray::number(bytes.size()) + ':' + bytes));
    }
    return QStringLiteral("tesaro-%1-%2-%3")
        .arg(userKey(), program.toLower(), QString::fromLatin1(hash.result().toHex().left(16)));
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
