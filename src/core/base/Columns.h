#pragma once

// The sub-item numbers of every list's columns. Column 0 is the entry's own text.
namespace NewColumn {
inline constexpr int TypeCode = 1; // hidden
}
namespace OpenColumn {
inline constexpr int Date = 1;
inline constexpr int KindText = 2;
inline constexpr int Folder = 3;   // ends in a separator
inline constexpr int KindCode = 4; // hidden, in the letter case stored in the file
} // namespace OpenColumn
namespace ToolsColumn {
inline constexpr int Path = 1;         // always empty
inline constexpr int ShortcutFile = 2; // shown as "EXE"
inline constexpr int Program = 3;      // hidden
} // namespace ToolsColumn
namespace WebColumn {
inline constexpr int Url = 1;
}
