#pragma once

#include "arrivalsvc/CheckIn.h"

#include <QAbstractTableModel>
#include <QList>

namespace arrivalapp {

// The guests of the party on the check-in screen, the representative on the first line. The
// list lives here until the check-in is saved; nothing is written while the clerk types.
class GuestListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Name, Address, TelNo, Abroad, Nationality, PassportNo, ColumnCount };

    explicit GuestListModel(QObject* parent = nullptr);

    // The lines as they are to be saved: lines left empty (or "同上" alone) are dropped.
    QList<arrivalsvc::CheckInGuest> filledGuests() const;
    // Replaces every line (a call-up); an empty list leaves one empty representative line.
    // followsRepresentative: whether the first line follows the check-in's own boxes again.
    void setGuests(const QList<arrivalsvc::CheckInGuest>& guests, bool followsRepresentative);
    // Sets the representative's line from the check-in's name, address and phone, unless the
    // clerk has typed into it since the list was last set.
    void followRepresentative(const QString& name, const QString& address, const QString& telNo);
    // A companion's line after the last, its address "同上"; returns its row.
    int appendCompanion(const QString& name = {});
    // Whether the line holds nothing typed ("同上" alone counts as nothing).
    bool isBlank(int row) const;
    // Removes a companion's line; the representative's line stays (false).
    bool removeCompanion(int row);
    // Names of the guests after the representative, joined with "、".
    QString companionNames() const;
    // Names of guests from abroad whose passport number is missing.
    QStringList abroadWithoutPassport() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The clerk changed a line (not followRepresentative or setGuests).
    void edited();

private:
    static QString* textOf(arrivalsvc::CheckInGuest& guest, int column);

    QList<arrivalsvc::CheckInGuest> m_guests;
    bool m_representativeEdited = false;
};

} // namespace arrivalapp
