// The schema and first rows, built into the program so that the tools need
// no files beside them.
#pragma once

namespace lty {

const char* FileSchemaScript();   // schema.sql: the nine tables of the database file
const char* FirstRowsScript();    // first_rows.sql: password, company, lists, designers, starter catalog
const char* ServerSchemaScript(); // schema_pg.sql: the same tables on a PostgreSQL server

} // namespace lty
