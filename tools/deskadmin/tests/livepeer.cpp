// The other desk of tst_livefiles: opens connections, works and closes them all, round
// after round, so that its last close would fold the log back and remove it whenever it
// believed itself alone with the file.
#include "data/Connection.h"
#include "data/DbError.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const QString dir = args.at(1);
    const int rounds = args.at(2).toInt();
    QTextStream err(stderr);
    try {
        for (int round = 0; round < rounds; ++round) {
            const auto first = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Sales));
            const auto second = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Sales));
            second->scalar(QStringLiteral("SELECT cname FROM Commodities WHERE Ccode = 'L1'"));
            first->exec(
                QStringLiteral("INSERT INTO BTTempSalesDetail (BTcmcode, BTQuantity, Desk) VALUES ('L1', ?, 'B')"),
                {round});
            first->exec(QStringLiteral("DELETE FROM BTTempSalesDetail WHERE Desk = 'B'"));
        }
    } catch (const desk::DbError& e) {
        err << e.what() << '\n';
        return 1;
    }
    return 0;
}
