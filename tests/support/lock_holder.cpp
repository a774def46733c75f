// Holds the program's instance lock until killed, as a running Keldara would.
#include "platform/LockFileInstanceGuard.h"

#include <QFile>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    LockFileInstanceGuard guard(QFile::decodeName(argv[1]));
    if (!guard.tryAcquire())
        return 1;
    std::puts("locked");
    std::fflush(stdout);
    for (;;)
        pause();
}
