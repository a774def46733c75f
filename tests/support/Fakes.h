#pragma once

#include "platform/DriveTable.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"

#include <QList>
#include <QMap>
#include <QString>

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

class FakeDriveTable : public DriveTable {
public:
    QList<Drive> table;
    QList<Drive> drives() const override { return table; }
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
