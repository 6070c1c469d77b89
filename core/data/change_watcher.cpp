#include "core/data/change_watcher.h"

#include "core/db/engine.h"
#include "core/db/engine_sqlite.h"
#include "core/db/pg_connection.h"
#include "core/text/ascii_case.h"

#include <sqlite3.h>

#include <charconv>
#include <chrono>

namespace lty {
namespace {

// A server that cannot be listened to is asked again this often, not at
// every check: a connection attempt to a server that is down takes time.
constexpr std::int64_t kListenRetrySeconds = 10;

std::int64_t SteadySeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The rows of `sql` as one text, appended to `print`; false when refused.
bool AppendRows(TADOConnection& connection, const char* sql, std::string& print) {
    EngineResult result;
    try {
        result = connection.Run(sql);
    } catch (const EngineError&) {
        return false;
    }
    for (const auto& row : result.Rows) {
        for (const Value& v : row) {
            if (const auto* i = std::get_if<std::int64_t>(&v.Data)) {
                print.append(std::to_string(*i));
            } else if (const auto* d = std::get_if<double>(&v.Data)) {
                char buf[32];
                const auto end = std::to_chars(buf, buf + sizeof buf, *d).ptr;
                print.append(buf, end);
            } else if (const auto* s = std::get_if<std::string>(&v.Data)) {
                print.append(*s);
            } else {
                print.push_back('\x01'); // NULL, unlike any text
            }
            print.push_back('\x1f');
        }
        print.push_back('\x1e');
    }
    return true;
}

} // namespace

ChangeWatcher::ChangeWatcher(TADOConnection& connection) : connection_(connection) {
    // What signals a change is taken before the trees are read, so a change
    // made in between is seen at the next check.
    if (auto* file = dynamic_cast<SqliteEngine*>(connection_.Engine())) {
        try {
            dataVersion_ = file->DataVersion();
        } catch (const EngineError&) {
        }
        ownChanges_ = sqlite3_total_changes64(connection_.Handle());
    } else if (connection_.Server()) {
        Listen();
    }
    if (!ReadProjects(projects_)) owed_.Projects = true;
    if (!ReadCatalog(catalog_)) owed_.Catalog = true;
}

ChangeWatcher::~ChangeWatcher() = default;

void ChangeWatcher::Listen() {
    listenAttempt_ = SteadySeconds();
    try {
        auto listener = std::make_unique<PgConnection>(connection_.ServerConninfo());
        listener->Exec(std::string("LISTEN ") + kChannel);
        listener_ = std::move(listener);
    } catch (const EngineError&) {
        listener_.reset();
    }
}

void ChangeWatcher::Signalled(TreeChanges& theirs, TreeChanges& ours) {
    if (!connection_.Connected()) return;
    if (auto* file = dynamic_cast<SqliteEngine*>(connection_.Engine())) {
        const std::int64_t version = file->DataVersion();
        if (version != dataVersion_) theirs.Projects = theirs.Catalog = true;
        dataVersion_ = version;
        // This program's own writes move only its own count of changed rows.
        const std::int64_t own = sqlite3_total_changes64(connection_.Handle());
        if (own != ownChanges_) ours.Projects = ours.Catalog = true;
        ownChanges_ = own;
        return;
    }
    PgConnection* own = connection_.Server();
    if (!own) return;
    if (!listener_) {
        if (SteadySeconds() - listenAttempt_ < kListenRetrySeconds) return;
        Listen();
        // Whatever was sent while nobody listened is lost: look at both.
        if (listener_) theirs.Projects = theirs.Catalog = true;
        return;
    }
    std::vector<PgConnection::Notice> notices;
    try {
        notices = listener_->TakeNotices();
    } catch (const EngineError&) {
        listener_.reset(); // listened to again at a later check
        return;
    }
    const int ownPid = own->BackendPid();
    for (const auto& n : notices) {
        TreeChanges& by = n.SenderPid == ownPid ? ours : theirs;
        std::string table = n.Payload;
        for (char& c : table) c = AsciiLower(c);
        if (table == "tblproject")
            by.Projects = true;
        else if (table == "tblitem" || table == "tblproduct")
            by.Catalog = true;
    }
}

TreeChanges ChangeWatcher::Check() {
    TreeChanges changed;
    try {
        TreeChanges theirs = owed_, ours;
        Signalled(theirs, ours);
        owed_ = {};
        // This program's own writes are read in without being reported: its
        // windows rebuilt their trees already, and a later change of another
        // program then reports only what that one changed.
        Compare(theirs.Projects, ours.Projects, &ChangeWatcher::ReadProjects, projects_, owed_.Projects,
                changed.Projects);
        Compare(theirs.Catalog, ours.Catalog, &ChangeWatcher::ReadCatalog, catalog_, owed_.Catalog, changed.Catalog);
    } catch (const std::exception&) {
        // A database that cannot be read now is looked at again next time.
    }
    return changed;
}

void ChangeWatcher::Compare(bool theirs, bool ours, bool (ChangeWatcher::*read)(std::string&), std::string& shown,
                            bool& owed, bool& changed) {
    if (!theirs && !ours) return;
    std::string print;
    if (!(this->*read)(print)) {
        owed = owed || theirs;
        return;
    }
    if (print == shown) return;
    shown.swap(print);
    changed = theirs;
}

bool ChangeWatcher::ReadProjects(std::string& print) {
    print.clear();
    return AppendRows(connection_, "select intID,charDesigner,charCustomer,charAddress from tblProject order by intID",
                      print);
}

bool ChangeWatcher::ReadCatalog(std::string& print) {
    print.clear();
    return AppendRows(connection_, "select ITEM_ID,Parent_ID,ITEM_NAME from TBLITEM order by ITEM_ID", print) &&
           AppendRows(connection_, "select Product_ID,ProductPrice,ProductUnit from TBLPRODUCT order by Product_ID",
                      print);
}

} // namespace lty
