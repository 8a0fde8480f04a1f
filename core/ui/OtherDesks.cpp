#include "OtherDesks.h"

#include "data/ChangeNotices.h"

#include <QTimer>

namespace desk {

namespace {
// Long enough to take in every database of one save, short against the two seconds a clerk
// may wait to see another desk's booking.
constexpr int BurstMs = 200;
} // namespace

void onOtherDesksSaved(QObject* receiver, const QString& dataDir, const QString& fileName,
                       const std::function<void()>& refresh) {
    auto* burst = new QTimer(receiver);
    burst->setSingleShot(true);
    burst->setInterval(BurstMs);
    QObject::connect(burst, &QTimer::timeout, receiver, refresh);
    QObject::connect(&ChangeNotices::of(dataDir), &ChangeNotices::changed, burst,
                     [burst, fileName](const QString& file) {
                         if ((fileName.isEmpty() || file == fileName) && !burst->isActive())
                             burst->start();
                     });
}

} // namespace desk
