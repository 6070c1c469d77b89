#include "tests/core/server_database.h"

#include "core/db/pg_connection.h"
#include "core/upkeep/server_setup.h"
#include "core/upkeep/sql_scripts.h"

#include <atomic>
#include <cstdlib>
#include <functional>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace lty::test {
namespace {

constexpr const char* kAppRole = "lty_app";

// What the set-up grants beyond the schema: a template made by a set-up that
// granted less must not be taken for one made by this one.
constexpr const char* kSetupGrants = "nine tables; TBLPROJECTROOMS, TBLPRODUCTMEASURE";

// One made database per schema, first rows and grants, copied for every
// test: much faster than running the set-up each time.
std::string TemplateName() {
    const std::size_t h =
        std::hash<std::string>{}(std::string(ServerSchemaScript()) + FirstRowsScript() + kSetupGrants);
    return "lty_test_template_" + std::to_string(h % 100000000);
}

std::string TemplateFor(PgConnection& admin, bool firstRows) {
    const std::string name = TemplateName() + (firstRows ? "" : "_empty");
    // Test processes run side by side: one of them makes it.
    admin.Exec("SELECT pg_advisory_lock(7350001)");
    try {
        if (admin.Scalar("select 1 from pg_database where datname = $1", {name}).empty()) {
            ServerSetup setup;
            setup.AdminConninfo = TestServer();
            setup.Database = name;
            setup.AppRole = kAppRole;
            setup.FirstRows = firstRows;
            SetUpServerDatabase(setup, [](const std::string&) {});
        }
    } catch (...) {
        admin.Exec("SELECT pg_advisory_unlock(7350001)");
        throw;
    }
    admin.Exec("SELECT pg_advisory_unlock(7350001)");
    return name;
}

} // namespace

std::string TestServer() {
    const char* s = std::getenv("LTY_TEST_PG");
    return s ? s : "";
}

TempServerDatabase::TempServerDatabase(bool firstRows) {
    if (TestServer().empty()) throw std::runtime_error("LTY_TEST_PG is not set");
    static std::atomic<int> counter{0};
    std::random_device rd;
    name_ = "lty_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + "_" +
            std::to_string(rd() % 100000);
    PgConnection admin(TestServer());
    const std::string from = TemplateFor(admin, firstRows);
    const std::string db = PgIdentifier(name_);
    admin.Exec("CREATE DATABASE " + db + " TEMPLATE " + PgIdentifier(from) + " STRATEGY FILE_COPY");
    // Rights on the database itself are not copied from the template.
    admin.Exec("REVOKE ALL ON DATABASE " + db + " FROM PUBLIC; GRANT CONNECT ON DATABASE " + db + " TO " + kAppRole);
}

TempServerDatabase::~TempServerDatabase() {
    try {
        PgConnection admin(TestServer());
        admin.Exec("DROP DATABASE IF EXISTS " + PgIdentifier(name_) + " WITH (FORCE)");
    } catch (const std::exception&) {
        // The server is thrown away with everything on it at the end of the run.
    }
}

std::string TempServerDatabase::AppConninfo() const {
    return ConninfoWith(ConninfoWith(TestServer(), "user", kAppRole), "dbname", name_);
}

std::string TempServerDatabase::AdminConninfo() const { return ConninfoWith(TestServer(), "dbname", name_); }

} // namespace lty::test
