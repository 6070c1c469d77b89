// Notices what other programs on the same database change in what the
// navigation trees show: the projects (added, renamed, moved to another
// designer, deleted) and the catalog with its prices. On the file engine it
// reads the file's data version, which moves only for other programs'
// commits; on a server it listens for the notices the server's triggers send
// after each write to those tables. Either only says "something may have
// changed"; what the trees show is then read again and compared with what
// was read before, so a window rebuilds a tree only when it would differ.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace lty {

class TADOConnection;
class PgConnection;

// What a check found changed.
struct TreeChanges {
    bool Projects = false;
    bool Catalog = false;
    bool Any() const { return Projects || Catalog; }
};

class ChangeWatcher {
public:
    // Starts watching the database `connection` is open on, taking what the
    // trees show now as the state later checks compare with. On a server it
    // opens a connection of its own to listen on; when that fails it
    // watches without it and tries again at later checks.
    explicit ChangeWatcher(TADOConnection& connection);
    ~ChangeWatcher();
    ChangeWatcher(const ChangeWatcher&) = delete;
    ChangeWatcher& operator=(const ChangeWatcher&) = delete;

    // Cheap when nothing happened (one pragma on a file, a look at the
    // listening socket on a server). A statement refused on the way reports
    // nothing and is tried again at the next check. Never raises.
    TreeChanges Check();

    // The server's channel and what its triggers send on it.
    static constexpr const char* kChannel = "lty_change";

private:
    // Whether another program (`theirs`) or this one (`ours`) may have
    // written, and to which tables.
    void Signalled(TreeChanges& theirs, TreeChanges& ours);
    // Reads a tree's print again when either wrote; `changed` when it differs
    // and another program wrote, `owed` when the read was refused.
    void Compare(bool theirs, bool ours, bool (ChangeWatcher::*read)(std::string&), std::string& shown, bool& owed,
                 bool& changed);
    void Listen();
    // What each tree shows, as one text; false when the select was refused.
    bool ReadProjects(std::string& print);
    bool ReadCatalog(std::string& print);

    TADOConnection& connection_;
    std::unique_ptr<PgConnection> listener_;
    std::int64_t listenAttempt_ = 0; // steady-clock seconds of the last try to listen
    std::int64_t dataVersion_ = 0;
    std::int64_t ownChanges_ = 0; // the file connection's own count of changed rows
    TreeChanges owed_;
    std::string projects_;
    std::string catalog_;
};

} // namespace lty
