#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What a later start of the program hands to the instance that already runs: the files it was
// asked to open and the kinds it was asked to begin, in the order given, and the activation token
// the desktop gave that start, which lets the running window come to the front.
struct HandOver {
    // A data file to open, a kind to begin, a shortcut file or a web link (by its name) to open
    // as its tab opens it.
    enum class What : char { File = 'F', New = 'N', Tool = 'S', Link = 'W' };
    struct Item {
        What what;
        QString text; // a full path, a kind's type code, a shortcut file or a link's name
        bool operator==(const Item&) const = default;
    };
    QList<Item> items;
    QByteArray token; // XDG_ACTIVATION_TOKEN, else DESKTOP_STARTUP_ID; empty when there was none
    bool operator==(const HandOver&) const = default;

    // The bytes that travel: a header line, then one record per part (a tag byte, the length as
    // four bytes, most significant first, then that many bytes of UTF-8), then an end record.
    QByteArray encode() const;

    // Reads a message as it arrives (see HandOverReading).
    static struct HandOverReading decode(const QByteArray& bytes);

    // The largest message and part taken: far more than a file manager hands over at once, and
    // far less than would hurt.
    static constexpr qsizetype kMaxMessage = 1 << 20;
    static constexpr qsizetype kMaxPart = 32 * 1024;
};

// A message read so far. `complete` stays false while more bytes may come; `refused` says that
// these bytes are no message of ours (wrong header, unknown tag, a part or the whole too long,
// text that is not UTF-8, bytes after the end record), and nothing more of that sender should be
// read.
struct HandOverReading {
    bool complete = false;
    bool refused = false;
    HandOver message;
};
