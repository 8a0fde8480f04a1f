// The other desks of tst_desks: a program of its own, as a second PC's is, that works through
// the stores the windows use.
//   deskpeer slips DIR GUEST COUNT LINES   rings up COUNT slips of LINES lines each for GUEST
//   deskpeer book DIR NAME                 books NAME for today under the next free number
// The desk's name comes from TESARO_DESK. Prints how many numbers another desk took first.
#include "bookingsvc/ReservationClass.h"
#include "chargesvc/SalesSlipBook.h"
#include "slipkit/SlipSession.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

namespace {

// The sales grid's part: this desk's lines in the work table, the slip's round in the
// quantity and the desk in the spec, so that the test can tell every line's slip and desk.
void putLines(const QString& dir, int round, int lines) {
    const auto connection = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Sales));
    const auto rows = desk::openDeskRows(connection, QStringLiteral("BTTempSalesDetail"));
    for (int line = 0; line < lines; ++line) {
        rows->addNew();
        rows->setValue(QStringLiteral("BTcmcode"), QStringLiteral("302"));
        rows->setValue(QStringLiteral("BTspec"), desk::currentDesk());
        rows->setValue(QStringLiteral("BTQuantity"), round);
        rows->setValue(QStringLiteral("BTUnitPrice"), 100 * (line + 1));
        rows->update();
    }
}

// As the sales window saves: the number proposed, checked again inside the save, and when
// another desk took it meanwhile, the next one proposed with the lines kept.
int ringUp(const QString& dir, const QString& guest) {
    slipkit::SlipSession slip(std::make_unique<chargesvc::SalesSlipBook>(dir));
    slip.proposeNumber();
    for (int retried = 0;; ++retried) {
        if (slip.registerSlip({0, QDate::currentDate(), guest, 0}).saved())
            return retried;
    }
}

// As the booking window saves: a number another desk took first is refused by the key and
// the next one proposed, the entry kept.
int book(const QString& dir, const QString& name) {
    for (int retried = 0;; ++retried) {
        bookingsvc::ReservationClass store;
        store.setDirPath(dir);
        store.CntDb();
        store.SendReserveNo();
        store.setReserveDate(QDate::currentDate());
        store.setRecieveDate(QDate::currentDate());
        store.setCliantName(name);
        store.setQuantity(2);
        store.setBadget(12000);
        try {
            store.Msave();
            return retried;
        } catch (const desk::DbError& e) {
            if (!e.isDuplicateKey())
                throw;
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        if (args.size() == 6 && args.at(1) == QLatin1String("slips")) {
            const QString dir = args.at(2);
            int retried = 0;
            for (int round = 1; round <= args.at(4).toInt(); ++round) {
                putLines(dir, round, args.at(5).toInt());
                retried += ringUp(dir, args.at(3));
            }
            out << retried << '\n';
            return 0;
        }
        if (args.size() == 4 && args.at(1) == QLatin1String("book")) {
            out << book(args.at(2), args.at(3)) << '\n';
            return 0;
        }
    } catch (const desk::DbError& e) {
        err << e.message() << '\n';
        return 1;
    }
    err << "usage: deskpeer slips DIR GUEST COUNT LINES | deskpeer book DIR NAME\n";
    return 2;
}
