#include "platform/QSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#ifndef Q_OS_WIN
// QSettings replaces the file atomically; fsync the file and its folder as well so that the value
// survives a crash or power cut right after write() returned.
bool syncToDisk(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    bool ok = true;
    for (const QByteArray& name : {file, dir}) {
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        ok = ::fsync(fd) == 0 && ok;
        ::close(fd);
    }
    return ok;
}
#endif

// QSettings keeps the keys of the INI section [General] at its top level.
QString settingsKey(const QString& section, const QString& key)
{
    return section == QLatin1String("General") ? key : section + QLatin1Char('/') + key;
}

#ifndef Q_OS_WIN
// The text after "key=" in `section` of an INI file as it stands, blanks around it dropped; the
// last one when the key repeats. Null when the key is not there.
QString rawIniValue(const QString& path, const QString& section, const QString& key)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString found;
    QString current = QStringLiteral("General"); // keys before any section header
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        if (current != section || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && QStringView(line).left(eq).trimmed() == key) {
            found = line.mid(eq + 1).trimmed();
            if (found.isNull())
                found = QLatin1String(""); // present but empty
        }
    }
    return found;
}

// A value as other programs write INI files: plain text, not in QSettings' own quoted or escaped
// form. QSettings would read its commas as a list and cut it at a semicolon.
bool isPlainIniText(const QString& value)
{
    return !value.startsWith(QLatin1Char('"')) && !value.startsWith(QLatin1Char('@')) &&
           !value.contains(QLatin1Char('\\'));
}
#endif

} // namespace

QSettingsStore::QSettingsStore(QString configHome)
    : m_configHome(configHome.isEmpty() ? defaultConfigHome() : std::move(configHome))
{}

QString QSettingsStore::defaultConfigHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QLatin1String("/.config");
}

QString QSettingsStore::iniPath(const QString& application) const
{
    return m_configHome + QLatin1Char('/') + application + QLatin1Char('/') + application +
           QLatin1String(".conf");
}

#ifdef Q_OS_WIN

QString QSettingsStore::read(const QString& application, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    QSettings s(QLatin1String("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
                    application + QLatin1Char('\\') + section,
                QSettings::NativeFormat);
    return s.value(key, defaultValue).toString();
}

bool QSettingsStore::write(const QString& application, const QString& section, const QString& key,
                           const QString& value)
{
    QSettings s(QLatin1String("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
                    application + QLatin1Char('\\') + section,
                QSettings::NativeFormat);
    s.setValue(key, value);
    s.sync();
    return s.status() == QSettings::NoError;
}

#else

QString QSettingsStore::read(const QString& application, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    const QString path = iniPath(application);
    if (!QFileInfo::exists(path))
        return defaultValue;
    QSettings s(path, QSettings::IniFormat);
    // An unreadable or damaged file must not stop the start: fall back to the default.
    if (s.status() != QSettings::NoError)
        return defaultValue;
    // Values are read whole, as they stand in the file.
    const QString raw = rawIniValue(path, section, key);
    if (!raw.isNull() && isPlainIniText(raw))
        return raw;
    const QVariant v = s.value(settingsKey(section, key));
    if (!v.isValid())
        return defaultValue;
    if (v.typeId() == QMetaType::QStringList && !raw.isNull())
        return raw; // a list is what QSettings made of text with commas
    return v.toString();
}

bool QSettingsStore::write(const QString& application, const QString& section, const QString& key,
                           const QString& value)
{
    const QString path = iniPath(application);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    {
        QSettings s(path, QSettings::IniFormat);
        s.setValue(settingsKey(section, key), value);
        s.sync();
        if (s.status() != QSettings::NoError)
            return false;
    }
    return syncToDisk(path);
}

#endif
