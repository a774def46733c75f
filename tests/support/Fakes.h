#pragma once

#include "platform/DriveTable.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"

#include <QList>
#include <QMap>
#include <QMutex>
#include <QPointer>
#include <QSet>
#include <QString>

#include <algorithm>
#include <deque>
#include <functional>

// In-memory settings; remembers every read and write so tests can see what was touched.
class FakeSettingsStore : public SettingsStore {
public:
    struct Access {
        QString application, section, key, value;
    };
    QMap<QString, QString> values; // "application/section/key" -> value
    QList<Access> reads, writes;

    static QString path(const QString& a, const QString& s, const QString& k)
    {
        return a + QLatin1Char('/') + s + QLatin1Char('/') + k;
    }
    void set(const QString& a, const QString& k, const QString& v)
    {
        values[path(a, QStringLiteral("General"), k)] = v;
    }
    QString get(const QString& a, const QString& k) const
    {
        return values.value(path(a, QStringLiteral("General"), k));
    }
    bool has(const QString& a, const QString& k) const
    {
        return values.contains(path(a, QStringLiteral("General"), k));
    }
    int readsOf(const QString& application) const
    {
        int n = 0;
        for (const Access& r : reads)
            n += r.application == application;
        return n;
    }

    QString read(const QString& a, const QString& s, const QString& k, const QString& d) override
    {
        reads.append({a, s, k, d});
        return values.value(path(a, s, k), d);
    }
    bool write(const QString& a, const QString& s, const QString& k, const QString& v) override
    {
        writes.append({a, s, k, v});
        values[path(a, s, k)] = v;
        return true;
    }
};

// Drives from a script: the mount points a path's drive is found among, the paths whose drive is
// not connected, and a call that tells the watchers the drives changed. Safe on worker threads.
class FakeDriveTable : public DriveTable {
public:
    QList<Drive> table;
    QList<Drive> drives() const override { return table; }

    void setMounts(const QStringList& mounts)
    {
        QMutexLocker lock(&m_mutex);
        m_mounts = mounts;
    }
    // Every path below `place` is on a drive that is not connected (false: connected again).
    void setNotConnected(const QString& place, bool notConnected = true)
    {
        QMutexLocker lock(&m_mutex);
        if (notConnected)
            m_away.insert(place);
        else
            m_away.remove(place);
    }
    // The drives mounted now, with what they are.
    void setMounted(const QList<DriveIdentity>& mounted)
    {
        QMutexLocker lock(&m_mutex);
        m_mounted = mounted;
    }
    QList<DriveIdentity> mountedDrives() const override
    {
        QMutexLocker lock(&m_mutex);
        return m_mounted;
    }
    void changed()
    {
        for (const auto& [context, call] : m_watchers) {
            if (context)
                call();
        }
    }

    QString driveOf(const QString& path) const override
    {
        QMutexLocker lock(&m_mutex);
        QString best;
        for (const QString& m : m_mounts) {
            if (path.startsWith(m) && m.size() > best.size())
                best = m;
        }
        return best;
    }
    bool isNotConnected(const QString& path) const override
    {
        QMutexLocker lock(&m_mutex);
        return std::any_of(m_away.begin(), m_away.end(),
                           [&](const QString& place) { return path.startsWith(place); });
    }
    void watch(QObject* context, std::function<void()> changed) override
    {
        m_watchers.append({QPointer<QObject>(context), std::move(changed)});
    }

private:
    mutable QMutex m_mutex;
    QStringList m_mounts{QStringLiteral("/")};
    QSet<QString> m_away;
    QList<DriveIdentity> m_mounted;
    QList<std::pair<QPointer<QObject>, std::function<void()>>> m_watchers;
};

// Answers message boxes and file dialogs from a script and records what was asked.
class FakePrompter : public Prompter {
public:
    struct Message {
        QString text, title;
        MsgButtons buttons;
        MsgIcon icon;
    };
    QList<Message> messages;
    std::deque<MsgAnswer> answers; // for Yes/No questions; empty means No
    QList<OpenFileRequest> dialogs;
    std::deque<QString> dialogAnswers;  // empty text means Cancel
    std::function<void()> whileShowing; // runs while a message is "on screen"

    MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                      MsgIcon icon) override
    {
        messages.append({text, title, buttons, icon});
        if (whileShowing)
            whileShowing();
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (answers.empty())
            return MsgAnswer::No;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    struct Input {
        QString prompt, title, defaultText;
    };
    QList<Input> inputs;
    std::deque<QString> inputAnswers;  // empty means Cancel
    std::function<void()> whileTyping; // runs while an input box is "on screen"
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override
    {
        inputs.append({prompt, title, defaultText});
        if (whileTyping)
            whileTyping();
        if (inputAnswers.empty())
            return {};
        const QString a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }
    bool openFile(const OpenFileRequest& request, QString* chosen) override
    {
        dialogs.append(request);
        QString answer;
        if (!dialogAnswers.empty()) {
            answer = dialogAnswers.front();
            dialogAnswers.pop_front();
        }
        if (answer.isEmpty())
            return false;
        *chosen = answer;
        return true;
    }
};

class FakeLauncher : public Launcher {
public:
    struct Start {
        QString program, arguments;
    };
    QList<Start> starts;
    FileResult result;
    FileResult start(const QString& program, const QString& arguments) override
    {
        starts.append({program, arguments});
        return result;
    }
};
