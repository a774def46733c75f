#include "setup/SettingsMigration.h"

#include "base/Paths.h"
#include "platform/DriveTable.h"
#include "platform/SettingsStore.h"

namespace {
QString s(const char* latin1)
{
    return QString::fromLatin1(latin1);
}
} // namespace

QString FindCdRomDrive(const DriveTable& drives)
{
    for (const Drive& d : drives.drives()) {
        if (d.type == DriveCdRom)
            return d.root;
    }
    return {};
}

bool readBooleanText(const QString& text, bool fallback)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}

void MigrateSettings(SettingsStore& settings, const DriveTable& drives, const QString& appFolder)
{
    const QString app = s(kAppName);
    const QString old = s(kPredecessorName);
    const QString section = s(kSection);

    // Anything but a number equal to zero means the migration already ran: a value we cannot
    // read as a number was not written by a first start, so copying again could overwrite it.
    bool isNumber = false;
    const double converted =
        settings.read(app, section, QStringLiteral("Converted"), QStringLiteral("0"))
            .trimmed()
            .toDouble(&isNumber);
    if (!isNumber || converted != 0)
        return;

    settings.write(app, section, QStringLiteral("Converted"), QStringLiteral("99"));

    const QString org = settings.read(old, section, QStringLiteral("Org"), QStringLiteral(" "));
    settings.write(app, section, QStringLiteral("Org"), org);

    const QChar sep = paths::separator();
    QString photoDir;
    if (paths::existsIgnoringCase(appFolder, QStringLiteral("CDRomLoaded"))) {
        const QString root = FindCdRomDrive(drives);
        photoDir = settings.read(old, section, QStringLiteral("PhotoDir"),
                                 root + QStringLiteral("photoimages") + sep);
    } else {
        photoDir = appFolder + sep + QStringLiteral("DemoImages") + sep;
    }
    settings.write(app, section, QStringLiteral("PhotoDir"), photoDir);
}
