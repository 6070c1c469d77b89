// The catalog with its prices as a UTF-8 CSV file, one line per item:
// level-1 category, level-2 category, item, unit, price, grade, workmanship
// text, the entry's id and the measure its quantity follows in a measured
// room (无, 地面, 墙面, 顶面, 周长). A category without entries below it gets a line
// of its own with the item's columns empty. Spreadsheet programs open and
// save such a file, so prices can be kept there and read back; files without
// the measure column, or without the id column too (of earlier versions, or
// made by hand), are read as well and leave the measures as they are, and
// so are files a Chinese spreadsheet saved in GBK.
#pragma once

#include "core/text/measure_names.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lty {

class TDM;

// The heading line's columns.
const std::vector<std::string>& CatalogCsvHeadings();

// The whole catalog as CSV text: a byte order mark (so spreadsheet programs
// read it as UTF-8), the heading line, then every category and item in tree
// order. Rows deeper than the third level are not written. A refused select
// raises.
std::string CatalogToCsv(TDM& dm);

// What an import will do, worked out before anything is written.
struct CatalogImportPlan {
    int Adds = 0;           // new categories and items
    int Changes = 0;        // existing items whose unit, price, grade, text or measure differ
    bool ReadAsGbk = false; // the file was not UTF-8 and was read as GBK (GB18030)

    struct Node {
        std::string Name;
        std::int64_t Id = 0; // 0 while the row does not exist yet
        int Parent = -1;     // index into Nodes; -1 below the root
        int Level = 1;
        bool HasPriceRow = false;
        bool PriceChanged = false;
        double Price = 0;
        std::string Unit, Spec, Grade;
        Measure Follows = Measure::None;
        bool MeasureChanged = false;
        bool CountedMeasure = false; // counted among the changes for its measure
    };
    std::vector<Node> Nodes; // existing rows first, new ones after in file order
};

struct CsvProblem {
    int Line = 0;       // 1-based line of the file; 0 when the whole file cannot be read
    std::string Reason; // why that line (or the file) cannot be read
};

// The reason given for a file that is neither UTF-8 nor GBK.
extern const char* const kUnknownCsvEncoding;

// Reads `csv` (the file's bytes) against the current catalog. Entries are
// matched by their id when the line gives one that stands at the line's path,
// else by their names along the path (the first of equal siblings that no
// other id took); texts equal up to surrounding blanks and line-break kind
// count as unchanged. Nothing is written. False, with the first malformed
// line in `problem`, when any line is malformed.
bool PlanCatalogImport(TDM& dm, std::string_view csv, CatalogImportPlan& plan, CsvProblem& problem);

// Writes the plan in one transaction: all of it or, on any failure, nothing.
bool ApplyCatalogImport(TDM& dm, const CatalogImportPlan& plan);

} // namespace lty
