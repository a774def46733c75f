#pragma once

#include <QString>

// The outcome of every file and process operation: on failure the platform's error number and
// its text, which the failure messages show as "<what>\r<number>-<text>".
struct FileResult {
    bool ok = true;
    int error = 0;
    QString errorText;
    // Another program kept the file changing the whole time: the same step may well succeed a
    // moment later.
    bool busy = false;

    static FileResult success() { return {}; }
    static FileResult failure(int error, QString text) { return {false, error, std::move(text)}; }
    // errno and strerror's text for it.
    static FileResult fromErrno(int error);
    // A failure of our own making that the platform has no number for (a refused name, a pipe
    // where a file belongs): it carries the platform's nearest number, as the messages show one
    // for every failure, never "0".
    enum class Nearest { Invalid, Folder, Pipe, Busy };
    static FileResult refused(QString text, Nearest nearest = Nearest::Invalid);

    QString message(const QString& what) const;
    // The same failure, its text followed by ": " and the path it met at (a name that something
    // other than a file holds).
    FileResult at(const QString& path) const;
    // Whether the failure is that something already stands at the path asked for.
    bool alreadyExists() const;
};

#ifdef Q_OS_WIN
// GetLastError() and the system's text for it.
FileResult lastWindowsError();
#endif
