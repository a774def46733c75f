#pragma once

#include <QString>
#include <QtGlobal>

class HubContext;
class MachineRegistry;

// Reads the value `SubKeyRef` of the key `KeyName` under `KeyRoot` into `KeyVal` as text: a text
// value without a stored terminating NUL, a 32-bit number as its decimal text. A value of any
// other type leaves `KeyVal` as it was. True when the value was read; on failure `KeyVal` is
// emptied.
bool GetKeyValue(MachineRegistry& registry, quint32 KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal);

// The system-information program: the registry's full path, else "MSINFO32.EXE" in the
// registry's folder, else (when the registry names neither) the desktop's own program. Empty when
// there is none.
QString FindSysInfoProgram(MachineRegistry& registry);

// Starts the system-information program without waiting for it, or tells the user that there is
// none.
void StartSysInfo(const HubContext& hub);
