// SPDX-License-Identifier: MIT
// Leser: gepufferte Eingabe mit 64-Bit-Byteposition fuer Datensaetze, POS und next.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Liest die ganze Datei pfad nach inhalt: 0 gelesen, 1 nicht zu oeffnen, 2 Lesefehler
// (inhalt dann unvollstaendig).
int datei_lesen(const char* pfad, std::string& inhalt);

class Leser {
public:
    explicit Leser(FILE* f);
    FILE* datei() const { return f_; }
    // Byteposition des naechsten ungelesenen Bytes.
    int64_t pos() const { return basis_ + static_cast<int64_t>(anf_); }
    // Naechste Zeile wie Getline: endet mit genau einem "\n", CR davor entfaellt.
    // 0: gelesen; 1: Ende der Eingabe (zeile leer).
    int zeile(std::string& zeile);
    // Bis zu n Bytes nach s; liefert die Anzahl gelesener Bytes (0 am Ende).
    size_t block(size_t n, std::string& s);
    // Positioniert auf off Bytes vom Anfang; 0 ok, 1 Fehler.
    int seek(int64_t off);
    // True nach einem Lesefehler (nicht am blossen Ende der Eingabe).
    bool fehler() const { return fehler_; }
    // True, sobald ein Lesen (zeile, block) an das Ende stiess, wie der Dateiende-Indikator
    // eines C-Stroms; seek setzt es zurueck.
    bool am_ende() const { return am_ende_; }

private:
    bool fuellen();
    FILE* f_;
    std::vector<char> puf_;
    size_t anf_ = 0, end_ = 0;
    int64_t basis_ = 0;  // Dateiposition von puf_[0]
    bool ende_ = false;
    bool fehler_ = false;
    bool am_ende_ = false;
};
