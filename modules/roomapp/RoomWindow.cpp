#include "RoomWindow.h"

#include "ui_RoomWindow.h"

#include "RoomListReport.h"
#include "convert/Convert.h"
#include "report/ShowReport.h"
#include "roomsvc/RoomStore.h"
#include "roomsvc/RoomTables.h"

using namespace Qt::StringLiterals;

namespace roomapp {

frmRoom::frmRoom(desk::ModuleContext& context, QWidget* parent)
    : desk::CodeTableWindow(parent)
    , m_ui(std::make_unique<Ui::frmRoom>()) {
    m_ui->setupUi(this);
    m_ui->ListView1->setColumnWidth(0, 70);
    m_ui->ListView1->setColumnWidth(1, 110);
    m_ui->ListView1->setColumnWidth(2, 80);

    const QString dir = context.DirPath();
    desk::CodeTableSetup setup;
    setup.title = u"客室"_s;
    setup.codeName = u"部屋番号"_s;
    setup.callUpPrompt = u"訂正または削除する部屋番号を入力してください。"_s;
    setup.nothingCalledUp = u"削除する客室を呼び出してください。"_s;
    setup.takenText = u"部屋番号が重複しています。"_s;
    setup.code = m_ui->txtRoomCode;
    setup.calledCode = m_ui->lbRoomCode;
    setup.message = m_ui->lbMessage;

    using Kind = desk::CodeTableField::Kind;
    desk::CodeTableField type{Kind::Choice, m_ui->CmbRoomType};
    type.choices = [dir] {
        QList<QPair<QString, QString>> entries;
        for (const desk::CodeRecord& t : roomsvc::roomTypes(dir).rows())
            entries.append({desk::convert::textOf(t.value(0)), desk::convert::textOf(t.value(1))});
        return entries;
    };
    type.byName = true;
    type.noChoiceText = u"種別を選択してください。"_s;
    desk::CodeTableField capacity{Kind::Count, m_ui->txtCapacity};
    capacity.name = u"定員"_s;
    desk::CodeTableField fewest{Kind::Count, m_ui->txtMinGuests};
    fewest.name = u"最少人数"_s;
    desk::CodeTableField order{Kind::Count, m_ui->txtSortOrder};
    order.name = u"表示順"_s;
    desk::CodeTableField inService{Kind::Flag, m_ui->chkInService};
    inService.checkedWhenCleared = true;
    setup.fields = {{Kind::Text, m_ui->txtRoomName}, type,  capacity,  fewest,
                    {Kind::Text, m_ui->txtFloor},    order, inService, {Kind::Flag, m_ui->chkToCheck},
                    {Kind::Text, m_ui->txtNote}};
    // The record's columns are the fields' after the code.
    setup.check = [dir](const QString& calledCode,
                        const QVariantList& record) -> std::optional<desk::CodeTableRefusal> {
        if (const auto refusal = roomsvc::checkRoom(record))
            return desk::CodeTableRefusal{refusal->text, refusal->column - 1};
        const QString code = record.value(0).toString();
        if (!calledCode.isEmpty() && calledCode.compare(code, Qt::CaseInsensitive) != 0 &&
            roomsvc::RoomStore(dir).staysIn(calledCode) > 0)
            return desk::CodeTableRefusal{
                u"%1号室は部屋割りに使われているため、部屋番号を変えられません。"_s.arg(calledCode), 0};
        return std::nullopt;
    };
    setup.deleteRefusal = [dir](const QString& code) {
        if (roomsvc::RoomStore(dir).staysIn(code) == 0)
            return QString();
        return u"%1号室は部屋割りに使われているため削除できません。使わない部屋は「使用可」を外して修理中にしてください。"_s
            .arg(code);
    };
    setup.list = m_ui->ListView1;
    setup.listColumns = {{0, Qt::AlignLeft | Qt::AlignVCenter},  {1, Qt::AlignLeft | Qt::AlignVCenter},
                         {2, Qt::AlignLeft | Qt::AlignVCenter},  {3, Qt::AlignRight | Qt::AlignVCenter},
                         {4, Qt::AlignRight | Qt::AlignVCenter}, {5, Qt::AlignLeft | Qt::AlignVCenter}};
    setup.actions = desk::codeTableActions(roomsvc::roomCodes(dir));
    setup.print = [this, &context] {
        desk::showReport(std::make_unique<RoomListReport>(context.DirPath(), context.profile()), this);
    };
    configure(std::move(setup), *m_ui);
}

frmRoom::~frmRoom() = default;

} // namespace roomapp
