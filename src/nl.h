// SPDX-License-Identifier: MIT
// Nl: Nachladetabelle. Ein nach Schluessel sortierter Index (Offset TAB Schluessel je Zeile)
// im Speicher, die Saetze selbst bleiben in der Datendatei und werden je Zugriff gelesen.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "besitz.h"
#include "tit.h"

class Nl {
public:
    struct Eintrag {
        int64_t offset = 0;
        const char* schluessel = nullptr;  // zeigt in den Indextext
    };

    // Oeffnet Daten- und Indexdatei und liest den Index. Meldungen mit "src/nl" nach
    // fehler; 0 ok, 1 Fehler.
    int init(const std::string& daten, const std::string& index, std::ostream& fehler);
    // Sucht schluessel (leer: naechster Eintrag mit dem letzten Schluessel) und legt die
    // erste Zeile des Satzes mit "\n" nach aus (leer, wenn keiner). 0 ok, 1 nach Meldung.
    int hole(const std::string& schluessel, std::string& aus, std::ostream& fehler);

    size_t anzahl() const { return eintraege.size(); }
    const Eintrag& eintrag(size_t i) const { return eintraege[i]; }

private:
    int satz(size_t i, std::string& aus, std::ostream& fehler);

    std::string daten_name;
    Datei daten;
    Tit leser;
    std::vector<char> indextext;
    std::vector<Eintrag> eintraege;
    int64_t aktuell = -1;   // aktueller Eintrag, -1 keiner
    std::string letzter;    // zuletzt gesuchter Schluessel
};
