#pragma once

#include <QString>

// Tells whether this is the only running instance of the program for this user.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // Takes the per-user instance lock; false when another live instance holds it.
    virtual bool tryAcquire() = 0;
    // Where the running instance listens for a later start that wants its window in front (a
    // local socket beside the lock); empty when there is no such place.
    virtual QString channelPath() const { return {}; }
    // After tryAcquire: something wrong with the lock that the user should hear of, although it
    // did not keep the program from starting; empty when all was well.
    virtual QString problem() const { return {}; }
    // Lets go of the lock as the program ends, so that a later start need not wait for the last
    // of its threads to end.
    virtual void release() {}
};
