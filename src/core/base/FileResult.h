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
    // A failure of our own making that the platform has no number for (e.g. a refused name).
    static FileResult refused(QString text) { return failure(0, std::move(text)); }

    QString message(const QString& what) const;
    // Whether the failure is that something already stands at the path asked for.
    bool alreadyExists() const;
};

#ifdef Q_OS_WIN
// GetLastError() and the system's text for it.
FileResult lastWindowsError();
#endif
