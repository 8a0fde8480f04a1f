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

// The server a module program listens on: per user, program and programs folder, so two
// installations (or a test build beside a real one) never reach each other, and per desk
// and inn (its data location), so two desks started on one PC by the same user each get a
// program and a window of their own. Folder, desk and inn make a short hash of the name.
QString serverName(const QString& program, const QString& programsDir, const QString& desk, const QString& inn);

// How a caller tells the module program it starts which desk and inn it serves:
// "--desk DESK --inn LOCATION"; desk and inn of ModuleHost::run come from there.
inline constexpr auto DeskArgument = "--desk";
inline constexpr auto InnArgument = "--inn";

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
