// lty_make_db: creates the default quotation database from the checked-in
// schema and first rows. --schema may be given more than once (the first
// nine tables, then the tables added later); the files run in that order.
// With --if-absent an existing file is a quiet no-op
// (the build runs this after every link and must never touch user data).
#include "core/upkeep/database_builder.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> schemas;
    std::string rows, out;
    bool ifAbsent = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "--help" || a == "-h") {
            std::cout << "usage: lty_make_db [--if-absent] --schema FILE... --rows FILE --out FILE\n";
            return 0;
        }
        if (a == "--schema")
            schemas.push_back(next());
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
    if (schemas.empty() || rows.empty() || out.empty()) {
        std::cerr << "usage: lty_make_db [--if-absent] --schema FILE... --rows FILE --out FILE\n";
        return 2;
    }
    if (ifAbsent && std::filesystem::exists(out)) return 0;
    try {
        std::string schema;
        for (const std::string& file : schemas) schema += lty::ReadTextFile(file) + "\n";
        lty::CreateDatabaseFile(out, schema, lty::ReadTextFile(rows));
    } catch (const std::exception& e) {
        std::cerr << "lty_make_db: " << e.what() << "\n";
        return 1;
    }
    std::cout << "created " << out << "\n";
    return 0;
}
