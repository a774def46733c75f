#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>

// A private set of XDG folders and a PATH of one empty folder, as an environment for the browser
// lookup: nothing of the machine's own configuration can leak into a test.
class XdgSandbox {
public:
    XdgSandbox()
    {
        for (const char* sub : {"home", "config", "sysconfig", "data", "sysdata", "bin"})
            QDir(m_root.path()).mkpath(QLatin1String(sub));
        env.insert(QStringLiteral("HOME"), path("home"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), path("sysconfig"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
        env.insert(QStringLiteral("XDG_DATA_DIRS"), path("sysdata"));
        env.insert(QStringLiteral("PATH"), path("bin"));
    }

    QString path(const QString& relative) const { return m_root.filePath(relative); }
    QString path(const char* relative) const { return path(QLatin1String(relative)); }

    void write(const QString& relative, const QByteArray& content,
               QFile::Permissions extra = {}) const
    {
        const QString p = path(relative);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
        f.close();
        if (extra)
            f.setPermissions(f.permissions() | extra);
    }
    // An executable shell script in the PATH folder; returns its path.
    QString program(const QString& name, const QByteArray& body = "exit 0\n") const
    {
        write(QStringLiteral("bin/") + name, "#!/bin/sh\n" + body,
              QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        return path(QStringLiteral("bin/") + name);
    }
    // A desktop entry of an application in the system's applications folder (or `folder`).
    void application(const QString& id, const QByteArray& keys,
                     const QString& folder = QStringLiteral("sysdata")) const
    {
        write(folder + QStringLiteral("/applications/") + id,
              "[Desktop Entry]\nType=Application\nName=App\n" + keys + "\n");
    }

    QProcessEnvironment env;

private:
    QTemporaryDir m_root;
};
