// SPDX-License-Identifier: MIT
// Textwerkzeuge: Zeilen lesen, Backslash-Folgen, Codepunkte, Leerraum und Kommentare.
#pragma once
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>

// Liest eine Zeile aus f nach zeile; die Zeile endet immer mit genau einem "\n"
// (CR vor LF entfaellt, letzte Zeile ohne Zeilenende bekommt eins).
// 0: Zeile gelesen; 1: Dateiende oder Lesefehler, zeile ist leer.
int Getline(FILE* f, std::string& zeile);

// *cursor steht auf einem Backslash. Schreibt 1 bis 4 Bytes nach puffer (mind. 5 Bytes),
// setzt *cursor hinter die Folge und liefert die Anzahl; -1 nach Meldung an fehler.
int get_backslash(const char** cursor, char* puffer, std::ostream& fehler);

// UTF-8 des Codepunkts cp (<= 0x10FFFF, Surrogate wie andere Werte) nach puffer
// (mind. 5 Bytes); Anzahl Bytes (1..4), bei 1 bis 3 Bytes folgt ein NUL.
int utf8_schreiben(std::uint32_t cp, char* puffer);

// Hexadezimaler Codepunkt am Anfang von hex als UTF-8 nach puffer; Anzahl Bytes (1..4),
// -1 ueber 10FFFF.
int codepos2char(const char* hex, char* puffer);

// Ueberspringt Leerraum, "//"-Zeilen- und "/*...*/"-Blockkommentare.
// 0: *cursor steht auf dem naechsten bedeutsamen Zeichen; 1: offener Blockkommentar,
// *cursor unveraendert.
int weisse_zeichen(const char** cursor);
