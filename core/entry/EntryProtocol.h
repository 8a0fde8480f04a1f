#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// The wire between an entry object and a module program: one compact JSON object per line
// over a per-user local socket.
//
//   caller → module  {"op":"show","modal":b,"values":[[name,text],…]}   values in set order
//                    {"op":"set","name":…,"value":…}                   a value set after ShowForm
//   module → caller  {"reply":"shown"} | {"reply":"error","text":…}     answer to "show"
//                    {"reply":"closed"}                                 modal window closed
namespace desk::protocol {

// The server a module program listens on: per user, per program and per programs folder,
// so two installations (or a test build beside a real one) never reach each other.
QString serverName(const QString& program, const QString& programsDir);

QByteArray encode(const QJsonObject& message);

// Collects bytes and hands out complete messages.
class LineReader {
public:
    void append(const QByteArray& bytes) { m_buffer += bytes; }
    // The complete messages received so far; lines that are not JSON objects are dropped.
    QList<QJsonObject> take();

private:
    QByteArray m_buffer;
};

} // namespace desk::protocol
