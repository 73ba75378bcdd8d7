// SPDX-License-Identifier: MIT
// Umgebung, Prozesse und Socket-Start: die POSIX-Zwillinge von _putenv, system und
// WSAStartup/WSACleanup.
#include "plattform.h"

#include <sys/wait.h>

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
