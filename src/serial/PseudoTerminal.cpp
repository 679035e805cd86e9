#include "serial/PseudoTerminal.h"

#include <QtGlobal>

#if defined(Q_OS_LINUX)
#include <sys/stat.h>
#include <sys/sysmacros.h>
#elif defined(Q_OS_UNIX)
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kel::serial {

bool isPseudoTerminal(int fd)
{
#if defined(Q_OS_LINUX)
    // Device majors of pseudo-terminal slaves: 136 to 143 (/dev/pts/N) and 3 (legacy ttyp*).
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    const unsigned int deviceMajor = major(info.st_rdev);
    return (deviceMajor >= 136 && deviceMajor <= 143) || deviceMajor == 3;
#elif defined(Q_OS_UNIX)
    // Other systems name their pseudo-terminal slaves /dev/pts/N or /dev/ttysNNN.
    const char* name = fd >= 0 ? ttyname(fd) : nullptr;
    if (!name)
        return false;
    return std::strncmp(name, "/dev/pts/", 9) == 0 ||
           (std::strncmp(name, "/dev/ttys", 9) == 0 && name[9] >= '0' && name[9] <= '9');
#else
    Q_UNUSED(fd);
    return false;
#endif
}

} // namespace kel::serial
