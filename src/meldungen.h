// SPDX-License-Identifier: MIT
// Fehlerstrom vor der Ausgabe: lange Ketten gleicher Meldungszeilen kuerzen.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Eine Kette von mehr als KETTE_AB gleichen Meldungszeilen (Zeilen, die mit "src/"
// beginnen, wie sie tiefe Rekursion Ebene fuer Ebene schreibt) behaelt ihre ersten
// KETTE_ZEIGEN Zeilen; dafuer steht eine Zeile "... N gleiche Zeilen ausgelassen".
// Alles andere, auch was das Programm selbst nach "$$" schreibt, bleibt wie es ist.
inline constexpr size_t KETTE_AB = 100;
inline constexpr size_t KETTE_ZEIGEN = 5;
std::string ketten_kuerzen(std::string_view text);
