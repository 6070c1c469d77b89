// lty_migrate: copies every row of a quotation database between a file
// (LTY.db) and a PostgreSQL server, in one transaction, into an empty target.
#include "core/upkeep/migration.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <string>

namespace {

int Usage(std::ostream& out = std::cerr, int code = 2) {
    out << "usage: lty_migrate to-server FILE CONNINFO   copy Data/LTY.db into an empty server database\n"
           "       lty_migrate to-file CONNINFO FILE     copy a server database into a new (or empty) file\n";
    return code;
}

void Bar(long long done, long long total, const std::string& table) {
    constexpr int kWidth = 30;
    const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = std::clamp(static_cast<int>(share * kWidth), 0, kWidth);
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << std::setw(3)
              << static_cast<int>(share * 100) << "% " << done << "/" << total << " " << std::left << std::setw(16)
              << table << std::right << std::flush;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) return Usage(std::cout, 0);
    if (argc != 4) return Usage();
    const std::string mode = argv[1];
    if (mode != "to-server" && mode != "to-file") return Usage();
    std::vector<lty::TableRows> counts;
    try {
        counts = mode == "to-server" ? lty::CopyFileToServer(argv[2], argv[3], Bar)
                                     : lty::CopyServerToFile(argv[2], argv[3], Bar);
    } catch (const std::exception& e) {
        std::cerr << "\nlty_migrate: " << e.what() << "\nnothing was copied\n";
        return 1;
    }
    std::cerr << "\n";
    long long total = 0;
    for (const auto& c : counts) {
        std::cout << std::left << std::setw(16) << c.Table << std::right << std::setw(10) << c.Rows << "\n";
        total += c.Rows;
    }
    std::cout << std::left << std::setw(16) << "rows in all" << std::right << std::setw(10) << total << "\n";
    return 0;
}
