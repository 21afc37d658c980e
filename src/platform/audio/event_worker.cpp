#include "platform/audio/event_worker.h"

#include <system_error>
#include <thread>

struct EventWorker {
    std::thread thread;
};

EventWorker* StartEventWorker(Event* const* events, int count, EventWorkerStep step,
                              void* context) {
    if (count <= 0 || count > EVENT_WORKER_EVENTS)
        return nullptr;
    Event* waited[EVENT_WORKER_EVENTS] = {};
    for (int i = 0; i < count; i++)
        waited[i] = events[i];
    auto* worker = new EventWorker;
    try {
        worker->thread = std::thread([waited, count, step, context] {
            for (;;) {
                const int which = WaitForAnyEvent(waited, count);
                if (which < 0 || !step(context, which))
                    return;
            }
        });
    } catch (const std::system_error&) {
        delete worker;
        return nullptr;
    }
    return worker;
}

void JoinEventWorker(EventWorker* worker) {
    if (!worker)
        return;
    if (worker->thread.joinable())
        worker->thread.join();
    delete worker;
}

void RunSignalledEventWorkers() {}
