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

// Every step of this program, oldest first; the last one ends at Schema::Version.
const QList<UpgradeStep>& upgradeSteps();

// Runs the steps from the file's recorded version up to target, in order, in one
// transaction, recording each version reached. A version no step starts from, or a file
// newer than target, is a DbError (Cause::WrongVersion) and changes nothing.
void runUpgradeSteps(Connection& connection, const QString& fileName, const QList<UpgradeStep>& steps, int target);

} // namespace desk::Schema
