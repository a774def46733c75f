#pragma once

#include "lists/HubState.h"

#include <QDate>
#include <QSet>
#include <QString>

// The entries the user pinned to the top of a list: records of the hub's own state file, never
// of the list files the companion tools read. Each list keeps its own kind of record ("pin-open",
// "pin-tools", "pin-web"), keyed by what the entry is: a data file's path, a shortcut file, a
// web link's name and address. A pin whose entry has left its list is kept for 90 days, in case
// the entry comes back.
namespace pins {

inline constexpr int kKeptDays = 90;

QSet<QString> read(const HubState& state, const QString& kind);
// Pins (or unpins) `key`, seen today; `name` is what the user knows the entry by.
FileResult set(HubState& state, const QString& kind, const QString& key, const QString& name,
               bool pinned, const QDate& today);
// The entry of pin `from` is now `to` (a rename); nothing when `from` is not pinned.
FileResult rename(HubState& state, const QString& kind, const QString& from, const QString& to);
// The pins of `present` were seen today; those not seen for kKeptDays are forgotten. Writes only
// when something changed.
FileResult seen(HubState& state, const QString& kind, const QSet<QString>& present,
                const QDate& today);

} // namespace pins
