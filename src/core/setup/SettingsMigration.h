#pragma once

#include <QString>

class SettingsStore;
class DriveTable;

inline constexpr auto kAppName = "Keldara";
inline constexpr auto kPredecessorName = "GroveLedger";
inline constexpr auto kSection = "General";

// The root of the first CD-ROM drive, ending in the separator, or empty when there is none.
QString FindCdRomDrive(const DriveTable& drives);

// Copies the predecessor's values into this program's settings, once per user.
void MigrateSettings(SettingsStore& settings, const DriveTable& drives, const QString& appFolder);

// Reads "True"/"False" in any letter case; anything else is `fallback`.
bool readBooleanText(const QString& text, bool fallback);
