// SPDX-License-Identifier: MIT
// Bruch: exakter Bruch zweier 64-Bit-Zahlen, stets gekuerzt (Nenner positiv).
#pragma once
#include <string>

class Bruch {
public:
    long long zaehler = 0;  // traegt das Vorzeichen
    long long nenner = 1;   // nach kuerze() positiv; 1 fuer ganze Werte

    Bruch() = default;
    Bruch(long long z, long long n) : zaehler(z), nenner(n) {}

    // Normalform: 0 -> 0/1 (auch 0/0); Nenner positiv; gekuerzt durch ggt.
    // z/0 mit z != 0 wird 1/0 bzw. -1/0. Werte mit LLONG_MIN terminieren stets.
    void kuerze();
    // Groesster gemeinsamer Teiler zweier nicht negativer Zahlen; ggt(a, 0) = a.
    static long long ggt(long long a, long long b);
    // "zaehler/nenner", z. B. "3/4", "-1/2", "5/1".
    std::string text() const;
    // Haengt text() an s an, ohne Zwischenobjekt.
    void schreibe(std::string& s) const;
};

// Die zwoelf freien Operatoren: jeweils neuer Bruch, gekuerzt, ohne Ueberlaufpruefung
// (64-Bit-Zweierkomplement).
Bruch operator+(const Bruch& a, const Bruch& b);
Bruch operator+(long long k, const Bruch& b);
Bruch operator+(const Bruch& a, long long k);
Bruch operator-(const Bruch& a, const Bruch& b);
Bruch operator-(long long k, const Bruch& b);
Bruch operator-(const Bruch& a, long long k);
Bruch operator*(const Bruch& a, const Bruch& b);
Bruch operator*(long long k, const Bruch& b);
Bruch operator*(const Bruch& a, long long k);
Bruch operator/(const Bruch& a, const Bruch& b);
Bruch operator/(long long k, const Bruch& b);
Bruch operator/(const Bruch& a, long long k);
