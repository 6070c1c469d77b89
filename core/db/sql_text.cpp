#include "core/db/sql_text.h"

#include "core/db/engine.h"
#include "core/text/date_text.h"
#include "core/text/number_text.h"

#include <cmath>

namespace lty {

std::string SqlText(std::string_view text) { return QuoteText(text); }

std::string SqlNumber(double value) {
    // NAN or INF in a statement would be read as a column name and fail
    // without a word; the value is refused as the strict conversion refuses it.
    if (!std::isfinite(value)) throw ConvertError("'" + FloatToStr(value) + "' is not a valid floating point value");
    return FloatToStr(value);
}

std::string SqlInteger(std::int64_t value) { return IntToStr(value); }

std::string SqlDate(std::string_view dateText) {
    std::string out(1, '#');
    Date d;
    if (TryStrToDate(dateText, d)) {
        out.append(DateToStr(d));
    } else {
        for (char c : dateText)
            if (c != '#' && c != '\0') out.push_back(c);
    }
    out.push_back('#');
    return out;
}

std::string SqlYesNo(bool value) { return value ? "-1" : "0"; }

} // namespace lty
