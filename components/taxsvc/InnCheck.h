#pragma once

#include "data/Maintenance.h"

#include <QDate>
#include <QString>

namespace taxsvc {

// deskadmin check: the integrity check and schema version of every database of the inn at
// dataDir (desk::maintenance::check), then the inn's own rules in every database that could be
// read — every check-in has its six rows and its guest list, no slip header without lines or
// lines without a header, no number or code twice — and its tax settings: a consumption-tax
// rate for today and for every slip's day, a room share for levies to be charged on. Throws
// desk::DbError when it cannot run at all (no such folder, a full disk, a missing permission).
QList<desk::maintenance::Finding> checkInn(const QString& dataDir, const QDate& today);

} // namespace taxsvc
