#pragma once

#include "entry/ModuleContext.h"
#include "roomrack/RoomRackModel.h"
#include "roomsvc/RoomStore.h"

#include <QHash>
#include <QWidget>

#include <map>
#include <memory>

namespace Ui {
class FrmRoomRack;
}

namespace desk {
class EntryRegistry;
class ModuleEntry;
struct StayRequest;
} // namespace desk

namespace rackapp {

// "部屋割表": the room rack over the inn's rooms and stays, read through the room store.
// Every change the clerk makes on the rack is saved at once; one the store refuses (another
// desk was first) is taken back and said. Enter on a stay opens its reservation or
// check-in, on free nights a new reservation for that room and those nights. Another
// desk's saves show within a moment on a server, and whenever the window is activated.
class FrmRoomRack : public QWidget {
    Q_OBJECT

public:
    explicit FrmRoomRack(desk::ModuleContext& context, QWidget* parent = nullptr);
    // Stays and reservations are opened through registry (tests hand in one that records).
    FrmRoomRack(desk::ModuleContext& context, desk::EntryRegistry& registry, QWidget* parent = nullptr);
    ~FrmRoomRack() override;

    roomrack::RoomRackModel& model() { return m_model; }
    // Reads the rooms and the stays of the period (and a month either side) again.
    void reload();

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void readRooms();
    void saveChange(const QList<roomrack::RackStay>& stays);
    void saveProposal();
    QString freshen(QList<roomsvc::RoomStay>& stays) const;
    void refuse(const QString& text);
    void openStay(qint64 id);
    void newReservation(const QString& room, const QDate& firstNight, int nights);
    void launch(const QString& classId, const desk::StayRequest& request);
    void CmdJump_Click();
    void CmdNew_Click();
    void CmdAssign_Click();
    void CmdUndo_Click();
    void CmdPrint_Click();
    void CmdDayList_Click();
    void showPeriod();

    std::unique_ptr<Ui::FrmRoomRack> m_ui;
    desk::ModuleContext& m_context;
    desk::EntryRegistry& m_registry;
    roomsvc::RoomStore m_store;
    roomrack::RoomRackModel m_model;
    // The stays as last read, by id: what a change is saved onto.
    QHash<qint64, roomsvc::RoomStay> m_read;
    bool m_loaded = false;
    bool m_takingBack = false;
    std::map<QString, std::unique_ptr<desk::ModuleEntry>> m_entries;
};

} // namespace rackapp
