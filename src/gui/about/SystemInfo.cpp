#include "about/SystemInfo.h"

#include "base/Paths.h"
#include "platform/Launcher.h"
#include "platform/MachineRegistry.h"
#include "ui/HubContext.h"

#include <QFileInfo>

namespace {
const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kToolValue = QStringLiteral("PATH");
const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kFolderValue = QStringLiteral("MSINFO");
const QString kToolFile = QStringLiteral("MSINFO32.EXE");
} // namespace

bool GetKeyValue(MachineRegistry& registry, quint32 KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal)
{
    const std::optional<RegistryValue> value = registry.read(KeyRoot, KeyName, SubKeyRef);
    if (!value) {
        KeyVal.clear();
        return false;
    }
    QByteArray data = value->data;
    if (value->type == kRegSz) {
        if (data.endsWith('\0'))
            data.chop(1);
        KeyVal = QString::fromUtf8(data);
    } else if (value->type == kRegDword) {
        // Little end first; a short value counts its missing high bytes as zero.
        quint32 number = 0;
        for (int i = 0; i < 4 && i < data.size(); ++i)
            number |= quint32(quint8(data[i])) << (8 * i);
        KeyVal = QString::number(number);
    }
    return true;
}

QString FindSysInfoProgram(MachineRegistry& registry)
{
    QString path;
    if (GetKeyValue(registry, kHKeyLocalMachine, kToolKey, kToolValue, path))
        return path;
    QString folder;
    if (GetKeyValue(registry, kHKeyLocalMachine, kFolderKey, kFolderValue, folder)) {
        const QString name = paths::findIgnoringCase(folder, kToolFile);
        if (name.isEmpty() || !QFileInfo(paths::join(folder, name)).isFile())
            return {};
        return paths::join(folder, name);
    }
    return registry.desktopSystemInfoProgram();
}

void StartSysInfo(const HubContext& hub)
{
    MachineRegistry* registry = hub.services().registry;
    const QString program = registry ? FindSysInfoProgram(*registry) : QString();
    if (!program.isEmpty() && hub.launcher().start(program, QString()).ok)
        return;
    hub.notice(QStringLiteral("System Information Is Unavailable At This Time"));
}
