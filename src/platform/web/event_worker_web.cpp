#include "platform/audio/event_worker.h"

#include <algorithm>
#include <vector>

struct EventWorker {
    Event* events[EVENT_WORKER_EVENTS] = {};
    int count = 0;
    EventWorkerStep step = nullptr;
    void* context = nullptr;
    bool ended = false;
};

namespace {

std::vector<EventWorker*> s_workers;

// Takes the signal of the lowest signalled event, as a waiting thread would.
int TakeSignal(EventWorker* worker) {
    for (int i = 0; i < worker->count; i++) {
        if (worker->events[i]->TryWait())
            return i;
    }
    return -1;
}

void RunWorker(EventWorker* worker) {
    while (!worker->ended) {
        const int which = TakeSignal(worker);
        if (which < 0)
            return;
        if (!worker->step(worker->context, which))
            worker->ended = true;
    }
}

} // namespace

EventWorker* StartEventWorker(Event* const* events, int count, EventWorkerStep step,
                              void* context) {
    if (count <= 0 || count > EVENT_WORKER_EVENTS)
        return nullptr;
    auto* worker = new EventWorker;
    std::copy(events, events + count, worker->events);
    worker->count = count;
    worker->step = step;
    worker->context = context;
    s_workers.push_back(worker);
    return worker;
}

// The signal that ends the worker is already set: its last steps run now.
void JoinEventWorker(EventWorker* worker) {
    if (!worker)
        return;
    RunWorker(worker);
    std::erase(s_workers, worker);
    delete worker;
}

void RunSignalledEventWorkers() {
    // A step may start or join workers: walk a copy.
    const std::vector<EventWorker*> workers = s_workers;
    for (EventWorker* worker : workers) {
        if (std::find(s_workers.begin(), s_workers.end(), worker) != s_workers.end())
            RunWorker(worker);
    }
}
