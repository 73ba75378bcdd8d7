// SPDX-License-Identifier: MIT
// Grenzen des Interpreters gegen Stapelueberlauf, Endlosschleifen und riesige Werte,
// und der Sandkasten. Reine Pruefungen; die Meldungen schreibt Orvu.
#pragma once
#include <cstddef>
#include <cstdint>

struct Grenzen {
    static constexpr int AUFRUFTIEFE = 20000;
    static constexpr int SCHACHTELUNG = 5000;
    static constexpr int INCLUDETIEFE = 50;

    // Sandkasten (fuer den Fuzzer): nichts erreicht Dateien, Umgebung, Netz, Prozesse.
    bool sandkasten = false;
    // Schrittbudget: 0 = unbegrenzt; sonst zaehlen Schleifendurchlaeufe und Aufrufe
    // herunter.
    uint64_t schritte = 0;
    // Groesste erlaubte Laenge eines Texts oder Vektors, den ein Operator erzeugt.
    size_t max_laenge = size_t{1} << 32;
    size_t stapel_grenze = 6u << 20;  // erlaubter Stapelverbrauch in Bytes
    uintptr_t stapel_ende = 0;        // tiefste erlaubte Stapeladresse; 0 = ohne Pruefung

    // Zaehlt einen Schritt; true, wenn das Budget damit erschoepft ist.
    bool budget_zu_ende() { return --schritte == 0; }
    bool zu_lang(size_t n) const { return n > max_laenge; }
    // True, wenn n Objekte der Groesse g in den physischen Speicher passen und
    // max_laenge (in Bytes) nicht ueberschreiten.
    bool speicher_reicht(uint64_t n, size_t g) const;
    // Der Stapel beginnt bei basis; erlaubt ist stapel_grenze darunter.
    void stapel_ab(uintptr_t basis) {
        stapel_ende = basis > stapel_grenze ? basis - stapel_grenze : 0;
    }
};
