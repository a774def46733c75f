#pragma once

#include "work/Work.h"

#include <atomic>
#include <functional>
#include <memory>
#include <source_location>
#include <utility>

namespace work {

// A read asked for again and again while its line waits (F5 held down while a drive hangs) is
// on its line once, never once per request. Asked while the read posted last has not begun, that
// read serves the request, as it will find what the request would; asked once it has begun, one
// more follows its answer, however often it was asked meanwhile. For reads whose answers are all
// taken alike: of the requests that wait, the last one's job and answer are the ones that run.
// Window's thread only.
class OneAtATime {
public:
    // Whether a read is on its line or running.
    bool busy() const { return m_state->posted; }

    template <class Job, class Done>
    void post(const Line& line, QObject* context, Job job, Done done,
              std::source_location postedBy = std::source_location::current())
    {
        const std::shared_ptr<State>& state = m_state;
        if (!state->posted) {
            postNow(state, line, context, std::move(job), std::move(done), postedBy);
            return;
        }
        if (!state->begun->load())
            return;
        state->again = [state, line, context, job = std::move(job), done = std::move(done),
                        postedBy]() mutable {
            postNow(state, line, context, std::move(job), std::move(done), postedBy);
        };
    }

private:
    struct State {
        bool posted = false;
        std::shared_ptr<std::atomic<bool>> begun;
        std::function<void()> again; // the request that came once the read had begun
    };

    template <class Job, class Done>
    static void postNow(const std::shared_ptr<State>& state, const Line& line, QObject* context,
                        Job job, Done done, std::source_location postedBy)
    {
        state->posted = true;
        state->begun = std::make_shared<std::atomic<bool>>(false);
        work::post(
            line, context,
            [begun = state->begun, job = std::move(job)]() mutable {
                begun->store(true);
                return job();
            },
            [state, done = std::move(done)](auto result) mutable {
                state->posted = false;
                std::function<void()> again = std::exchange(state->again, {});
                done(std::move(result));
                // An answer that asked for a read itself has one on its way already.
                if (again && !state->posted)
                    again();
            },
            Priority::Command, postedBy);
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace work
