// SPDX-License-Identifier: MIT
// Fehlerstrom vor der Ausgabe: lange Ketten gleicher Meldungszeilen kuerzen.
#include "meldungen.h"

namespace {
// Laenge der Zeile ab i, mit ihrem "\n" (am Textende ohne).
size_t zeilenlaenge(std::string_view t, size_t i) {
    size_t e = t.find('\n', i);
    return e == std::string_view::npos ? t.size() - i : e + 1 - i;
}
}  // namespace

std::string ketten_kuerzen(std::string_view t) {
    std::string r;
    r.reserve(t.size());
    for (size_t i = 0; i < t.size();) {
        const size_t n = zeilenlaenge(t, i);
        const std::string_view zeile = t.substr(i, n);
        size_t gleich = 1, j = i + n;
        while (j < t.size() && t.substr(j, n) == zeile && zeilenlaenge(t, j) == n) {
            ++gleich;
            j += n;
        }
        if (gleich > KETTE_AB && zeile.starts_with("src/") && zeile.ends_with('\n')) {
            for (size_t k = 0; k < KETTE_ZEIGEN; ++k) r += zeile;
            r += "... " + std::to_string(gleich - KETTE_ZEIGEN) + " gleiche Zeilen ausgelassen\n";
        } else {
            r += t.substr(i, j - i);
        }
        i = j;
    }
    return r;
}
