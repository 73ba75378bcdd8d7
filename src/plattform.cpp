// SPDX-License-Identifier: MIT
// Umgebung, Dateizeiten, Prozesse und Socket-Start: die POSIX-Zwillinge von _putenv,
// _utime, system und WSAStartup/WSACleanup.
#include "plattform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>

#include <csignal>
#include <cstdlib>

namespace plattform {

int putenv_(const std::string& zuweisung) {
    const size_t gleich = zuweisung.find('=');
    if (gleich == std::string::npos || gleich == 0 ||
        zuweisung.find('\0') != std::string::npos)
        return -1;
    const std::string name = zuweisung.substr(0, gleich);
    if (gleich + 1 == zuweisung.size()) return unsetenv(name.c_str()) == 0 ? 0 : -1;
    return setenv(name.c_str(), zuweisung.c_str() + gleich + 1, 1) == 0 ? 0 : -1;
}

int dateizeit_setzen(const char* pfad, int64_t sekunden) {
    timespec t[2];
    t[0].tv_sec = t[1].tv_sec = static_cast<time_t>(sekunden);
    t[0].tv_nsec = t[1].tv_nsec = 0;
    return utimensat(AT_FDCWD, pfad, t, 0) == 0 ? 0 : errno;
}

int befehl(const char* zeile) {
    const int s = std::system(zeile);
    if (s == -1) return -1;
    if (WIFEXITED(s)) return WEXITSTATUS(s);
    if (WIFSIGNALED(s)) return 128 + WTERMSIG(s);
    return -1;
}

Sockets::Sockets() {
    vorher_ = std::signal(SIGPIPE, SIG_IGN);
    if (vorher_ == SIG_ERR) status_ = -1;
}

Sockets::~Sockets() {
    if (status_ == 0) std::signal(SIGPIPE, vorher_);
}

}  // namespace plattform
