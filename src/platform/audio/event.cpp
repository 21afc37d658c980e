#include "platform/audio/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// One lock for every event: signals are rare (a few per second per channel), so
// sharing it costs nothing and makes a wait on several events simple.
struct EventSystem {
    std::mutex lock;
    std::condition_variable changed;
    // Signalled worker-awaited events plus threads still working after taking one.
    int pendingWork = 0;
};

// Never destroyed: streaming threads may still wait while static objects go away.
EventSystem& GetEventSystem() {
    static EventSystem* system = new EventSystem;
    return *system;
}

// Set while this thread works on the signal of a worker-awaited event.
struct WorkerState {
    bool busy = false;
    ~WorkerState() {
        if (busy) {
            EventSystem& system = GetEventSystem();
            std::lock_guard<std::mutex> guard(system.lock);
            system.pendingWork--;
            system.changed.notify_all();
        }
    }
};
thread_local WorkerState t_worker;

void FinishWorkLocked(EventSystem& system) {
    if (t_worker.busy) {
        t_worker.busy = false;
        system.pendingWork--;
        system.changed.notify_all();
    }
}

} // namespace

Event::Event(bool workerWaits) : m_workerWaits(workerWaits) {}

Event::~Event() {
    EventSystem& system = GetEventSystem();
    std::lock_guard<std::mutex> guard(system.lock);
    if (m_signalled && m_workerWaits) {
        system.pendingWork--;
        system.changed.notify_all();
    }
}

void Event::Set() {
    EventSystem& system = GetEventSystem();
    std::lock_guard<std::mutex> guard(system.lock);
    if (m_signalled)
        return;
    m_signalled = true;
    if (m_workerWaits)
        system.pendingWork++;
    system.changed.notify_all();
}

bool Event::TryWait() {
    EventSystem& system = GetEventSystem();
    std::lock_guard<std::mutex> guard(system.lock);
    if (!m_signalled)
        return false;
    m_signalled = false;
    if (m_workerWaits) {
        system.pendingWork--;
        system.changed.notify_all();
    }
    return true;
}

int WaitForAnyEvent(Event* const* events, int count) {
    if (events == nullptr || count <= 0)
        return -1;
    for (int i = 0; i < count; i++) {
        if (events[i] == nullptr)
            return -1;
    }
    EventSystem& system = GetEventSystem();
    std::unique_lock<std::mutex> guard(system.lock);
    FinishWorkLocked(system);
    int taken = -1;
    while (taken < 0) {
        for (int i = 0; i < count && taken < 0; i++) {
            if (events[i]->m_signalled)
                taken = i;
        }
        if (taken < 0)
            system.changed.wait(guard);
    }
    events[taken]->m_signalled = false;
    // The pending unit moves from the event to this thread until it waits again.
    if (events[taken]->m_workerWaits)
        t_worker.busy = true;
    return taken;
}

void WaitForEventWork(int timeoutMs) {
    EventSystem& system = GetEventSystem();
    std::unique_lock<std::mutex> guard(system.lock);
    system.changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                            [&system] { return system.pendingWork <= 0; });
}
