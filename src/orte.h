// SPDX-License-Identifier: MIT
// Ortsnummern der Meldungen: welche Datei welchen Block hat. Nur Kommentar, kein Code.
//
// Eine Meldung ist Modulpfad + Ortsnummer + Text ("src/orvu131 fehler bei wert").
// Die Nummer nennt genau eine Stelle ihres Moduls; tests/unit/orte_test.cpp prueft
// das fuer alle src/*.cpp und src/*.h. Als Stelle zaehlt jede ganze Zahl in meld(N),
// ort(N), im Parameter "int ort" / "int stelle" einer Hilfe (nur_rechts, zahl_operand,
// textvariable, ...) und jedes "src/modulN" in einem Textliteral.
//
// Modul "src/orvu": orvu.cpp und jede Datei orvu_*.cpp / orvu_*.h ausser orvu_kon.
//
//   Datei                    Block        Inhalt
//   orvu.cpp                 101-199      Laeufer, Anweisungen, Auswertung, Grenzen
//   orvu_parser.cpp          201-399      Tokenizer, Terme, Anweisungen, include
//                            990          init_scan-Fehler beim Uebersetzen
//   orvu_operatoren.cpp      401-499      Zuweisung, Indizierung, + * add, Ausgabe
//   orvu_operanden.cpp       (keine)      Hilfen melden die Nummer ihres Aufrufers
//   orvu_vergleich.cpp       501-599      Vergleiche und Logik
//   orvu_datum.cpp           601-699      Datum und Zeit
//   orvu_zaehlen.cpp         701-799      incr, len, summe
//   orvu_konvert.cpp         801-899      Typen, Zahlbasen, Bytes, utf8, roem
//   orvu_format.cpp          901-989      printf, split, scanf, next
//   orvu_vektor.cpp          1001-1099    Vektoren, Zeiger, Texte
//   orvu_mathe.cpp           1101-1199    Mathematik
//   orvu_extern.cpp          1201-1299    Dateien, URLs, Umgebung, Prozesse
//   orvu_geld.cpp            1301-1399    Zins und Geld
//   orvu_tabellen.cpp        1401-1499    Verwandtschaft, Nachladetabellen
//   orvu_verzeichnis.cpp     1501-1599    Verzeichnisse
//   orvu_svg.cpp             1601-1799    SVG
//   orvu_logo.cpp            1801-1899    Logo und Gleisbau
//   orvu_melodie.cpp         1901-1999    Melodien
//
// Klassen mit eigenem Modulpfad zaehlen in ihrem Modul, unabhaengig von obigen Bloecken:
//
//   Modul                    Nummern      Datei
//   src/orvu_kon             1-...        orvu_kon.cpp (Kommandozeile)
//   src/up                   20-29        up.cpp (Textwerkzeuge)
//   src/kalender, src/zins,  ab 1         je ihre Datei (kalender.cpp, zins.cpp, nl.cpp, ...)
//   src/nl, ...
//
// Eine neue Stelle nimmt die naechste freie Nummer ihres Blocks; eine Nummer wird nie
// fuer eine andere Stelle wiederverwendet.
#pragma once
