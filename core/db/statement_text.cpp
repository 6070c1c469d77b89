#include "core/db/statement_text.h"

#include "core/db/engine_interface.h"
#include "core/text/date_text.h"

#include <cctype>

namespace lty {

std::string TranslateDateLiterals(const std::string& sql) {
    std::string out;
    out.reserve(sql.size() + 8);
    bool inQuote = false;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'') {
            inQuote = !inQuote; // a doubled quote toggles twice and stays inside
            out += c;
            continue;
        }
        if (c == '#' && !inQuote) {
            const auto end = sql.find('#', i + 1);
            if (end == std::string::npos)
                throw EngineError("Syntax error in date in query expression '" + sql.substr(i) + "'.");
            const std::string literal = sql.substr(i + 1, end - i - 1);
            Date d;
            if (!TryStrToDate(literal, d))
                throw EngineError("Syntax error in date in query expression '#" + literal + "#'.");
            out += '\'';
            out += DateToIso(d);
            out += '\'';
            i = end;
            continue;
        }
        out += c;
    }
    return out;
}

std::string LeadingKeyword(const std::string& sql) {
    std::size_t i = 0;
    for (;;) {
        while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
        if (sql.compare(i, 2, "--") == 0) {
            const auto eol = sql.find('\n', i);
            i = eol == std::string::npos ? sql.size() : eol + 1;
        } else if (sql.compare(i, 2, "/*") == 0) {
            const auto close = sql.find("*/", i + 2);
            i = close == std::string::npos ? sql.size() : close + 2;
        } else {
            break;
        }
    }
    std::string word;
    while (i < sql.size() && (std::isalpha(static_cast<unsigned char>(sql[i])) || sql[i] == '_'))
        word.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(sql[i++]))));
    return word;
}

bool IsRowStatement(const std::string& sql) {
    const std::string word = LeadingKeyword(sql);
    return word == "select" || word == "insert" || word == "update" || word == "delete" || word == "with";
}

} // namespace lty
