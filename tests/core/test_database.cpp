#include "tests/core/test_database.h"

#include "core/data/database_builder.h"
#include "core/data/server_conf.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

namespace lty::test {
namespace fs = std::filesystem;

bool TestOnServer() {
    const char* e = std::getenv("LTY_TEST_ENGINE");
    return e && std::string_view(e) == "pg";
}

std::string SchemaSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/schema.sql");
    return s;
}

std::string FirstRowsSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/first_rows.sql");
    return s;
}

void WriteServerConf(const std::string& programDirectory, const std::string& conninfo) {
    fs::create_directories(programDirectory + "Data");
    std::ofstream out(ServerConfPath(programDirectory), std::ios::binary | std::ios::trunc);
    out << "# The office's quotation database\n" << conninfo << "\n";
    if (!out) throw std::runtime_error("cannot write " + ServerConfPath(programDirectory));
}

TempProgramDir::TempProgramDir(bool withDatabase, bool alwaysFile) {
    static std::atomic<int> counter{0};
    std::random_device rd;
    const fs::path p = fs::temp_directory_path() / ("ltyquote-test-" + std::to_string(::getpid()) + "-" +
                                                    std::to_string(counter++) + "-" + std::to_string(rd()));
    fs::create_directories(p);
    dir_ = p.string() + "/";
    if (!withDatabase) return;
    if (TestOnServer() && !alwaysFile) {
        server_ = std::make_unique<TempServerDatabase>();
        WriteServerConf(dir_, server_->AppConninfo());
    } else {
        CreateDatabaseFile(DatabasePath(), SchemaSql(), FirstRowsSql());
    }
}

TempProgramDir::~TempProgramDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

} // namespace lty::test
