// SPDX-License-Identifier: MIT
// Tit: liest den Satz (Zeilenblock bis zur naechsten Leerzeile) ab einem Offset einer Datei.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class Tit {
public:
    Tit() = default;
    explicit Tit(FILE* datei) : datei_(datei) {}
    void setze_datei(FILE* datei) { datei_ = datei; }

    // Liest ab offset Zeilen (mit Getline, Zeilenende "\n") bis vor die naechste Leerzeile,
    // bis zum Dateiende oder bis max_zeilen gelesen sind. 0 ok, 1 wenn fseek scheitert.
    // Danach steht offset() hinter dem Gelesenen.
    int lesen(int64_t offset, size_t max_zeilen = SIZE_MAX);

    int64_t offset() const { return offset_; }
    size_t laenge() const { return puffer_.size() - start_.size(); }  // ohne die NULs
    size_t anzahl() const { return start_.size(); }
    // Zeile k mit ihrem "\n".
    std::string zeile(size_t k) const { return std::string(puffer_.data() + start_[k], laenge_[k]); }

private:
    FILE* datei_ = nullptr;
    int64_t offset_ = 0;
    std::string puffer_;           // die Zeilen, jede gefolgt von einem NUL
    std::vector<size_t> laenge_;   // Laenge jeder Zeile
    std::vector<size_t> start_;    // Anfang jeder Zeile in puffer_
};
