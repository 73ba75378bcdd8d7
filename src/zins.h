// SPDX-License-Identifier: MIT
// Zins: der Zinssatz (interne Rendite) einer Liste von Ein- und Auszahlungen.
//
// Liste: Eintraege je Zeile (wenn der Text ein Zeilenende hat) oder durch ";" getrennt,
// je "zeit+betrag" oder "zeit-betrag", wahlweise mit "*anzahl" und Periode j/m/t
// ("0-100*12m": zwoelf Monatszahlungen von 100, jeweils zu Beginn des Monats).
// Zeit: ein Datum (mindestens zwei ".") oder Jahre, mit "m" Monate, mit "t" Tage.
// Meldungen mit eigenem Praefix "src/zins" und eigenen Nummern.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class Zins {
public:
    struct Zahlung {
        double zeit = 0;            // in Jahren, nach init relativ zur fruehesten Zahlung
        double betrag = 0;          // positiv: Eingang, negativ: Ausgang
        int32_t wiederholungen = 1; // 1: einmalige Zahlung
        char periode = 'j';         // 'j' Jahr, 'm' Monat, 't' Tag
    };

    // Liest die Liste und sucht q (1 + Zinssatz) mit Barwertsumme 0 durch Bisektion in
    // [0.0001, 0.9999] oder [1.0001, 2]. 0 mit *q; sonst Meldung auf fehler und 1
    // (*q ist dann 1.0).
    int berechne(const char* liste, double* q, std::ostream& fehler);
    // Liest die Zahlungsliste (ohne feste Obergrenze); 0 oder Meldung und 1.
    int init(const char* liste, std::ostream& fehler);
    // Summe der Barwerte aller Zahlungen beim Jahresfaktor q.
    double berechne_up(double q) const;
    // Barwertfaktor von n Zahlungen zu 1 jeweils zu Beginn einer Periode mit Faktor q.
    static double bw(double q, int n);
    // Zeit einer Zahlung in Jahren; 0 oder Meldung und 1.
    int get_zeit(const char* text, double* zeit, std::ostream& fehler) const;

    std::vector<Zahlung> zahlungen;
    double tage_pro_jahr = 365.2425;
};
