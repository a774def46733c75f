// Linked into the core tests of the thread-sanitizer build only.
//
// Qt is not built with the thread sanitizer, so the sanitizer cannot see the locks inside Qt. One
// of them orders everything a QtConcurrent task shares with the thread that started it: the
// thread pool's, which hands the task to a pool thread that is already running. Unseen, it makes
// every write before QtConcurrent::run() (the task, its arguments and the data they share) look
// like a race with the pool thread that reads it, and so hides any real race among them.
//
// A QtConcurrent task reports itself started right before the pool takes it, and the first thing
// it does on the pool's thread is to ask whether it was cancelled. Both are calls from our code
// into Qt's library, so they can be wrapped here: each calls Qt's own function unchanged, and
// together they tell the sanitizer of the hand-off between them.
#include <QFutureInterfaceBase>

#include <sanitizer/tsan_interface.h>

#include <cstdlib>
#include <dlfcn.h>

namespace {
template <class Function> Function qtsOwn(const char* symbol)
{
    void* own = ::dlsym(RTLD_NEXT, symbol);
    if (!own)
        std::abort();
    return reinterpret_cast<Function>(own);
}
} // namespace

void QFutureInterfaceBase::reportStarted()
{
    static const auto own =
        qtsOwn<void (*)(QFutureInterfaceBase*)>("_ZN20QFutureInterfaceBase13reportStartedEv");
    own(this);
    __tsan_release(this);
}

bool QFutureInterfaceBase::isCanceled() const
{
    static const auto own =
        qtsOwn<bool (*)(const QFutureInterfaceBase*)>("_ZNK20QFutureInterfaceBase10isCanceledEv");
    __tsan_acquire(const_cast<QFutureInterfaceBase*>(this));
    return own(this);
}
