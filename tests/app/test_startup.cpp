// The start-up steps in their order, each seen by a fake that records it: the settings, the
// instance lock, and the jobs of the list queue in the order they run; and no read of the list
// file beyond what the steps ask for, with a data folder of 3,000 files.
#include "app/Main.h"
#include "lists/ListFile.h"
#include "mainwindow/frmQEL.h"
#include "platform/InstanceGuard.h"
#include "support/FakeHub.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMutex>
#include <QTimer>

namespace {

// The window being started, as the fakes see it when they are asked.
frmQEL* startingWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<frmQEL*>(w))
            return window;
    }
    return nullptr;
}

struct Steps {
    QMutex mutex;
    QStringList window; // on the window's thread
    QStringList queue;  // list-queue jobs, by the function that handed them over
    int listReads = 0;
    void note(const QString& step)
    {
        QMutexLocker lock(&mutex);
        window.append(step);
    }
};

class RecordingSettings : public FakeSettingsStore {
public:
    explicit RecordingSettings(Steps& steps)
        : m_steps(steps)
    {}
    QString read(const QString& a, const QString& s, const QString& k, const QString& d) override
    {
        m_steps.note(QStringLiteral("read ") + a + QLatin1Char('/') + k);
        return FakeSettingsStore::read(a, s, k, d);
    }
    bool write(const QString& a, const QString& s, const QString& k, const QString& v) override
    {
        m_steps.note(QStringLiteral("write ") + a + QLatin1Char('/') + k);
        return FakeSettingsStore::write(a, s, k, v);
    }

private:
    Steps& m_steps;
};

class RecordingInstance : public InstanceGuard {
public:
    explicit RecordingInstance(Steps& steps)
        : m_steps(steps)
    {}
    bool tryAcquire() override
    {
        const frmQEL* window = startingWindow();
        m_steps.note(QStringLiteral("instance, window %1, timer %2")
                         .arg(window && window->isVisible() ? QStringLiteral("shown")
                                                            : QStringLiteral("hidden"),
                              window && window->tmrFileUpdate->isActive() ? QStringLiteral("on")
                                                                          : QStringLiteral("off")));
        return true;
    }

private:
    Steps& m_steps;
};

// "void OpenList::LoadOpenList()" -> "OpenList::LoadOpenList"
QString functionOf(const char* signature)
{
    QString s = QString::fromLatin1(signature);
    s = s.left(s.indexOf(QLatin1Char('(')));
    return s.mid(s.lastIndexOf(QLatin1Char(' ')) + 1);
}

TEST(Startup, StepsRunInTheirOrderAndReadTheListNoMoreThanTheyAsk)
{
    FakeHub hub;
    Steps steps;
    RecordingSettings settings(steps);
    RecordingInstance instance(steps);
    hub.services.settings = &settings;
    hub.services.instance = &instance;
    for (int i = 0; i < 3000; ++i)
        hub.app.write(QStringLiteral("data/plot%1.fpl").arg(i), QByteArray());

    work::setObserver([&](const work::Line& line, const char* postedBy) {
        if (line.isList()) {
            QMutexLocker lock(&steps.mutex);
            steps.queue.append(functionOf(postedBy));
        }
    });
    setListReadObserver([&](const QString& path) {
        if (path.endsWith(QStringLiteral("QELFileList.txt"))) {
            QMutexLocker lock(&steps.mutex);
            ++steps.listReads;
        }
    });
    // Ends the run once the first refresh tick has been dealt with.
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, [&] {
        QMutexLocker lock(&steps.mutex);
        if (steps.queue.contains(QStringLiteral("OpenList::tmrFileUpdate_Timer")) &&
            work::inFlight() == 0) {
            if (frmQEL* window = startingWindow())
                steps.window.append(QStringLiteral("end: tab %1, New %2 entries, Open %3, timer %4")
                                        .arg(window->TabMain->CurrTab())
                                        .arg(window->lstQEL[0]->count())
                                        .arg(window->lstQEL[1]->count())
                                        .arg(window->tmrFileUpdate->isActive()));
            QCoreApplication::quit();
        }
    });
    done.start(50);
    // A start that never reaches its first tick fails here rather than hanging the run.
    bool gaveUp = false;
    QTimer::singleShot(60000, [&] {
        gaveUp = true;
        QCoreApplication::quit();
    });
    EXPECT_EQ(Main(hub.services), 0);
    ASSERT_FALSE(gaveUp) << "the first refresh tick never came";
    work::setObserver({});
    setListReadObserver({});

    const QChar line = QLatin1Char('\n');
    EXPECT_EQ(steps.window.join(line).toStdString(),
              (QStringList{QStringLiteral("read Keldara/Converted"),  // 4. the settings of
                           QStringLiteral("write Keldara/Converted"), //    the program before
                           QStringLiteral("read GroveLedger/Org"),    //    are taken over
                           QStringLiteral("write Keldara/Org"),       //
                           QStringLiteral("write Keldara/PhotoDir"),  //
                           QStringLiteral("read Keldara/Geometry"),   //    the window as the
                           QStringLiteral("read Keldara/Maximized"),  //    user left it
                           QStringLiteral("read Keldara/NewColumns"),
                           QStringLiteral("read Keldara/OpenColumns"),
                           QStringLiteral("read Keldara/ToolsColumns"),
                           QStringLiteral("read Keldara/WebColumns"),
                           QStringLiteral("instance, window hidden, timer off"), // 1, 2, 5.
                           QStringLiteral("read Keldara/CRNExample"),            // 7.
                           QStringLiteral("write Keldara/CRNExample"),           //
                           QStringLiteral("end: tab 0, New 4 entries, Open 3000, timer 1")})
                  .join(line)
                  .toStdString());
    EXPECT_EQ(steps.queue.join(line).toStdString(),
              (QStringList{QStringLiteral("OpenList::TouchFileEntry"),        // 7.
                           QStringLiteral("OpenList::LoadOpenList"),          // 8.
                           QStringLiteral("ToolsTab::LoadShortcutList"),      // 10.
                           QStringLiteral("WebTab::LoadWebList"),             // 12.
                           QStringLiteral("OpenList::SyncDataFolderEntries"), // 15.
                           QStringLiteral("OpenList::tmrFileUpdate_Timer")})
                  .join(line)
                  .toStdString());
    // The example's entry, step 8's load, the sync's rewrite (which hands on what it wrote and
    // which version that is, so that the first tick reads nothing).
    EXPECT_EQ(steps.listReads, 3);
}

} // namespace
