// Work that waits on events and runs a step after each signal: the streaming refill.
// On the desktop each worker is a thread of its own; in the browser, which has none,
// the frame loop runs the steps of signalled events between frames.
#pragma once

#include "platform/audio/event.h"

// One step: which is the index of the event that was signalled. false ends the worker.
using EventWorkerStep = bool (*)(void* context, int which);

struct EventWorker;

// Starts a worker over count events (at most EVENT_WORKER_EVENTS); the events must live
// until the worker is stopped. null when no worker could be started.
constexpr int EVENT_WORKER_EVENTS = 4;
EventWorker* StartEventWorker(Event* const* events, int count, EventWorkerStep step, void* context);

// Waits until the worker has ended (its step returned false: signal an event that makes
// it so first) and frees it. Null does nothing.
void JoinEventWorker(EventWorker* worker);

// Runs the steps of every worker whose events are signalled; nothing where workers are
// threads. The frame loop calls it between frames.
void RunSignalledEventWorkers();
