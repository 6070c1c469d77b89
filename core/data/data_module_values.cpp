// Values the data module takes from windows before they enter a statement.
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "core/text/number_text.h"

#include <charconv>

namespace lty {

bool TDM::IdLiteral(std::string_view idText, std::string& literal) {
    const std::string trimmed = Trim(idText);
    std::int64_t value = 0;
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (first == last) return false;
    const auto res = std::from_chars(first, last, value, 10);
    if (res.ec != std::errc() || res.ptr != last) return false;
    literal = SqlInteger(value);
    return true;
}

} // namespace lty
