#include "core/data/password_hash.h"

#include <sodium.h>

namespace lty {
namespace {

bool Ready() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

constexpr std::string_view kHashPrefix = "$argon2";
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t kMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

} // namespace

std::string HashPassword(std::string_view password) {
    if (!Ready()) return {};
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), kOpsLimit, kMemLimit) != 0) return {};
    return out;
}

bool IsPasswordHash(std::string_view stored) { return stored.substr(0, kHashPrefix.size()) == kHashPrefix; }

PasswordVerdict CheckPasswordAgainst(std::string_view entered, std::string_view stored) {
    // A hash is only ever compared as a hash: typing the stored hash text
    // itself must not open the guard.
    if (!IsPasswordHash(stored)) return entered == stored ? PasswordVerdict::Matches : PasswordVerdict::Differs;
    if (!Ready()) return PasswordVerdict::Differs;
    if (stored.size() >= crypto_pwhash_STRBYTES) return PasswordVerdict::Damaged;
    const std::string hash(stored); // the library wants it NUL-terminated
    // Other parameters than ours (or an unreadable text) mean the row was
    // not written by this program: the hash is not worked out at all.
    if (crypto_pwhash_str_needs_rehash(hash.c_str(), kOpsLimit, kMemLimit) != 0) return PasswordVerdict::Damaged;
    return crypto_pwhash_str_verify(hash.c_str(), entered.data(), entered.size()) == 0 ? PasswordVerdict::Matches
                                                                                       : PasswordVerdict::Differs;
}

bool PasswordMatches(std::string_view entered, std::string_view stored) {
    return CheckPasswordAgainst(entered, stored) == PasswordVerdict::Matches;
}

} // namespace lty
