#pragma once

namespace desk {
class Connection;
}

namespace desk::test {

// Turns one file of the current schema back into the file schema version 5 made: no table
// has the row key, SchemaMeta is keyed by its Name, the saved queries order by the rowid,
// and the file records version 5. Every row keeps its rowid, gaps included. For tests of the
// upgrade; the connection is one of Connection::openAnyVersion. Throws DbError.
void toSchemaVersion5(Connection& connection);

} // namespace desk::test
