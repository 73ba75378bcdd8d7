// SPDX-License-Identifier: MIT
// Tests fuer das Kuerzen langer Ketten gleicher Meldungszeilen.
#include "meldungen.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string mal(size_t n, const std::string& zeile) {
    std::string r;
    for (size_t i = 0; i < n; ++i) r += zeile;
    return r;
}

struct Fall {
    const char* name;
    std::string ein, aus;
};

TEST(Meldungen, kuerztNurLangeKettenGleicherMeldungszeilen) {
    const std::string z = "src/orvu122 fehler\n";
    const std::string kurz = mal(KETTE_ZEIGEN, z);
    const Fall faelle[] = {
        {"leer", "", ""},
        {"kurze Kette bleibt", mal(KETTE_AB, z), mal(KETTE_AB, z)},
        {"eine mehr wird gekuerzt", mal(KETTE_AB + 1, z),
         kurz + "... " + std::to_string(KETTE_AB + 1 - KETTE_ZEIGEN) + " gleiche Zeilen ausgelassen\n"},
        {"erste und letzte Zeile bleiben",
         "src/orvu143 tief\n" + mal(20000, z) + "src/orvu106 fehler\n\n",
         "src/orvu143 tief\n" + kurz + "... 19995 gleiche Zeilen ausgelassen\n" +
             "src/orvu106 fehler\n\n"},
        {"zwei Ketten je fuer sich", mal(200, z) + mal(300, "src/up7 x\n"),
         kurz + "... 195 gleiche Zeilen ausgelassen\n" + mal(KETTE_ZEIGEN, "src/up7 x\n") +
             "... 295 gleiche Zeilen ausgelassen\n"},
        {"Ausgabe des Programms bleibt", mal(500, "hallo\n"), mal(500, "hallo\n")},
        {"Zeile als Praefix der naechsten", mal(200, "src/a\n") + "src/a\nb\n",
         mal(KETTE_ZEIGEN, "src/a\n") + "... 196 gleiche Zeilen ausgelassen\nb\n"},
        {"letzte Zeile ohne Zeilenende", mal(150, "src/x") , mal(150, "src/x")},
    };
    for (const Fall& f : faelle) EXPECT_EQ(ketten_kuerzen(f.ein), f.aus) << f.name;
}

}  // namespace
