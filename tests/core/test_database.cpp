#include "tests/core/test_database.h"

#include "core/data/database_builder.h"

#include <atomic>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace lty::test {
namespace fs = std::filesystem;

std::string SchemaSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/schema.sql");
    return s;
}

std::string FirstRowsSql() {
    static const std::string s = ReadTextFile(std::string(LTY_SOURCE_DIR) + "/core/data/first_rows.sql");
    return s;
}

TempProgramDir::TempProgramDir(bool withDatabase) {
    static std::atomic<int> counter{0};
    std::random_device rd;
    const fs::path p = fs::temp_directory_path() / ("ltyquote-test-" + std::to_string(::getpid()) + "-" +
                                                    std::to_string(counter++) + "-" + std::to_string(rd()));
    fs::create_directories(p);
    dir_ = p.string() + "/";
    if (withDatabase) CreateDatabaseFile(DatabasePath(), SchemaSql(), FirstRowsSql());
}

TempProgramDir::~TempProgramDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

} // namespace lty::test
