#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace desk {
class Connection;
}

// The upgrade of a file, one step per schema version. Internal to core/data: Schema's
// upgradeFile runs the chain; tests run their own chains through runUpgradeSteps.
namespace desk::Schema {

// Brings a file from version `from` to from + 1. It runs inside the upgrade's transaction,
// so it may transform data; any throw leaves the file as it was.
struct UpgradeStep {
    int from = 0;
    std::function<void(Connection& connection, const QString& fileName)> run;
};

// The table `name` made anew by `create` (in the suite's words; created when there is none),
// its rows copied over: columns by name, new columns at their defaults. Rows keep their order
// and their row keys (a file's rowid where its table had none), so the work tables and the
// bill read as before and a bookmark still finds its row; the engine numbers new rows after
// them. Indexes go with the old table: the caller makes them anew. On every engine, inside
// the upgrade's transaction, once the views are dropped (dropViews): a server's views follow
// the table they read through its rename.
void rebuildTable(Connection& connection, const QString& name, const QString& create);
// Every saved query of the file dropped, for the step to make them anew after its rebuilds.
void dropViews(Connection& connection);

// Every step of this program, oldest first; the last one ends at Schema::Version.
const QList<UpgradeStep>& upgradeSteps();

// Runs the steps from the file's recorded version up to target, in order, in one
// transaction, recording each version reached. A version no step starts from, or a file
// newer than target, is a DbError (Cause::WrongVersion) and changes nothing.
void runUpgradeSteps(Connection& connection, const QString& fileName, const QList<UpgradeStep>& steps, int target);

} // namespace desk::Schema
