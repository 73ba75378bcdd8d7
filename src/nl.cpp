// SPDX-License-Identifier: MIT
// Nl: Index lesen und pruefen, Schluessel binaer suchen, Saetze ueber Tit lesen.
// Ortsnummern der Meldungen (Modul src/nl): 1 bis 12.
#include "nl.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {
std::ostream& meld(std::ostream& f, int ort) { return f << "src/nl" << ort; }
}  // namespace

int Nl::init(const std::string& d, const std::string& index, std::ostream& fehler) {
    daten_name = d;
    daten = Datei(d.c_str(), "rb");
    if (!daten) {
        meld(fehler, 1) << "open fehler ." << d << ".\n";
        return 1;
    }
    leser.setze_datei(daten.get());
    Datei ix(index.c_str(), "rb");
    if (!ix) {
        meld(fehler, 2) << index << "open fehler\n";
        return 1;
    }
    if (fseeko(ix.get(), 0, SEEK_END) != 0) {
        meld(fehler, 3) << index << "lesefehler\n";
        return 1;
    }
    const off_t groesse = ftello(ix.get());
    if (groesse < 0 || fseeko(ix.get(), 0, SEEK_SET) != 0) {
        meld(fehler, 3) << index << "lesefehler\n";
        return 1;
    }
    try {
        indextext.assign(static_cast<size_t>(groesse) + 1, '\0');
    } catch (const std::bad_alloc&) {
        meld(fehler, 4) << index << " Restlicher Hauptspeicher langt nicht fuer ganze Datei "
                        << groesse << " (Andere Anwendungen bitte schliessen)\n";
        return 1;
    }
    const size_t n = static_cast<size_t>(groesse);
    if (std::fread(indextext.data(), 1, n, ix.get()) != n) {
        meld(fehler, 5) << index << "lesefehler\n";
        return 1;
    }
    // Nur Zeilen mit einem LF zaehlen; jede: Dezimalzahl, TAB, Schluessel bis zum LF.
    char* p = indextext.data();
    char* const ende = p + n;
    size_t zeile = 0;
    while (p < ende) {
        char* lf = static_cast<char*>(std::memchr(p, '\n', static_cast<size_t>(ende - p)));
        if (!lf) break;
        ++zeile;
        *lf = '\0';
        Eintrag e;
        char* q = p;
        uint64_t wert = 0;
        bool ueber = false;
        while (q < lf && *q >= '0' && *q <= '9') {
            wert = wert * 10 + static_cast<uint64_t>(*q - '0');
            if (wert > static_cast<uint64_t>(INT64_MAX)) ueber = true;
            ++q;
        }
        if (q == p || q == lf || *q != '\t' || ueber) {
            meld(fehler, 6) << index << " Zeile " << zeile
                            << ": erwartet Offset, Tab und Schluessel\n";
            return 1;
        }
        e.offset = static_cast<int64_t>(wert);
        e.schluessel = q + 1;
        if (!eintraege.empty() && std::strcmp(eintraege.back().schluessel, e.schluessel) > 0) {
            meld(fehler, 7) << index << " Zeile " << zeile
                            << ": nicht nach Schluesseln sortiert\n";
            return 1;
        }
        eintraege.push_back(e);
        p = lf + 1;
    }
    return 0;
}

int Nl::hole(const std::string& s, std::string& aus, std::ostream& fehler) {
    aus.clear();
    if (s.empty()) {
        const size_t naechster = static_cast<size_t>(aktuell + 1);
        if (aktuell < 0 || naechster >= eintraege.size() ||
            letzter != eintraege[naechster].schluessel)
            return 0;
        aktuell = static_cast<int64_t>(naechster);
        return satz(naechster, aus, fehler);
    }
    letzter = s;
    // Erster Eintrag mit Schluessel >= s (strcmp-Ordnung): der erste von gleichen.
    auto it = std::lower_bound(eintraege.begin(), eintraege.end(), s,
                               [](const Eintrag& e, const std::string& k) {
                                   return std::strcmp(e.schluessel, k.c_str()) < 0;
                               });
    if (it == eintraege.end() || s != it->schluessel) {
        aktuell = -1;
        return 0;
    }
    aktuell = it - eintraege.begin();
    return satz(static_cast<size_t>(aktuell), aus, fehler);
}

int Nl::satz(size_t i, std::string& aus, std::ostream& fehler) {
    const int64_t off = eintraege[i].offset;
    struct stat st;
    if (fstat(fileno(daten.get()), &st) != 0 || off > static_cast<int64_t>(st.st_size)) {
        meld(fehler, 8) << " Offset " << off << " des Schluessels '" << eintraege[i].schluessel
                        << "' liegt hinter dem Ende von " << daten_name << "\n";
        return 1;
    }
    if (leser.lesen(off, 1) != 0) {
        meld(fehler, 9) << " fseek fehler in " << daten_name << "\n";
        return 1;
    }
    if (leser.anzahl() > 0) aus = leser.zeile(0);
    return 0;
}
