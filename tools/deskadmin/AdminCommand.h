#pragma once

#include <QStringList>
#include <QTextStream>

// The commands of deskadmin, apart from the process around them so they can be tested.
class AdminCommand {
public:
    enum Exit { Ok = 0, Failed = 1, Usage = 2 };

    // args without the program name.
    static int run(const QStringList& args, QTextStream& out, QTextStream& err);
    static QString usage();
};
