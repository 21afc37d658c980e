// Auto-reset events for the streaming threads: set, pulse, and a wait for any of
// several. The mixer signals them from its own thread as play cursors pass
// notification positions.
#pragma once

namespace platform_audio_detail {
struct EventState;
}

class Event {
  public:
    // workerWaits: a worker thread waits on this event and does work after each
    // signal. The manual mixer pump then waits for that work to finish, so that
    // what the pump produces never depends on thread timing.
    explicit Event(bool workerWaits = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    // Leaves the event signalled until one waiter takes the signal.
    void Set();
    // Takes the signal if the event is signalled, without waiting.
    bool TryWait();

  private:
    friend int WaitForAnyEvent(Event* const* events, int count);
    friend void WaitForEventWork(int timeoutMs);
    bool m_signalled = false;
    bool m_workerWaits;
};

// Blocks until one of the events is signalled, resets it and returns its index;
// the lowest index wins when several are signalled. -1 for a bad argument.
int WaitForAnyEvent(Event* const* events, int count);

// Blocks until every signal of a worker-awaited event has been taken and the
// thread that took it has come back to its wait (or ended), or until the time-out.
void WaitForEventWork(int timeoutMs);
