// SPDX-License-Identifier: MIT
// Dateizeiten setzen (Zugriff und Aenderung), ohne symbolischen Links zu folgen.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <ctime>

#include "plattform.h"

namespace plattform {

int utime_(const char* pfad, int64_t zugriff, int64_t aenderung, long zugriff_ns,
           long aenderung_ns) {
    timespec t[2];
    t[0].tv_sec = static_cast<time_t>(zugriff);
    t[0].tv_nsec = zugriff_ns;
    t[1].tv_sec = static_cast<time_t>(aenderung);
    t[1].tv_nsec = aenderung_ns;
    return utimensat(AT_FDCWD, pfad, t, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

}  // namespace plattform
