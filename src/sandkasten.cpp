// SPDX-License-Identifier: MIT
// Lauf im Sandkasten: Eingabe aus dem Speicher, Ausgabe in Stroeme, keine Dateien.
#include "sandkasten.h"

#include <cstdio>

#include "besitz.h"
#include "orvu.h"

int sandkasten_lauf(const std::string& programm, const std::string* eingabe, std::ostream& aus,
                    std::ostream& fehler, uint64_t schritte, size_t max_laenge) {
    std::string puffer = eingabe ? *eingabe : std::string();
    Datei ein(eingabe ? fmemopen(puffer.data(), puffer.size(), "rb") : nullptr);
    if (eingabe && !ein) return 1;
    int status;
    {
        Orvu o;
        o.sandkasten = true;
        o.schritte = schritte;
        o.max_laenge = max_laenge;
        Argumente arg;
        arg.ein = ein.get();
        arg.aus_stream = &aus;
        arg.fehler = &fehler;
        arg.steuerung = programm.c_str();
        status = o.berechne(&arg);
    }
    return status;
}
