#pragma once

#include <QList>
#include <QString>

// An inn's data moved between a data directory and a database server, in either direction.
namespace desk::maintenance {

// What was copied of one table, as both sides count it afterwards.
struct CopiedTable {
    QString file;
    QString table;
    qint64 rows = 0;
    int sums = 0; // number columns whose totals were compared
};

// Makes a new inn at target (a data directory or a server's address; refused, changing
// nothing, when one is there already) and copies every row of every table of source into
// it, each row with its row key, so rows keep their order. Each database is read in one
// read transaction and written in one write transaction. Afterwards every table is checked
// on both sides: the number of rows and the total of every number column must be equal;
// a difference is a DbError, and a copy that fails removes what it made.
QList<CopiedTable> copyInn(const QString& source, const QString& target);

// copyInn from an inn of an older version, as a server's upgrade keeps it first: its rows go
// into a new data directory of the current version, every table and column it lacks empty
// or at its default, so `deskadmin restore` takes the inn as it was back.
QList<CopiedTable> copyOlderInn(const QString& source, const QString& target);

// Every row of the inn at target (of the current version) replaced by those of source, each
// table checked as copyInn does. The five databases are written in five transactions held
// open together and committed at the end: a failure before then changes nothing.
QList<CopiedTable> replaceInn(const QString& source, const QString& target);

// On a server, has it gather the statistics its planner chooses by (ANALYZE) now, after a
// bulk load, rather than minutes later when it gets round to it: until then a look-up of a
// ten-year inn may read whole tables. On files, they are flushed to disk
// (DataLocation::settle). copyInn and replaceInn end with it.
void analyzeServer(const QString& address);

} // namespace desk::maintenance
