// The administrator password is kept as a salted, deliberately slow hash
// (Argon2id), so the database file does not give it away. Rows written by
// older versions hold the password in clear text and are still accepted.
#pragma once

#include <string>
#include <string_view>

namespace lty {

// The hash to store for `password`; empty when the library refused (out of memory).
std::string HashPassword(std::string_view password);
// Whether a stored value is such a hash rather than a clear-text password.
bool IsPasswordHash(std::string_view stored);
// What a stored value says of an entry. A hash whose cost parameters are not
// the ones this program writes is Damaged and never computed: raised by hand
// in the table, it would keep the check busy for seconds or for ever.
enum class PasswordVerdict { Matches, Differs, Damaged };
PasswordVerdict CheckPasswordAgainst(std::string_view entered, std::string_view stored);
// Whether `entered` is the password that `stored` holds, as a hash or, for
// an older row, in clear text (byte for byte; letter case counts).
bool PasswordMatches(std::string_view entered, std::string_view stored);

} // namespace lty
