// SPDX-License-Identifier: MIT
// Kalender: Datumstext <-> Tagesnummer (julianisch und gregorianisch), Wochentag, Ortszeit.
//
// Die Tagesnummer zaehlt Tage; Tag 0 ist der 1.1.0 des (rueckwaerts verlaengerten)
// gregorianischen Kalenders, Tagesnummer + JULDAT ist die julianische Tageszahl.
// Ohne Kalenderwahl gilt bis zum 4.10.1582 der julianische, ab dem 15.10.1582 der
// gregorianische Kalender; dazwischen liegt kein Tag.
//
// Optionen: ein kurzer Text, dessen Buchstaben waehlen: "g" gregorianisch, "j"
// julianisch ("j" gewinnt), "v" Jahr vor der Zeitrechnung (nur Text -> Zahl),
// "a" julianische Tageszahl statt Tagesnummer (nur im Suffix des Datumstexts).
// Andere Buchstaben zaehlen nicht.
#pragma once
#include <cstdint>
#include <ctime>
#include <ostream>
#include <string>

class Kalender {
public:
    static constexpr int64_t JULDAT = 1721060;     // julianische Tageszahl des Tages 0
    static constexpr int64_t MAX_TAG = 3650000;    // groesste Tagesnummer fuer int2kal
    static constexpr int64_t MIN_TAG = -3650000;   // kleinste Tagesnummer fuer int2kal
    static constexpr int64_t REFORM = 578101;      // 15.10.1582, erster gregorianischer Tag

    // Datumstext -> Tagesnummer. Formen "T.M.J[.suffix]" und "J-M-T[-suffix]"; Monat und
    // Tag werden nicht auf ihren Bereich geprueft (31.2. ist der 2. oder 3.3.), die Zahlen
    // muessen in 32 Bit passen. 0 ok; sonst "kein datumsformat gefunden" (ohne Zeilenende)
    // auf fehler, *tag = 0, 1. jd (wenn nicht null): true, wenn das Suffix "a" verlangte
    // und *tag die julianische Tageszahl ist.
    int kal2int(const char* text, int64_t* tag, const char* optionen, std::ostream& fehler,
                bool* jd = nullptr) const;
    // Tagesnummer -> "TT.MM.JJJJ" bzw. "TT.MM.JJJJ.optionen". 0 ok; ausserhalb
    // MIN_TAG..MAX_TAG Meldung (src/kalender) und 1, text bleibt dann leer.
    int int2kal(int64_t tag, std::string& text, const char* optionen, std::ostream& fehler) const;

    // Rechenkern ohne Text; Monat und Tag duerfen ausserhalb ihres Bereichs liegen
    // (Jahr, Monat und Tag im Bereich von 32 Bit, wie kal2int sie liest).
    static int64_t gregorianisch(int64_t jahr, int64_t monat, int64_t tag);
    static int64_t julianisch(int64_t jahr, int64_t monat, int64_t tag);
    struct Datum {
        int64_t jahr = 0;   // astronomisch: 0 ist 1 v. Chr.
        int monat = 0;      // 1..12
        int tag = 0;        // 1..31
    };
    // Tagesnummer -> Datum im gewaehlten Kalender (fuer jede Tagesnummer in 64 Bit).
    static Datum datum(int64_t tagesnummer, bool gregorianisch);
    // Gilt ohne Kalenderwahl der gregorianische Kalender fuer diese Tagesnummer?
    static bool ist_gregorianisch(int64_t tagesnummer) { return tagesnummer >= REFORM; }
    // Name des Wochentags, "Samstag" fuer Tag 0 (Rest in 0..6 auch fuer negative Zahlen).
    static const char* wochentag(int64_t tagesnummer);

    // Ortszeit in der Zeitzone der Plattform (TZ wird beachtet); false, wenn t nicht
    // darstellbar ist.
    static bool ortszeit(std::time_t t, std::tm& tm);
    // Tagesnummer des Datums einer Ortszeit (gregorianisch).
    static int64_t tagesnummer(const std::tm& tm);
    // "JJJJ-MM-TT HH:MM:SS" der Ortszeit von t (leer, wenn nicht darstellbar).
    static std::string zeitstempel(std::time_t t);
};
