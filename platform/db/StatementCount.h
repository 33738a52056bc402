#pragma once
// Statements sent to account databases by this process, over every connection of either kind
// (a batch that one exec runs counts as one, failed statements count too): on a server each is
// a round trip. Benchmarks and tests read it before and after a piece of work.
#include <QtGlobal>
#include <atomic>

namespace platform::db {

class StatementCount {
public:
    static quint64 total() { return s_total.load(std::memory_order_relaxed); }
    // Called by each kind of connection where it sends a statement.
    static void add() { s_total.fetch_add(1, std::memory_order_relaxed); }

private:
    static inline std::atomic<quint64> s_total{0};
};

}  // namespace platform::db
