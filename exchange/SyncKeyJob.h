#pragma once
#include "exchange/SyncRun.h"
#include <functional>
#include <memory>
#include <optional>

namespace ql {

// Derives the key of a run on a thread of the pool, so that a window stays
// answering while it takes its second. A job given up before the end (the
// run cancelled, the window closed) does not wait: the derivation finishes
// on its own thread and the key and password are wiped there.
class SyncKeyJob {
public:
    using Derive = std::function<std::optional<SyncKey>(const QString& password,
                                                        const sync_format::Header& header)>;

    explicit SyncKeyJob(Derive derive = SyncKey::derive);
    ~SyncKeyJob();
    SyncKeyJob(const SyncKeyJob&) = delete;
    SyncKeyJob& operator=(const SyncKeyJob&) = delete;

    void start(const SyncKeyRequest& request);
    bool finished() const;
    // After finished(): the key, or nothing when there was no memory for it.
    std::optional<SyncKey> take();

private:
    struct State;
    Derive derive_;
    std::shared_ptr<State> state_;
};

} // namespace ql
