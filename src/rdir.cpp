// SPDX-License-Identifier: MIT
// Rdir: Verzeichnisstrom lesen, Status jedes Eintrags, Zeitstempel als Text.
#include "rdir.h"

#include <cstdio>
#include <cstring>
#include <ctime>

Rdir::Rdir(const std::string& p) : pfad(p) {
    if (pfad.empty() || (pfad.back() != '/' && pfad.back() != '\\')) pfad += '/';
    dir = Verzeichnis(pfad.c_str());
}

int Rdir::read() {
    aktuell = dir ? readdir(dir.get()) : nullptr;
    if (!aktuell) {
        art = 0;
        return 0;
    }
    eintrag = pfad + aktuell->d_name;
    if (stat(eintrag.c_str(), &info) != 0) info = {};
    groesse = static_cast<int64_t>(info.st_size);
    // Die Aenderungszeit: die einzige, die sich setzen laesst und die es ueberall gibt.
    const time_t t = info.st_mtime;
    char puffer[64];
    norm(ctime_r(&t, puffer), zeit);
    const unsigned typ = info.st_mode & S_IFMT;
    art = typ == S_IFREG ? 1 : typ == S_IFDIR ? 2 : 3;
    return art;
}

void Rdir::norm(const char* text, std::string& ziel) {
    static const char* const monate[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char tag[16] = "", monat[16] = "", zahl[16] = "", uhr[16] = "", jahr[16] = "";
    if (text) std::sscanf(text, "%15s %15s %15s %15s %15s", tag, monat, zahl, uhr, jahr);
    char mm[4] = "99";
    for (int i = 0; i < 12; ++i)
        if (std::strcmp(monat, monate[i]) == 0) std::snprintf(mm, sizeof mm, "%02d", i + 1);
    char aus[96];
    std::snprintf(aus, sizeof aus, "%s-%s-%s %s", jahr, mm, zahl, uhr);
    ziel = aus;
}
