#pragma once

#include "lists/ListFile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One record of the hub's own state: what it is about (`kind`: "drive", "entry", ...), the key
// it is found by, two texts of its own and the day it was last seen ("yyyy-MM-dd").
struct StateRecord {
    QString kind;
    QString key;
    QString name;
    QString value;
    QString seen;
    bool operator==(const StateRecord&) const = default;
};

// The hub's own per-user state, apart from the list files the companion tools share: the file
// "state.txt" in the user's state folder, one record of five quoted fields per line in the list
// files' format (kind, key, name, value, last seen), rewritten as they are rewritten, so that
// it is never half written. Each feature keeps its own kinds of records and leaves the others'
// lines as they are. Touches nothing but its own folder.
class HubState {
public:
    // `folder`: where the file is kept; empty for the user's state folder.
    explicit HubState(QString folder = {});
    // $XDG_STATE_HOME/keldara (default ~/.local/state/keldara); %LOCALAPPDATA%\Keldara on
    // Windows.
    static QString userStateFolder();

    QString path() const { return m_file.path(); }
    // Every well-formed record, in file order; a missing file is none.
    ListContents<StateRecord> read() const;
    // Lets `edit` change the records of `kinds` (handed over in file order; those it leaves
    // are written after the other kinds' lines) and writes the file when they changed, with
    // the folder made for it when missing. A file that cannot be read is left as it is.
    FileResult update(const QStringList& kinds,
                      const std::function<void(QList<StateRecord>& records)>& edit);

private:
    ListFile m_file;
};
