#pragma once

#include "platform/FileManager.h"

#include <QStringList>
#include <QTimer>

// A file manager for tests: records the items it was asked to show and answers `shows`, from
// the event loop as the real one does.
class FakeFileManager : public FileManager {
public:
    QStringList asked;
    bool shows = true;
    void showItem(const QString& path, std::function<void(bool)> answered) override
    {
        asked.append(path);
        QTimer::singleShot(0, [answered = std::move(answered), shown = shows] { answered(shown); });
    }
};
