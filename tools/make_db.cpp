// lty_make_db: creates the default quotation database from the checked-in
// schema and first rows. With --if-absent an existing file is a quiet no-op
// (the build runs this after every link and must never touch user data).
#include "core/upkeep/database_builder.h"

#include <filesystem>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    std::string schema, rows, out;
    bool ifAbsent = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "--schema")
            schema = next();
        else if (a == "--rows")
            rows = next();
        else if (a == "--out")
            out = next();
        else if (a == "--if-absent")
            ifAbsent = true;
        else {
            std::cerr << "unknown argument: " << a << "\n";
            return 2;
        }
    }
    if (schema.empty() || rows.empty() || out.empty()) {
        std::cerr << "usage: lty_make_db [--if-absent] --schema FILE --rows FILE --out FILE\n";
        return 2;
    }
    if (ifAbsent && std::filesystem::exists(out)) return 0;
    try {
        lty::CreateDatabaseFile(out, lty::ReadTextFile(schema), lty::ReadTextFile(rows));
    } catch (const std::exception& e) {
        std::cerr << "lty_make_db: " << e.what() << "\n";
        return 1;
    }
    std::cout << "created " << out << "\n";
    return 0;
}
