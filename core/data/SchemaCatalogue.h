#pragma once

#include <QString>
#include <QStringList>

// The tables, indexes and saved queries of the five files, as the current schema version
// has them. Internal to core/data: the schema builder and the upgrade steps read it.
namespace desk::Schema {

struct FileSchema {
    QString fileName;
    QStringList statements; // tables, indexes and views, in order
};

QList<FileSchema> catalogue();

// The table of every file that records its schema version and name: Name, Value and the
// row key.
QString metaTableStatement();

// The row key every table of the catalogue ends with (an INTEGER PRIMARY KEY: on SQLite it
// is the rowid itself). The engine assigns it; the table cursor orders and finds rows by it
// and keeps it from the columns it shows.
inline constexpr auto RowKeyColumn = "RowKey";

// The catalogue entry of a file, names compared without regard to case; nullopt-like
// empty fileName when the file is not one of the five.
FileSchema catalogueOf(const QString& fileName);

} // namespace desk::Schema
