#include "GuestListModel.h"

namespace arrivalapp {

namespace {

const QString sameAddress = QStringLiteral("同上");

// A line added and left as it came ("同上" alone) is no guest either.
bool isEmpty(const arrivalsvc::CheckInGuest& g) {
    const QString address = g.address.trimmed();
    return g.name.trimmed().isEmpty() && (address.isEmpty() || address == sameAddress) && g.telNo.trimmed().isEmpty() &&
           !g.abroad && g.nationality.trimmed().isEmpty() && g.passportNo.trimmed().isEmpty();
}

} // namespace

GuestListModel::GuestListModel(QObject* parent)
    : QAbstractTableModel(parent) {
    m_guests.append(arrivalsvc::CheckInGuest());
}

QList<arrivalsvc::CheckInGuest> GuestListModel::filledGuests() const {
    QList<arrivalsvc::CheckInGuest> filled;
    for (const arrivalsvc::CheckInGuest& g : m_guests) {
        if (!isEmpty(g))
            filled.append(g);
    }
    return filled;
}

void GuestListModel::setGuests(const QList<arrivalsvc::CheckInGuest>& guests, bool followsRepresentative) {
    beginResetModel();
    m_guests = guests;
    if (m_guests.isEmpty())
        m_guests.append(arrivalsvc::CheckInGuest());
    m_representativeEdited = !followsRepresentative;
    endResetModel();
}

void GuestListModel::followRepresentative(const QString& name, const QString& address, const QString& telNo) {
    if (m_representativeEdited)
        return;
    arrivalsvc::CheckInGuest& first = m_guests.first();
    first.name = name;
    first.address = address;
    first.telNo = telNo;
    emit dataChanged(index(0, Name), index(0, TelNo));
}

int GuestListModel::appendCompanion(const QString& name) {
    const int row = int(m_guests.size());
    beginInsertRows({}, row, row);
    arrivalsvc::CheckInGuest guest;
    guest.name = name;
    guest.address = sameAddress;
    m_guests.append(guest);
    endInsertRows();
    emit edited();
    return row;
}

bool GuestListModel::isBlank(int row) const {
    return row < 0 || row >= m_guests.size() || isEmpty(m_guests[row]);
}

bool GuestListModel::removeCompanion(int row) {
    if (row < 1 || row >= m_guests.size())
        return false;
    beginRemoveRows({}, row, row);
    m_guests.removeAt(row);
    endRemoveRows();
    emit edited();
    return true;
}

QString GuestListModel::companionNames() const {
    QStringList names;
    for (qsizetype i = 1; i < m_guests.size(); ++i) {
        if (!m_guests[i].name.trimmed().isEmpty())
            names << m_guests[i].name.trimmed();
    }
    return names.join(QStringLiteral("、"));
}

QStringList GuestListModel::abroadWithoutPassport() const {
    QStringList names;
    for (const arrivalsvc::CheckInGuest& g : m_guests) {
        if (g.abroad && g.passportNo.trimmed().isEmpty())
            names << (g.name.trimmed().isEmpty() ? QStringLiteral("（氏名なし）") : g.name.trimmed());
    }
    return names;
}

int GuestListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_guests.size());
}

int GuestListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString* GuestListModel::textOf(arrivalsvc::CheckInGuest& guest, int column) {
    switch (column) {
    case Name:
        return &guest.name;
    case Address:
        return &guest.address;
    case TelNo:
        return &guest.telNo;
    case Nationality:
        return &guest.nationality;
    case PassportNo:
        return &guest.passportNo;
    default:
        return nullptr;
    }
}

QVariant GuestListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_guests.size())
        return {};
    arrivalsvc::CheckInGuest guest = m_guests[index.row()];
    if (index.column() == Abroad) {
        if (role == Qt::CheckStateRole)
            return guest.abroad ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const QString* text = textOf(guest, index.column());
        return text ? *text : QString();
    }
    return {};
}

QVariant GuestListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section == 0 ? QStringLiteral("代表") : QString::number(section + 1);
    static const QString captions[] = {QStringLiteral("氏名"), QStringLiteral("住所"), QStringLiteral("電話番号"),
                                       QStringLiteral("海外"), QStringLiteral("国籍"), QStringLiteral("旅券番号")};
    return section >= 0 && section < ColumnCount ? captions[section] : QVariant();
}

Qt::ItemFlags GuestListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == Abroad ? base | Qt::ItemIsUserCheckable : base | Qt::ItemIsEditable;
}

bool GuestListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= m_guests.size())
        return false;
    arrivalsvc::CheckInGuest& guest = m_guests[index.row()];
    if (index.column() == Abroad) {
        if (role != Qt::CheckStateRole)
            return false;
        const bool abroad = value.toInt() == Qt::Checked;
        if (abroad == guest.abroad)
            return true;
        guest.abroad = abroad;
    } else {
        QString* text = textOf(guest, index.column());
        if (role != Qt::EditRole || !text)
            return false;
        if (*text == value.toString())
            return true;
        *text = value.toString();
        if (index.row() == 0 && index.column() <= TelNo)
            m_representativeEdited = true;
    }
    emit dataChanged(index, index);
    emit edited();
    return true;
}

} // namespace arrivalapp
