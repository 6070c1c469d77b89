// The schema and first rows, built into the program so that the tools need
// no files beside them.
#pragma once

namespace lty {

const char* FileSchemaScript();            // schema.sql + schema_additions.sql: a new database file
const char* FileSchemaAdditionsScript();   // schema_additions.sql: the tables added after the nine
const char* FirstRowsScript();             // first_rows.sql: password, company, lists, designers, starter catalog
const char* ServerSchemaScript();          // schema_pg.sql + schema_additions_pg.sql: the same on a server
const char* ServerSchemaAdditionsScript(); // schema_additions_pg.sql

} // namespace lty
