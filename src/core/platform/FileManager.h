#pragma once

#include <QString>

#include <functional>

// The desktop's file manager, asked to show an item selected in its folder.
class FileManager {
public:
    virtual ~FileManager() = default;

    // Asks for `path` to be shown selected, without waiting. `answered` runs later on the
    // caller's thread: true when the file manager took the request, false when none could be
    // asked, it refused, or it gave no answer in about five seconds.
    virtual void showItem(const QString& path, std::function<void(bool shown)> answered) = 0;
};
