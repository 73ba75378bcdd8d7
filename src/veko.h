// SPDX-License-Identifier: MIT
// Veko: Verwandtschaftskoeffizienten ueber einem Stammbaum (Name, Vater, Mutter je Zeile),
// exakt als Bruch.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "bruch.h"

class Veko {
public:
    struct Tabt {
        std::string name, vater_name, mutter_name;
    };
    struct Verweis {
        int32_t nummer = 0;
        int32_t vater = -1;
        int32_t mutter = -1;
        int32_t gener = 0;
    };

    Veko() = default;
    explicit Veko(const std::string& pfad) { init(pfad); }
    explicit Veko(const std::vector<std::string>& liste) { init(liste); }

    // Liest die Stammbaumdatei (ganze Zeilen, LF oder CR LF) und baut die Tabelle:
    // 0 ok, 1 Fehler (Grund in fehlertext()).
    int init(const std::string& pfad);
    // Dasselbe aus Zeilen ohne Zeilenende.
    int init(const std::vector<std::string>& liste);
    // Verknuepft die Zeilen mit ihren Eltern und berechnet die Generationstiefe;
    // 1 bei einem Zyklus (jemand ist sein eigener Vorfahr).
    int tab_erstellen();

    int vater(int i) const { return drin(i) ? verweise[i].vater : -1; }
    int mutter(int i) const { return drin(i) ? verweise[i].mutter : -1; }
    int gener(int i) const { return drin(i) ? verweise[i].gener : 0; }
    // Verwandtschaftskoeffizient; -1 fuer eine Zeile ausserhalb der Tabelle, 1 fuer i = j.
    // Ist das Ergebnis nicht als 64-Bit-Bruch darstellbar, ist fehler() danach wahr.
    Bruch veko(int i, int j);
    // Dasselbe ueber Namen (letzte Zeile des Namens); -1 fuer einen leeren Namen.
    Bruch veko(const std::string& a, const std::string& b);
    // Wie veko, auf der Diagonalen aber 1 + Inzuchtkoeffizient.
    Bruch vekom(int i, int j);
    int len() const { return zeilen; }
    // Erste Zeile mit diesem Namen, -1 wenn keine.
    int nummer(const std::string& name) const;
    // Name der Zeile; leer ausserhalb der Tabelle.
    std::string name(int i) const { return drin(i) ? tab[i].name : std::string(); }

    const std::string& fehlertext() const { return fehlertext_; }
    bool fehler() const { return ueberlauf; }

    // Dyadischer Bruch m / 2^e (alle Koeffizienten haben Zweierpotenz-Nenner); schlecht,
    // wenn ein Schritt nicht in 64 Bit und Nenner 2^62 passte.
    struct Dy {
        int64_t m = 0;
        int e = 0;
        bool schlecht = false;
    };

private:
    bool drin(int i) const { return i >= 0 && i < zeilen; }
    Dy rel(int i, int j);
    Dy rek(int i, int j);
    void vorfahren(int i, std::vector<int>& liste, std::vector<uint32_t>& marke, uint32_t stempel);
    bool fluss(int i, std::vector<int>& liste, std::vector<uint64_t>& w,
               std::vector<uint32_t>& marke, uint32_t stempel);
    Dy summe(int a, int b);
    Dy anteil(int k);
    uint32_t neuer_stempel();
    Bruch als_bruch(Dy x);
    static Dy plus(Dy a, Dy b);
    static Dy mal(Dy a, Dy b);
    static Dy halb(Dy a);

    int32_t zeilen = 0;
    std::vector<Verweis> verweise;
    std::vector<Tabt> tab;
    std::unordered_map<std::string, int> erste_zeile, letzte_zeile;

    // Gemerkt je Zeile: Mendel-Anteil d(k) der Zerlegung A = T D T'.
    std::vector<Dy> anteile;
    std::vector<char> anteil_da;
    // Arbeitsfelder fuer den Genfluss zweier Zeilen und die Vereinigung ihrer Vorfahren.
    std::vector<uint64_t> wa, wb;
    std::vector<uint32_t> ma, mb, mu;
    std::vector<int> la, lb, lu, stapel;
    std::vector<std::vector<int>> eimer;
    uint32_t stempel_ = 0;
    // Gedaechtnis der unmittelbaren Rekursion (Paare), fuer Fragen, die der Genfluss nicht
    // in 64 Bit rechnen kann (sehr tiefe Stammbaeume).
    std::unordered_map<uint64_t, Dy> paare;
    bool ueberlauf = false;
    std::string fehlertext_;
};
