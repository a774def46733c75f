#pragma once

#include "commands/OpenEdits.h"
#include "lists/HubState.h"
#include "lists/OpenRows.h"
#include "platform/DriveTable.h"

#include <QDate>
#include <QSet>

// Entries follow their drive: which removable drive or share each entry of the "Open" list is
// on is remembered by the drive's identity, so that a drive mounted at another place than its
// records name is recognised, and its records can be pointed there with the user's word.
namespace drivefollow {

// Records of drives and entries are forgotten once no entry of theirs has been in the list for
// this long.
inline constexpr int kForgetDays = 90;

// A known drive mounted at another place than its records name.
struct Offer {
    DriveIdentity drive;  // as it is mounted now
    QString oldPoint;     // where its records name it
    QSet<QString> within; // the paths within the drive of its entries
    int count = 0;        // the list's records of them at the old place
};

// Remembers, in `state`, the drives the list's entries at `paths` are on and those entries'
// paths within them, forgets what has been gone kForgetDays, and tells which known drives are
// mounted at a new place. Runs on the list line (the state file is the user's own).
QList<Offer> remember(HubState& state, const QList<DriveIdentity>& mounted,
                      const QStringList& paths, const QDate& today, FileResult* result = nullptr);
// ... for the entries of `rows`, in the state folder `stateFolder`, with the drives mounted now.
QList<Offer> remember(const QString& stateFolder, const DriveTable& drives, const OpenRows& rows,
                      const QDate& today);

// The offers the user has not been asked about in this run: each mount of a drive is asked
// about once, whatever the answer.
class Asked {
public:
    QList<Offer> fresh(const QList<Offer>& offers);

private:
    QSet<QString> m_mounts;
};

// What Edit > Undo needs to point the records back.
struct Moved {
    QString name; // the drive's label or share
    QString from, to;
    QSet<QString> within;
};

// Points the drive's records at the old place to the new place: the list file is read again and
// only the paths' first bytes change. Runs on the list line.
openedits::Result follow(const openedits::Seams& seams, const Offer& offer,
                         std::optional<Moved>* moved);
// ... and back.
openedits::Result undoFollow(const openedits::Seams& seams, const Moved& step);

QString followQuestion(const Offer& offer);
QString undoText(const Moved& step);

} // namespace drivefollow
