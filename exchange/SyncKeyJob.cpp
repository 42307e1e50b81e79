#include "exchange/SyncKeyJob.h"
#include "platform/secure/Wipe.h"
#include <QThreadPool>
#include <atomic>
#include <mutex>

namespace ql {

struct SyncKeyJob::State {
    std::mutex mutex;
    std::optional<SyncKey> key;
    std::atomic<bool> done{false};
};

SyncKeyJob::SyncKeyJob(Derive derive) : derive_(std::move(derive)) {}

SyncKeyJob::~SyncKeyJob() = default;

void SyncKeyJob::start(const SyncKeyRequest& request) {
    state_ = std::make_shared<State>();
    QThreadPool::globalInstance()->start(
        [state = state_, derive = derive_, password = request.password, header = request.header]() mutable {
            std::optional<SyncKey> key = derive(password, header);
            wipeText(password);
            const std::lock_guard<std::mutex> hold(state->mutex);
            state->key = std::move(key);
            state->done = true;
        });
}

bool SyncKeyJob::finished() const { return state_ && state_->done; }

std::optional<SyncKey> SyncKeyJob::take() {
    if (!finished()) return std::nullopt;
    const std::lock_guard<std::mutex> hold(state_->mutex);
    std::optional<SyncKey> key = std::move(state_->key);
    state_->key.reset();
    return key;
}

} // namespace ql
