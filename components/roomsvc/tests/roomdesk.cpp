// One desk of the two-desk test: books `room` for reservation `reservationNo` round after
// round, two nights from `first` + 3 × round + `offset`, and writes each round's outcome on a
// line of its own: the round, a tab, and the refusal (empty when the stay was saved). It
// begins when a line comes on its input, so both desks start at one moment.
//
//   roomdesk DPATH ROOM FIRST(yyyy-MM-dd) ROUNDS RESERVATION OFFSET
#include "roomsvc/RoomStore.h"

#include "data/DbError.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 7)
        return 2;
    const roomsvc::RoomStore store(args.at(1));
    const QDate first = QDate::fromString(args.at(3), Qt::ISODate);
    const int rounds = args.at(4).toInt();
    QTextStream out(stdout);
    QTextStream(stdin).readLine();
    try {
        for (int round = 0; round < rounds; ++round) {
            QList<roomsvc::RoomStay> stays(1);
            stays[0].room = args.at(2);
            stays[0].firstNight = first.addDays(3 * round + args.at(6).toInt());
            stays[0].nights = 2;
            stays[0].guests = 2;
            stays[0].reservationNo = args.at(5).toInt();
            out << round << '\t' << store.save(stays) << '\n';
            out.flush();
        }
    } catch (const desk::DbError& e) {
        QTextStream(stderr) << e.text() << '\n';
        return 1;
    }
    return 0;
}
