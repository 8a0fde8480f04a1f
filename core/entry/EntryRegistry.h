#pragma once

#include "EntryClass.h"
#include "ModuleEntry.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace desk {

// The class identifiers entry objects are created from, and where their programs live.
//
// The modules of the suite are built in ("bookingapp.Class1" … "goodsclassapp.KbnCls",
// "firmapp.StartCls" modal with DirPath only). Programs from outside the suite, such as a
// search module, are registered in "DeskModules.ini" in the programs folder, one group per
// class identifier:
//
//     [kensaku.Class1]
//     program=kensaku        ; program file in the programs folder
//     search=true            ; opened by the main menu's "検索" button
//     modal=false
//     profile=true           ; takes the eight My… values
//
// Module programs are looked for in the programs folder: the caller's own folder unless
// set otherwise (tests point it at the build's bin folder).
class EntryRegistry {
public:
    using Factory = std::function<std::unique_ptr<ModuleEntry>(const EntryClass&, const QString& programsDir)>;

    // A registry holding the built-in classes only.
    EntryRegistry();

    // The registry of this program: built-ins plus DeskModules.ini of the program's folder,
    // read on first use.
    static EntryRegistry& instance();

    // Adds or replaces a class (identifiers compare without regard to case).
    void registerClass(const EntryClass& entryClass);
    void unregisterClass(const QString& classId);
    std::optional<EntryClass> find(const QString& classId) const;
    QList<EntryClass> classes() const { return m_classes; }
    // The registered search module, if any.
    std::optional<EntryClass> searchClass() const;

    // Reads the registrations of an ini file as described above; a missing file adds nothing.
    void loadRegistrations(const QString& iniPath);

    QString programsDir() const { return m_programsDir; }
    void setProgramsDir(const QString& dir) { m_programsDir = dir; }

    // A new entry object of a registered class; EntryError for an unknown identifier.
    std::unique_ptr<ModuleEntry> create(const QString& classId) const;

    // Replaces how entry objects are made (tests record launches this way); an empty
    // factory goes back to real module programs.
    void setFactory(Factory factory) { m_factory = std::move(factory); }

private:
    QList<EntryClass> m_classes;
    QString m_programsDir;
    Factory m_factory;
};

} // namespace desk
