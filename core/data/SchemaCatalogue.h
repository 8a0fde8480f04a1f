#pragma once

#include "Engine.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace desk {
class Connection;
}

// The tables, indexes and saved queries of the five files, as the current schema version
// has them: every table described once by its typed columns, and written in each engine's
// words when it is made. Internal to core/data: the schema builder, the upgrade steps and
// the table cursor read it.
namespace desk::Schema {

// The row key every table of the catalogue ends with (Engine::rowKeyType: on SQLite an
// INTEGER PRIMARY KEY, the rowid itself). The engine assigns it; the table cursor orders and
// finds rows by it and keeps it from the columns it shows.
inline constexpr auto RowKeyColumn = "RowKey";

struct TableColumn {
    const char* name;
    Engine::Declared type;
    const char* constraint = ""; // "NOT NULL DEFAULT 0": the same words on every engine
};

struct Table {
    QString name;
    QList<TableColumn> columns; // the row key aside
    QStringList indexes;        // made right after the table
    // Key, first night and nights: rows whose key is not empty hold it for nights that never
    // overlap, by the engine's own rule where it has one (Engine::nightsApart). Empty: none.
    QStringList nightsApart = {};
    // The engine's rules of the table (nightsApart), made after its indexes.
    QStringList rules(const Engine& engine) const;
    // "CREATE TABLE name (…, RowKey …)" in the engine's words.
    QString statement(const Engine& engine) const;
};

struct FileSchema {
    QString fileName;
    QList<Table> tables;
    QStringList views; // made after every table, in order
    // The tables, each followed by its indexes, then the views: the order they are made in.
    QStringList statements(const Engine& engine) const;
};

QList<FileSchema> catalogue();

// The table of every file that records its schema version and name: Name, Value and the
// row key. Names compare exactly here: the file's own records, never typed by a clerk.
Table metaTable();

// The catalogue entry of a file, names compared without regard to case; nullopt-like
// empty fileName when the file is not one of the five.
FileSchema catalogueOf(const QString& fileName);

// Fills a new, empty database with a file's tables, indexes, views and reference rows and the
// record of its version and name, in one transaction.
void fillDatabase(Connection& connection, const FileSchema& file);

} // namespace desk::Schema
