// SPDX-License-Identifier: MIT
// Rdir: liest ein Verzeichnis Eintrag fuer Eintrag (Art, voller Pfad, Groesse, Zeit).
#pragma once
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "besitz.h"

class Rdir {
public:
    // Haengt "/" an, ausser der Pfad endet schon auf "/" oder "\", und oeffnet ihn.
    explicit Rdir(const std::string& pfad);

    bool offen() const { return static_cast<bool>(dir); }
    // Naechster Eintrag: 0 am Ende, 1 Datei, 2 Verzeichnis, 3 anderes (auch art).
    int read();
    // ctime-Text ("Thu Mar  5 14:02:11 2020\n") -> "2020-03-5 14:02:11".
    static void norm(const char* ctime_text, std::string& ziel);
    // Schliesst den Verzeichnisstrom: 0 oder errno.
    int close() { return dir.schliessen(); }

    std::string pfad;
    int32_t art = 0;
    int64_t groesse = 0;
    std::string eintrag;
    std::string zeit;

private:
    Verzeichnis dir;
    dirent* aktuell = nullptr;
    struct stat info {};
};
