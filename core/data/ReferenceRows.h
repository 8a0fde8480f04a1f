#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

// The rows a new installation starts with: classification lists, commodities and their
// prices, payment classes and items, the inn's profile. Internal to core/data.
namespace desk::Schema {

struct Rows {
    QString statement;
    QList<QVariantList> values;
};

QList<Rows> referenceRows(const QString& fileName);

// The consumption-tax rates every file starts with (dbOptionBT.mdb), also added by the
// upgrade to version 3.
Rows taxRateRows();
// The room types every option file starts with, also added by the upgrade to version 7.
Rows roomTypeRows();

} // namespace desk::Schema
