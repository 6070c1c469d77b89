// One all-or-nothing unit of work on the connection: begun at construction,
// rolled back at destruction unless committed. Inside a transaction the
// caller already holds, it joins that one and leaves commit and rollback to
// its owner.
#pragma once

#include "core/db/engine.h"

#include <string>

namespace lty {

class Transaction {
public:
    explicit Transaction(TADOConnection& connection) : connection_(connection) {
        if (!connection_.Connected()) return;
        if (connection_.InTransaction()) {
            began_ = true;
            return;
        }
        try {
            connection_.BeginTrans();
            began_ = owned_ = true;
        } catch (const std::exception& e) {
            // Busy past the timeout, or the file cannot be written: nothing may be sent.
            error_ = e.what();
        }
    }
    ~Transaction() { Rollback(); }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // False when no transaction could be begun; the caller then writes nothing.
    bool Began() const { return began_; }

    // True when everything since the beginning is stored. A commit that
    // fails is rolled back, so nothing of it stays behind.
    bool Commit() {
        if (!began_) return false;
        if (!owned_) return true;
        owned_ = false;
        try {
            connection_.CommitTrans();
            return true;
        } catch (const CommitOutcomeUnknown& e) {
            error_ = e.what();
            outcomeUnknown_ = true;
            return false;
        } catch (const std::exception& e) {
            error_ = e.what();
            RollbackQuietly();
            return false;
        }
    }

    // After a failed Commit: the connection was lost once the commit had been
    // sent, so everything may be stored after all; only the database can tell.
    bool OutcomeUnknown() const { return outcomeUnknown_; }

    // The engine's reason when the begin or the commit failed.
    const std::string& Error() const { return error_; }

    // Undoes everything since the beginning (also when the engine already did).
    void Rollback() {
        if (!owned_) return;
        owned_ = false;
        RollbackQuietly();
    }

private:
    void RollbackQuietly() {
        try {
            connection_.RollbackTrans();
        } catch (const std::exception&) {
            // The engine rolls an unfinished transaction back when the file is next opened.
        }
    }

    TADOConnection& connection_;
    bool began_ = false;
    bool owned_ = false;
    bool outcomeUnknown_ = false;
    std::string error_;
};

} // namespace lty
