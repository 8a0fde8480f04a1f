#include "EntryRegistry.h"

#include "EntryError.h"
#include "ProcessEntry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace desk {

namespace {
EntryClass modeless(const QString& program, const QString& className = QStringLiteral("Class1")) {
    return EntryClass{program + QLatin1Char('.') + className, program, EntryClass::Show::Modeless, true, false};
}
// A program whose window can be opened for one guest (EntryMembers::CheckInNo).
EntryClass forGuest(EntryClass entryClass) {
    entryClass.guest = true;
    return entryClass;
}
// A program whose window opens on a reservation or check-in, or a new reservation
// (EntryMembers::Stay).
EntryClass forStays(EntryClass entryClass) {
    entryClass.stays = true;
    return entryClass;
}
} // namespace

EntryRegistry::EntryRegistry() {
    m_classes = {
        forStays(modeless(QStringLiteral("bookingapp"))),
        forStays(modeless(QStringLiteral("arrivalapp"))),
        forGuest(modeless(QStringLiteral("chargeapp"))),
        forGuest(modeless(QStringLiteral("paymentapp"))),
        forGuest(modeless(QStringLiteral("departapp"))),
        modeless(QStringLiteral("tallyapp")),
        modeless(QStringLiteral("goodsapp")),
        modeless(QStringLiteral("goodsclassapp"), QStringLiteral("KbnCls")),
        modeless(QStringLiteral("payitemapp")),
        modeless(QStringLiteral("payclassapp")),
        modeless(QStringLiteral("guestcatapp")),
        modeless(QStringLiteral("roomapp")),
        modeless(QStringLiteral("rackapp")),
        // The company profile window holds the main menu until it is closed, and takes
        // nothing but the data directory.
        EntryClass{QStringLiteral("firmapp.StartCls"), QStringLiteral("firmapp"), EntryClass::Show::Modal, false,
                   false},
    };
}

EntryRegistry& EntryRegistry::instance() {
    static EntryRegistry* registry = [] {
        auto* r = new EntryRegistry;
        if (QCoreApplication::instance()) {
            r->setProgramsDir(QCoreApplication::applicationDirPath());
            r->loadRegistrations(QCoreApplication::applicationDirPath() + QStringLiteral("/DeskModules.ini"));
        }
        return r;
    }();
    return *registry;
}

void EntryRegistry::registerClass(const EntryClass& entryClass) {
    unregisterClass(entryClass.classId);
    m_classes.append(entryClass);
}

void EntryRegistry::unregisterClass(const QString& classId) {
    m_classes.removeIf([&](const EntryClass& c) { return c.classId.compare(classId, Qt::CaseInsensitive) == 0; });
}

std::optional<EntryClass> EntryRegistry::find(const QString& classId) const {
    for (const EntryClass& c : m_classes) {
        if (c.classId.compare(classId, Qt::CaseInsensitive) == 0)
            return c;
    }
    return std::nullopt;
}

std::optional<EntryClass> EntryRegistry::searchClass() const {
    for (const EntryClass& c : m_classes) {
        if (c.search)
            return c;
    }
    return std::nullopt;
}

void EntryRegistry::loadRegistrations(const QString& iniPath) {
    if (!QFileInfo(iniPath).isFile())
        return;
    QSettings ini(iniPath, QSettings::IniFormat);
    const QStringList groups = ini.childGroups();
    for (const QString& group : groups) {
        ini.beginGroup(group);
        EntryClass c;
        c.classId = group;
        c.program = ini.value(QStringLiteral("program")).toString().trimmed();
        c.show =
            ini.value(QStringLiteral("modal"), false).toBool() ? EntryClass::Show::Modal : EntryClass::Show::Modeless;
        c.profileValues = ini.value(QStringLiteral("profile"), true).toBool();
        c.search = ini.value(QStringLiteral("search"), false).toBool();
        ini.endGroup();
        // A group without a program cannot be started; leave it out rather than fail later.
        if (!c.program.isEmpty())
            registerClass(c);
    }
}

std::unique_ptr<ModuleEntry> EntryRegistry::create(const QString& classId) const {
    const std::optional<EntryClass> found = find(classId);
    if (!found)
        throw EntryError(QStringLiteral("クラス %1 は登録されていません。").arg(classId));
    if (m_factory)
        return m_factory(*found, m_programsDir);
    return std::make_unique<ProcessEntry>(*found, m_programsDir);
}

} // namespace desk
