// What both engines do to a statement text before it reaches them: the
// data module writes dates between '#' signs, which neither engine speaks.
#pragma once

#include <string>

namespace lty {

// Each '#date#' outside quoted text becomes the quoted ISO date
// '2009-06-22'; quoted text passes unchanged. Raises EngineError for an
// unterminated or impossible date.
std::string TranslateDateLiterals(const std::string& sql);

// The first word of a statement, lower-cased ("select", "insert", ...);
// leading blanks and comments are skipped.
std::string LeadingKeyword(const std::string& sql);

// Whether a statement only reads or writes rows (select, insert, update,
// delete, or a with-clause before one of them): the only statements the
// program sends.
bool IsRowStatement(const std::string& sql);

} // namespace lty
