#include "commands/MissingEntries.h"

#include <QDir>
#include <QTimer>

namespace {

Note noteOf(MissingFiles::State state)
{
    switch (state) {
    case MissingFiles::State::Missing:
        return Note::Missing;
    case MissingFiles::State::NotConnected:
        return Note::NotConnected;
    case MissingFiles::State::NotAnswering:
        return Note::NotAnswering;
    case MissingFiles::State::Present:
        break;
    }
    return Note::None;
}

std::vector<std::pair<int, Note>> notesOf(const MissingFiles::Answers& answers)
{
    std::vector<std::pair<int, Note>> notes;
    notes.reserve(answers.size());
    for (const auto& [row, state] : answers)
        notes.emplace_back(row, noteOf(state));
    return notes;
}

MissingFiles::Look presenceIn(FileSystem& files)
{
    return [files = &files](const QString& path) { return dataFilePresence(*files, path); };
}

} // namespace

MissingEntries::MissingEntries(const DriveTable& drives, FileSystem& files, Noted noted)
    : m_noted(std::move(noted))
    , m_marks(drives, presenceIn(files))
    , m_finds(drives, presenceIn(files))
{}

void MissingEntries::mark(const std::shared_ptr<const OpenRows>& rows)
{
    m_marks.check(rows,
                  [this](const MissingFiles::Checked& what, const MissingFiles::Answers& answers) {
                      m_noted(static_cast<const OpenRows*>(what.get()), notesOf(answers));
                  });
}

void MissingEntries::find(const std::shared_ptr<const OpenRows>& rows,
                          std::function<void(QList<OpenEntry>)> found)
{
    if (!rows || rows->count() == 0) {
        found({});
        return;
    }
    struct Gathered {
        QList<OpenEntry> missing;
        int answered = 0;
        bool told = false;
    };
    auto gathered = std::make_shared<Gathered>();
    const int finding = ++m_finding;
    auto tell = [this, gathered, finding, found = std::move(found)] {
        if (finding == m_finding && !std::exchange(gathered->told, true))
            found(gathered->missing);
    };
    m_finds.check(
        rows, [this, gathered, tell, total = rows->count()](const MissingFiles::Checked& what,
                                                            const MissingFiles::Answers& answers) {
            const auto* looked = static_cast<const OpenRows*>(what.get());
            for (const auto& [row, state] : answers) {
                if (state != MissingFiles::State::Missing)
                    continue;
                OpenEntry entry = looked->entry(row);
                // An entry named by no full path is on no known drive.
                if (QDir::isAbsolutePath(entry.folder))
                    gathered->missing.append(std::move(entry));
            }
            // What was looked at now is shown too.
            m_noted(looked, notesOf(answers));
            gathered->answered += int(answers.size());
            if (gathered->answered >= total)
                tell();
        });
    QTimer::singleShot(kWaitMs, &m_alive, tell);
}
