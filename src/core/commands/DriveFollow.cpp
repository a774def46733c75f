#include "commands/DriveFollow.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace drivefollow {

namespace {

const QString kDrive = QStringLiteral("drive"); // key, label or share, mount point, seen
const QString kEntry = QStringLiteral("entry"); // key, path within the drive, -, seen

bool isBelow(const QString& path, const QString& point)
{
    return path.size() > point.size() + 1 && path.startsWith(point) && path[point.size()] == u'/';
}

} // namespace

QList<Offer> remember(HubState& state, const QList<DriveIdentity>& mounted,
                      const QStringList& paths, const QDate& today, FileResult* result)
{
    const QString day = today.toString(Qt::ISODate);
    const QString forgetBefore = today.addDays(-kForgetDays).toString(Qt::ISODate);
    QList<Offer> offers;
    if (mounted.isEmpty() && !QFileInfo::exists(state.path()))
        return offers; // nothing to remember, and nothing made for it
    QHash<QString, StateRecord> drives;
    QHash<QString, QHash<QString, StateRecord>> entries; // key -> within -> record
    for (const StateRecord& r : state.read().records) {
        if (r.kind == kDrive)
            drives.insert(r.key, r);
        else if (r.kind == kEntry)
            entries[r.key].insert(r.name, r);
    }
    const auto under = [&](const QString& point) {
        QStringList found;
        for (const QString& p : paths) {
            if (isBelow(p, point))
                found.append(p.mid(point.size() + 1));
        }
        return found;
    };
    // Entries still in the list at the place their drive's records name are seen today.
    for (auto d = drives.begin(); d != drives.end(); ++d) {
        auto& known = entries[d.key()];
        for (const QString& within : under(d->value)) {
            if (auto e = known.find(within); e != known.end()) {
                e->seen = day;
                d->seen = day;
            }
        }
    }
    for (const DriveIdentity& drive : mounted) {
        const QString key = drive.key();
        // A known drive whose records still name its old place keeps that place until the user
        // points them here.
        Offer offer{drive, {}, {}, 0};
        if (const auto known = drives.constFind(key);
            known != drives.constEnd() && known->value != drive.mountPoint) {
            offer.oldPoint = known->value;
            const auto& mine = entries[key];
            for (const QString& within : under(offer.oldPoint)) {
                if (mine.contains(within)) {
                    offer.within.insert(within);
                    ++offer.count;
                }
            }
        }
        const QStringList here = under(drive.mountPoint);
        if (!here.isEmpty() && offer.count == 0)
            drives.insert(key, {kDrive, key, drive.name(), drive.mountPoint, day});
        for (const QString& within : here)
            entries[key].insert(within, {kEntry, key, within, {}, day});
        if (offer.count > 0)
            offers.append(offer);
    }
    QList<StateRecord> keptDrives, keptEntries;
    for (auto d = drives.begin(); d != drives.end(); ++d) {
        QList<StateRecord> mine;
        for (const StateRecord& e : entries.value(d.key())) {
            if (e.seen >= forgetBefore)
                mine.append(e);
        }
        if (mine.isEmpty())
            continue;
        keptDrives.append(*d);
        keptEntries += mine;
    }
    const auto byKey = [](const StateRecord& a, const StateRecord& b) {
        return a.key != b.key ? a.key < b.key : a.name < b.name;
    };
    std::sort(keptDrives.begin(), keptDrives.end(), byKey);
    std::sort(keptEntries.begin(), keptEntries.end(), byKey);
    // Drives and their entries in one rewrite: the file never holds one without the other.
    const FileResult done = state.update(
        {kDrive, kEntry}, [&](QList<StateRecord>& r) { r = keptDrives + keptEntries; });
    if (result)
        *result = done;
    return offers;
}

QList<Offer> remember(const QString& stateFolder, const DriveTable& drives, const OpenRows& rows,
                      const QDate& today)
{
    HubState state(stateFolder);
    const QList<DriveIdentity> mounted = drives.mountedDrives();
    // No drive mounted and none remembered: nothing to remember the entries by, and a large
    // list's paths are not made for nothing.
    if (mounted.isEmpty() && !QFileInfo::exists(state.path()))
        return {};
    const OpenListing& listing = rows.listing();
    QStringList paths;
    paths.reserve(rows.count());
    for (size_t i = 0; i < listing.size(); ++i) {
        const QString& folder = listing.folder(i);
        const QString& name = listing.name(i);
        QString path;
        path.reserve(folder.size() + name.size());
        paths.append(path.append(folder).append(name));
    }
    return remember(state, mounted, paths, today);
}

QList<Offer> Asked::fresh(const QList<Offer>& offers)
{
    QList<Offer> fresh;
    for (const Offer& offer : offers) {
        const QString mount = offer.drive.key() + u'\n' + offer.drive.mountId;
        if (!m_mounts.contains(mount)) {
            m_mounts.insert(mount);
            fresh.append(offer);
        }
    }
    return fresh;
}

namespace {

openedits::Result move(const openedits::Seams& seams, const QString& from, const QString& to,
                       const QSet<QString>& within)
{
    RecentFileList store = seams.store;
    openedits::Result r;
    QByteArray written;
    int count = 0;
    r.result = store.movePaths(from + u'/', to + u'/', within, &count, &written);
    if (!r.result.ok)
        return r;
    r.outcome = count > 0 ? openedits::Outcome::Done : openedits::Outcome::Gone;
    r.listing = openListingOf(written);
    return r;
}

} // namespace

openedits::Result follow(const openedits::Seams& seams, const Offer& offer,
                         std::optional<Moved>* moved)
{
    openedits::Result r = move(seams, offer.oldPoint, offer.drive.mountPoint, offer.within);
    if (r.outcome == openedits::Outcome::Done)
        *moved = Moved{offer.drive.name(), offer.oldPoint, offer.drive.mountPoint, offer.within};
    return r;
}

openedits::Result undoFollow(const openedits::Seams& seams, const Moved& step)
{
    return move(seams, step.to, step.from, step.within);
}

QString followQuestion(const Offer& offer)
{
    return QStringLiteral("Point the ") + QString::number(offer.count) +
           QStringLiteral(" entries on ") + offer.drive.name() + QStringLiteral(" to ") +
           offer.drive.mountPoint + QStringLiteral("?");
}

QString undoText(const Moved& step)
{
    return QStringLiteral("Undo Move of ") + step.name;
}

} // namespace drivefollow
