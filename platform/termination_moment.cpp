#include "platform/termination_moment.h"

namespace tessaldrin::platform {
namespace {

// The deferrals that this thread holds, nested.
thread_local int ownDeferrals = 0;

} // namespace

void TerminationMoment::BeginDeferral() {
    std::unique_lock lock(mutex_);
    if (ownDeferrals == 0) {
        changed_.wait(lock, [this] { return !acting_ && waiting_ == 0; });
    }
    ++ownDeferrals;
    ++deferrals_;
}

void TerminationMoment::EndDeferral() {
    {
        const std::lock_guard lock(mutex_);
        --ownDeferrals;
        --deferrals_;
    }
    changed_.notify_all();
}

TerminationAction TerminationMoment::AwaitAction(int signal) {
    std::unique_lock lock(mutex_);
    arrived_ = signal;
    ++waiting_;
    changed_.wait(lock, [this] { return deferrals_ == 0 && !acting_; });
    --waiting_;
    acting_ = true;
    return action_;
}

void TerminationMoment::EndAction() {
    {
        const std::lock_guard lock(mutex_);
        acting_ = false;
    }
    changed_.notify_all();
}

void TerminationMoment::SetAction(TerminationAction action) {
    std::unique_lock lock(mutex_);
    // This thread's own deferrals do not keep it waiting for itself.
    changed_.wait(lock, [this] { return !acting_ && deferrals_ == ownDeferrals; });
    if (action) {
        arrived_ = 0;
    }
    action_ = std::move(action);
}

int TerminationMoment::Arrived() {
    const std::lock_guard lock(mutex_);
    return arrived_;
}

TerminationMoment& ProcessTerminationMoment() {
    static TerminationMoment moment;
    return moment;
}

} // namespace tessaldrin::platform
