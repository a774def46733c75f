#pragma once

#include "base/Program.h"

#include <array>

class QWidget;
class QelListView;
class SettingsStore;

// The window as the user left it: its place, its size, whether it was maximised, and the column
// widths each list was given, kept per user in a settings section of our own.
class WindowState {
public:
    WindowState(QWidget& window, const std::array<QelListView*, kTabCount>& lists,
                SettingsStore* settings);

    // Read before the window first shows.
    void restore();
    // Written once, when the window closes after the exit question.
    void save();

private:
    QWidget& m_window;
    const std::array<QelListView*, kTabCount>& m_lists;
    SettingsStore* m_settings;
};
