#include "commands/OpenUndo.h"

namespace openundo {

namespace {

template <class... F> struct Overloaded : F... {
    using F::operator()...;
};
template <class... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace

QString text(const Step& step)
{
    return std::visit(
        Overloaded{
            [](const Deleted& d) {
                return QStringLiteral("Undo ") + d.verb + QStringLiteral(" of ") +
                       d.step.entry.name;
            },
            [](const openedits::RenamedEntry& r) {
                return QStringLiteral("Undo Rename of ") + r.finalName;
            },
            [](const openedits::CleanedUp&) { return QStringLiteral("Undo Clean Up Missing"); },
            [](const drivefollow::Moved& m) { return drivefollow::undoText(m); }},
        step);
}

Where where(const Step& step, const QString& listPath)
{
    if (const auto* d = std::get_if<Deleted>(&step)) {
        return Where::of(d->step.entry.path());
    }
    if (const auto* r = std::get_if<openedits::RenamedEntry>(&step))
        return {r->newFile, r->newPath, r->newFile};
    return {{}, listPath, listPath}; // a change of the list alone
}

Undone run(const openedits::Seams& seams, const Step& step, Waiting& waiting)
{
    return std::visit(
        Overloaded{
            [&](const Deleted& d) {
                openedits::Result r = openedits::undoDelete(seams, d.step, waiting);
                // Put back in the trash elsewhere, the file is undone from there next time.
                Deleted retry{r.deleted ? *r.deleted : d.step, d.verb};
                return Undone{std::move(r), std::move(retry), d.step.entry.path(), std::nullopt,
                              openedits::undoTexts(d.step)};
            },
            [&](const openedits::RenamedEntry& s) {
                openedits::Result r = openedits::undoRename(seams, s, waiting);
                return Undone{std::move(r), s, s.before.path(),
                              PinMove{s.newPath, s.before.path(), false}, openedits::undoTexts(s)};
            },
            [&](const openedits::CleanedUp& s) {
                return Undone{openedits::undoCleanUp(seams, s), s, {}, std::nullopt, {}};
            },
            [&](const drivefollow::Moved& s) {
                return Undone{
                    drivefollow::undoFollow(seams, s), s, {}, PinMove{s.to, s.from, true}, {}};
            }},
        step);
}

} // namespace openundo
