#pragma once

#include <QString>

// Tells whether this is the only running instance of the program for this user.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // Takes the per-user instance lock; false when another live instance holds it.
    virtual bool tryAcquire() = 0;
    // After tryAcquire: something wrong with the lock that the user should hear of, although it
    // did not keep the program from starting; empty when all was well.
    virtual QString problem() const { return {}; }
};
