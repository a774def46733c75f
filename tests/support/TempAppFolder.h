#pragma once

#include "lists/RecordCodec.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A throw-away application folder for one test.
class TempAppFolder {
public:
    TempAppFolder()
        : m_dir(QDir::tempPath() + QStringLiteral("/keldara-test-XXXXXX"))
    {}
    QString path() const { return QDir::toNativeSeparators(m_dir.path()); }
    QString file(const QString& relative) const { return m_dir.filePath(relative); }

    void mkdir(const QString& relative) const { QDir(m_dir.path()).mkpath(relative); }
    void write(const QString& relative, const QByteArray& content) const
    {
        const QString p = file(relative);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
    }
    // A list file of these records, each encoded as the program writes them.
    void writeRecords(const QString& relative, const QList<QStringList>& records) const
    {
        QByteArray data;
        for (const QStringList& r : records)
            data += records::encode(r);
        write(relative, data);
    }
    QByteArray read(const QString& relative) const
    {
        QFile f(file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString& relative) const { return QFileInfo::exists(file(relative)); }

private:
    QTemporaryDir m_dir;
};
