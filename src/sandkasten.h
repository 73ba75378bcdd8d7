// SPDX-License-Identifier: MIT
// Ein Lauf im Prozess ohne Kommandozeile, im Sandkasten: fuer den Fuzzer und die Tests.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>

// Fuehrt programm ueber eingabe aus (ohne Eingabe, wenn eingabe null ist), wie die
// Kommandozeile es taete, aber im Sandkasten, mit Schrittbudget und Laengengrenze.
// Liefert den Status des Laufs; Ausgabe und Meldungen gehen in aus und fehler.
int sandkasten_lauf(const std::string& programm, const std::string* eingabe, std::ostream& aus,
                    std::ostream& fehler, uint64_t schritte, size_t max_laenge);
