#include "Desks.h"

#include "bookingsvc/ReservationClass.h"
#include "data/Connection.h"
#include "data/DbError.h"

#include <QDate>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace deskbench {

namespace {

// Bookings of the run are told apart by this name and removed at the end.
const QString BenchName = QStringLiteral("同時保存 計測");

} // namespace

DesksResult saveAtOnce(const QString& dataDir, int desks, int saves) {
    DesksResult result;
    result.desks = desks;
    std::atomic<int> landed{0};
    std::atomic<int> retried{0};
    QMutex lock;
    double slowest = 0;
    QString failure;
    QList<QThread*> threads;
    QElapsedTimer clock;
    for (int d = 0; d < desks; ++d) {
        threads << QThread::create([&] {
            try {
                for (int i = 0; i < saves; ++i) {
                    QElapsedTimer one;
                    one.start();
                    // As the booking window does: the next number is proposed, and a number
                    // another desk took meanwhile is proposed again with the entry kept.
                    // Each action with a store of its own, as the window's actions have.
                    for (int attempt = 0;; ++attempt) {
                        bookingsvc::ReservationClass store;
                        store.setDirPath(dataDir);
                        store.CntDb();
                        store.SendReserveNo();
                        store.setReserveDate(QDate::currentDate());
                        store.setRecieveDate(QDate::currentDate());
                        store.setCliantName(BenchName);
                        store.setQuantity(2);
                        store.setBadget(12000);
                        try {
                            store.Msave();
                            break;
                        } catch (const desk::DbError& e) {
                            if (!e.isDuplicateKey() || attempt > 1000)
                                throw;
                            ++retried;
                        }
                    }
                    const double ms = one.nsecsElapsed() / 1e6;
                    ++landed;
                    const QMutexLocker held(&lock);
                    slowest = std::max(slowest, ms);
                }
            } catch (const std::exception& e) {
                const QMutexLocker held(&lock);
                if (failure.isEmpty()) {
                    const auto* db = dynamic_cast<const desk::DbError*>(&e);
                    failure = db ? db->message() : QString::fromUtf8(e.what());
                }
            }
        });
    }
    clock.start();
    for (QThread* thread : std::as_const(threads))
        thread->start();
    for (QThread* thread : std::as_const(threads)) {
        thread->wait();
        delete thread;
    }
    result.seconds = clock.nsecsElapsed() / 1e9;
    result.saves = landed;
    result.retried = retried;
    result.slowestMs = slowest;
    result.failure = failure;

    const auto connection = desk::Connection::open(dataDir, QString::fromLatin1(desk::DbFile::Reservation));
    const int rows =
        connection->scalar(QStringLiteral("SELECT COUNT(*) FROM Reserve WHERE RvName = ?"), {BenchName}).toInt();
    const int numbers =
        connection->scalar(QStringLiteral("SELECT COUNT(DISTINCT RvNo) FROM Reserve WHERE RvName = ?"), {BenchName})
            .toInt();
    result.lost = result.saves - rows;
    result.duplicated = rows - numbers;
    connection->exec(QStringLiteral("DELETE FROM Reserve WHERE RvName = ?"), {BenchName});
    return result;
}

} // namespace deskbench
