#include "core/data/password_hash.h"

#include <sodium.h>

namespace lty {
namespace {

bool Ready() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

constexpr std::string_view kHashPrefix = "$argon2";

} // namespace

std::string HashPassword(std::string_view password) {
    if (!Ready()) return {};
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return out;
}

bool IsPasswordHash(std::string_view stored) { return stored.substr(0, kHashPrefix.size()) == kHashPrefix; }

bool PasswordMatches(std::string_view entered, std::string_view stored) {
    // A hash is only ever compared as a hash: typing the stored hash text
    // itself must not open the guard.
    if (!IsPasswordHash(stored)) return entered == stored;
    if (!Ready() || stored.size() >= crypto_pwhash_STRBYTES) return false;
    const std::string hash(stored); // the library wants it NUL-terminated
    return crypto_pwhash_str_verify(hash.c_str(), entered.data(), entered.size()) == 0;
}

} // namespace lty
