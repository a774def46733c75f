#include "platform/windows/WinDriveTable.h"

#ifdef Q_OS_WIN
#include <windows.h>

QList<Drive> WinDriveTable::drives() const
{
    QList<Drive> result;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const QString root = QString(QLatin1Char(letter)) + QLatin1String(":\\");
        const UINT type = GetDriveTypeW(reinterpret_cast<LPCWSTR>(root.utf16()));
        result.append(Drive{root, int(type)});
    }
    return result;
}
#endif
