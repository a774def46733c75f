#pragma once

#include "lists/OpenRows.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class DriveTable;
class FileSystem;

// Which entries of the "Open" list have lost their files, looked at drive by drive away from the
// window's thread: for the notes the rows show, and for the entries Clean Up Missing takes.
class MissingEntries {
public:
    // A drive that has not answered Clean Up Missing's looks within this long keeps its entries.
    static constexpr int kWaitMs = 3000;
    // The notes a batch of looks gives rows of `rows`.
    using Noted =
        std::function<void(const OpenRows* rows, const std::vector<std::pair<int, Note>>& notes)>;

    // `noted` is given the notes of every look, of the marks and of the finds alike.
    MissingEntries(const DriveTable& drives, FileSystem& files, Noted noted);

    // Looks at the files of `rows` for their notes; a newer look replaces an older one.
    void mark(const std::shared_ptr<const OpenRows>& rows);
    bool busy() const { return m_marks.busy(); }
    // Looks once more, apart from the marks, notes what it finds, and hands over, here, the
    // entries named by their full path whose drive answered and whose file is gone: once every
    // entry was answered for, or after kWaitMs, without the drives that had not answered. A newer
    // call replaces an older one.
    void find(const std::shared_ptr<const OpenRows>& rows,
              std::function<void(QList<OpenEntry>)> found);

private:
    Noted m_noted;
    MissingFiles m_marks;
    MissingFiles m_finds;
    int m_finding = 0;
    QObject m_alive; // the wait of a find ends only while this lives
};
