// On a server, 系统管理 writes the catalog, prices, company, designers and
// password through a connection of its own, logged in as the server's
// administrator role: the designers' role the programs connect with may not
// write them, so the office's connection settings alone change nothing
// there. On the database file nothing of this applies.
#pragma once

#include <memory>
#include <string>

namespace lty {

class TDM;
class UserMessages;

struct ManagerLogin {
    std::string User;
    std::string Password; // empty: libpq looks in ~/.pgpass
};

// Whether `designers` works on a server, so that 系统管理 needs the login.
bool ManagerLoginNeeded(const TDM& designers);

// A second data module on the server of `designers`, logged in as `login`,
// whose role may write every table. Null when the server refuses the login,
// cannot be reached, or the role may not write the catalog; `refusal` then
// says why in the user's words, with the server's reason below (empty when
// the new data module has shown its own message already). The password
// lives only in the returned data module's connection.
std::unique_ptr<TDM> OpenManagerDataModule(const TDM& designers, UserMessages& messages, const ManagerLogin& login,
                                           std::string& refusal);

} // namespace lty
