#pragma once

#include "commands/Waiting.h"
#include "work/Work.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class HubContext;
class QelListView;

// Commands of one list whose work waits on a drive. While a command waits, the list shows the
// busy cursor and the window stays usable; the same command on the same entry meanwhile only
// shows that it still waits. A drive that gives no answer within a few seconds is named to the
// user once ("The drive of ... is not answering."), by the file the command waits on at that
// moment: a hanging drive is never taken for a missing file.
class DriveWait : public QObject {
public:
    // What becomes of an answer that comes after the user was told the drive is not answering:
    // dropped (the user asks again when the drive is back) or handed on as usual.
    enum class Late { Drop, Deliver };
    // How long a command waits before the drive is named; tests shorten it.
    static int& patienceMs();

    DriveWait(const HubContext& hub, QelListView& list);
    ~DriveWait() override;

    // Runs `job(waiting)` for the command `what` where `on` says, then `done(answer)` here,
    // unless the answer came late and `late` drops it. `waiting` starts on `on.file`, and the
    // job names each file it goes on to wait on. False, with nothing started, when that command
    // already waits on that entry.
    template <class Job, class Done>
    bool run(const QString& what, const Where& on, Late late, Job job, Done done,
             std::source_location postedBy = std::source_location::current())
    {
        const QString id = what + QLatin1Char('\n') + on.key;
        auto waiting = std::make_shared<Waiting>(on.file);
        const int serial = begin(id, waiting);
        if (serial < 0)
            return false;
        work::post(
            lineOf(on), this, [job = std::move(job), waiting]() mutable { return job(*waiting); },
            [this, id, serial, late, done = std::move(done)](auto answer) mutable {
                // The command counts as waiting until its answer has been dealt with,
                // questions included.
                if (answered(id, serial) || late == Late::Deliver)
                    done(std::move(answer));
                forget(id, serial);
            },
            work::Priority::Command, postedBy);
        return true;
    }

private:
    struct Pending;
    work::Line lineOf(const Where& on) const;
    // The number of the new wait; -1 when the same one already waits.
    int begin(const QString& id, const WaitingPtr& waiting);
    // True when the answer of wait `serial` came in time.
    bool answered(const QString& id, int serial);
    void forget(const QString& id, int serial);

    const HubContext& m_hub;
    QelListView& m_list;
    QHash<QString, std::shared_ptr<Pending>> m_pending;
    int m_serial = 0;
};
