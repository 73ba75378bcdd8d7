// SPDX-License-Identifier: MIT
// Grenzen des Interpreters: die Speicherpruefung vor grossen Anforderungen.
#include "grenzen.h"

#include <unistd.h>

// Groessere Anforderungen als der physische Speicher werden vorher abgewiesen, statt
// beim Anlegen abzustuerzen.
bool Grenzen::speicher_reicht(uint64_t n, size_t g) const {
    static const uint64_t gesamt = [] {
        long seiten = sysconf(_SC_PHYS_PAGES), seite = sysconf(_SC_PAGE_SIZE);
        return seiten > 0 && seite > 0 ? static_cast<uint64_t>(seiten) * static_cast<uint64_t>(seite)
                                       : uint64_t{1} << 32;
    }();
    return n <= gesamt / g && n <= max_laenge / g;
}
