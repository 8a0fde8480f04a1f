#pragma once

#include "convert/CompanyProfile.h"

#include <QMainWindow>
#include <QPointer>

class QTreeWidgetItem;

#include <exception>

#include <map>
#include <memory>

namespace Ui {
class FrmMain;
}

namespace desk {
class EntryRegistry;
class ModuleEntry;
class ReportPreview;
} // namespace desk

namespace deskmain {

// "テサロさん": today's reservations, the guests not yet checked out, and the menu and
// toolbar that open every module program.
class FrmMeibo;

class FrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit FrmMain(const QString& dataDir, QWidget* parent = nullptr);
    // Modules are opened through registry (tests hand in one that records).
    FrmMain(const QString& dataDir, desk::EntryRegistry& registry, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The window's load: both lists and the company profile, read once. Throws the
    // data layer's errors (a data directory that cannot be opened).
    void load();

    QString dataDir() const { return m_dataDir; }
    // The inn's profile as read at load; handed to every module opened afterwards.
    const desk::CompanyProfile& profile() const { return m_profile; }
    // Today as "2002/3/1", taken at load.
    QString todayText() const { return m_todayText; }

    // Runs the launch command of a toolbar button by its text; other texts do nothing.
    void Toolbar1_ButtonClick(const QString& text);

    // Reads both lists afresh (today's date included). Runs whenever the window becomes
    // active again, when a module window opened from here closes and, on a server, when
    // another desk saved, so that a booking or check-in made meanwhile is listed. A failure
    // is shown in the status bar, not in a box (a box would take the activation and bring
    // the window back here).
    void refreshLists();
    static bool serverAway(const std::exception_ptr& error);

    // The window's title: the suite, this desk, and the server when the inn is on one, so
    // that two main menus on one screen are told apart.
    static QString titleFor(const QString& dataDir);
    // What the status bar says of the server's backup (see dailyBackup); empty on files.
    void setBackupNote(const QString& text);
    // What the status bar says now: the lists' state, the server's backup.
    QString statusText() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    // The column of today's reservations that shows their rooms.
    static constexpr int RoomColumn = 5;
    void fillReservations();
    void fillNotCheckedOut();
    void readProfile();
    void setUpSearchButton();
    // checkInNo: the guest the module's window opens for (sales, payment, check-out).
    void launch(const QString& classId, const QString& checkInNo = {});
    // Enter (or a double click) on a guest in the house: 売上, 入金 or チェックアウト for that guest.
    void offerGuestWindows(QTreeWidgetItem* item);
    void Command1_Click();
    void Command2_Click();
    void CmdMeibo_Click();
    // The server went away or came back (ChangeNotices).
    void serverListening(bool listening);

    std::unique_ptr<Ui::FrmMain> m_ui;
    desk::EntryRegistry& m_registry;
    QString m_dataDir;
    QString m_todayText;
    bool m_loaded = false;
    desk::CompanyProfile m_profile;
    // The entry object each launch command created last, by class identifier.
    std::map<QString, std::unique_ptr<desk::ModuleEntry>> m_slots;
    QPointer<desk::ReportPreview> m_reservationList;
    QPointer<desk::ReportPreview> m_notCheckedOutList;
    QPointer<FrmMeibo> m_meibo;
};

} // namespace deskmain
