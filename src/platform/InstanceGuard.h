#pragma once

// Tells whether this is the only running instance of the program for this user.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // Takes the per-user instance lock; false when another live instance holds it.
    virtual bool tryAcquire() = 0;
};
