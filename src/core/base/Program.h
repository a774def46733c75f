#pragma once

#include <QString>

// The program's title: window captions, message-box titles and the settings' application name.
inline const QString kProgramTitle = QStringLiteral("Keldara");

// What an open-file dialog reports when the user cancels it.
inline constexpr int kDialogCancelled = 32755;

// The tabs of the main window, numbered as the tab strip numbers them.
enum class Tab { New = 0, Open = 1, Tools = 2, Web = 3 };
inline constexpr int kTabCount = 4;

// The tab's caption, which the Edit commands compare to find the current tab.
QString tabCaption(Tab tab);
