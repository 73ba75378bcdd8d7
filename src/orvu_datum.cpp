// SPDX-License-Identifier: MIT
// Datum und Zeit: aktuelles Datum, Uhrzeit und Prozessorzeit (auch fuer TAG, UHR, CPUZEIT).
#include <cstdio>
#include <ctime>

#include "orvu.h"

namespace {
bool lokalzeit(std::tm& tm) {
    std::time_t t = std::time(nullptr);
    return localtime_r(&t, &tm) != nullptr;
}
}  // namespace

int Orvu::tag(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 601, " 'tag' benoetigt keine argumente !!!\n")) return 1;
    std::tm tm{};
    lokalzeit(tm);
    char puf[64];
    int n = snprintf(puf, sizeof puf, "%04d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                     tm.tm_mday);
    erg->typ = TEXT;
    erg->text.assign(puf, static_cast<size_t>(n));
    return 0;
}

int Orvu::uhr(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 602, " 'jetzt' benoetigt keine argumente !!!\n")) return 1;
    std::tm tm{};
    lokalzeit(tm);
    char puf[64];
    int n = snprintf(puf, sizeof puf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    erg->typ = TEXT;
    erg->text.assign(puf, static_cast<size_t>(n));
    return 0;
}

// Prozessorzeit in Sekunden, in einfacher Genauigkeit berechnet.
int Orvu::cpuzeit(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 603, " cpuzeit benoetigt keine argumente !!!\n")) return 1;
    return setze_fzahl(erg, static_cast<float>(std::clock()) / static_cast<float>(CLOCKS_PER_SEC));
}

// Lesen von TAG, UHR, CPUZEIT: bei jedem Lesen neu berechnet, nie gespeichert.
int Orvu::zeit_var(int index, Term* erg) {
    if (index == V_TAG) return tag(nullptr, nullptr, erg);
    if (index == V_UHR) return uhr(nullptr, nullptr, erg);
    return cpuzeit(nullptr, nullptr, erg);
}
