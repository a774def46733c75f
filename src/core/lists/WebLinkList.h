#pragma once

#include "base/FileResult.h"
#include "lists/ListFile.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// One line of the web-link list file: the link's name and its address, as typed.
struct WebLinkRecord {
    QString name;
    QString url;
    bool operator==(const WebLinkRecord&) const = default;
};

// The web-link list file "QELWebList.txt" of an application folder: one link per line, name and
// address each in double quotes, joined by a comma, CRLF at the end.
//
// Every change is a read-modify-replace of the whole file through "qellist.tmp" (the temporary
// file the recent-file list uses too): the file is read anew, changed, written to the temporary
// file, flushed, and renamed over the list in one step. A crash or a full disk therefore never
// leaves a torn last line, and a failure leaves the file exactly as it was. Changes another
// program makes meanwhile are not lost, and lines that are not well-formed links (another
// program's) stay byte for byte where they are.
//
// A name or address holding a double quote or a line break cannot be stored in this format:
// every operation that would write one fails before anything is read or written, with the
// failure's text saying so (error number 0, see refusalOf).
//
// Every operation returns a FileResult: on failure the platform's error number and text (or 0
// and a text of ours for a refusal), ready for the "text\r<number>-<text>" message forms.
class WebLinkList {
public:
    // Why `link` cannot be stored; empty when it can.
    static QString refusalOf(const WebLinkRecord& link);

    explicit WebLinkList(QString appFolder);

    QString listPath() const;

    using Contents = ListContents<WebLinkRecord>;
    // All links. A missing file is no links and no failure. A line that is neither a link nor
    // blank makes the result a failure naming the first such line ("Line 3 is not a web link",
    // error number 0); the links are listed all the same.
    Contents read() const;
    // The same, of the file's content as read or written.
    static Contents contentsOf(const QByteArray& content);

    // Adds `link` as the last line, creating the file when it is missing. The new line is
    // exactly what an append would write: for the dialog's first contents,
    // "New Web Short Cut","http://" and CR LF.
    FileResult append(const WebLinkRecord& link, QByteArray* written = nullptr);

    // The order of links in a rewritten file: true when the first goes before the second.
    using Order = std::function<bool(const WebLinkRecord&, const WebLinkRecord&)>;

    // Gives the link `old` the name `newName` and, when `newUrl` is given, that address; without
    // it the link keeps the address the file holds (another program may have changed it since
    // `old` was read). The link is the first of `old`'s name and address, else the first of its
    // name: a link is known by its name. Every other line keeps its bytes, and the links come from
    // the file, never from the screen. Without `order` every line keeps its place; with it the
    // links are put in that order (equal ones as they were), and lines that are not links keep
    // their places. Fails, with nothing changed, when the file is missing or cannot be read, or
    // when it holds no link of that name any more (error number 0).
    // `was` receives the link as the file held it before.
    FileResult replace(const WebLinkRecord& old, const QString& newName,
                       const std::optional<QString>& newUrl, const Order& order = {},
                       WebLinkRecord* was = nullptr, QByteArray* written = nullptr);

    // Removes every link whose name equals `name` exactly (letter case counts). Fails, with
    // nothing changed, when the file is missing or cannot be read. No such link: success, and the
    // file is not rewritten. `taken` receives the lines that went, to be put back by putBack().
    FileResult remove(const QString& name, QList<records::TakenRecord>* taken = nullptr,
                      QByteArray* written = nullptr);
    // Puts lines a remove took back where they stood (see records::Document::putBack), creating
    // the file when it has gone.
    FileResult putBack(const QList<records::TakenRecord>& taken, QByteArray* written = nullptr);

    // The read-modify-replace underneath, for tests that step in at its moments.
    ListFile& file() { return m_file; }

private:
    ListFile m_file;
};
