#pragma once

#include "EntryClass.h"
#include "EntryProtocol.h"
#include "ModuleEntry.h"

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

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
    Outcome showOn(QLocalSocket& socket, bool withValues);
    void waitUntilClosed(QLocalSocket& socket);
    QString programPath() const;

    EntryClass m_class;
    QString m_programsDir;
    QList<QPair<QString, QString>> m_values;
    std::unique_ptr<QLocalSocket> m_socket;
    protocol::LineReader m_reader;
    QList<QJsonObject> m_inbox;
};

} // namespace desk
