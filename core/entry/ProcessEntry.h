#pragma once

#include "EntryClass.h"
#include "EntryProtocol.h"
#include "ModuleEntry.h"

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <optional>

class QLocalSocket;

namespace desk {

// The entry object of a module program that runs as its own process, reached over its
// local socket (see EntryProtocol.h). Made by EntryRegistry::create.
class ProcessEntry : public ModuleEntry {
public:
    ProcessEntry(EntryClass entryClass, QString programsDir);
    ~ProcessEntry() override;

    QString classId() const override { return m_class.classId; }
    void setValue(const QString& name, const QString& value) override;
    void ShowForm() override;

    // How long a started program may take to answer at all, and a window to load.
    static constexpr int StartTimeoutMs = 15000;
    static constexpr int LoadTimeoutMs = 120000;

private:
    enum class Outcome { Shown, Gone };

    std::unique_ptr<QLocalSocket> connectOrStart();
    // Takes over a connection: what arrives on it is read as it comes.
    void attach(std::unique_ptr<QLocalSocket> socket);
    // Reads what has arrived: replies go to the inbox, window events are acted on.
    void pump();
    // The next reply, or nothing when the connection went away or timeoutMs (negative: no
    // limit) passed; timedOut tells the two apart.
    std::optional<QJsonObject> nextReply(int timeoutMs, bool* timedOut = nullptr);
    Outcome showOn(bool withValues);
    void waitUntilClosed();
    void requestRaise();
    QString programPath() const;

    EntryClass m_class;
    QString m_programsDir;
    QList<QPair<QString, QString>> m_values;
    std::unique_ptr<QLocalSocket> m_socket;
    protocol::LineReader m_reader;
    QList<QJsonObject> m_inbox;
};

} // namespace desk
