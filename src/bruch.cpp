// SPDX-License-Identifier: MIT
// Bruch: Normalform, Text und die zwoelf Operatoren.
// Rechnet ohne Ueberlaufpruefung im 64-Bit-Zweierkomplement; damit das kein
// undefiniertes Verhalten ist, laufen Summen und Produkte ueber unsigned.
#include "bruch.h"

#include <charconv>
#include <climits>

namespace {

using ull = unsigned long long;

// Wrapping-Arithmetik: Ergebnis modulo 2^64, wie es die Hardware liefert.
long long plus(long long a, long long b) { return static_cast<long long>(static_cast<ull>(a) + static_cast<ull>(b)); }
long long minus(long long a, long long b) { return static_cast<long long>(static_cast<ull>(a) - static_cast<ull>(b)); }
long long mal(long long a, long long b) { return static_cast<long long>(static_cast<ull>(a) * static_cast<ull>(b)); }

// Betrag ohne Ueberlauf: |LLONG_MIN| = 2^63 passt in unsigned.
ull betrag(long long x) { return x < 0 ? 0ULL - static_cast<ull>(x) : static_cast<ull>(x); }

ull ggt_u(ull a, ull b) {
    while (b != 0) {
        ull r = a % b;
        a = b;
        b = r;
    }
    return a;
}

Bruch gekuerzt(long long z, long long n) {
    Bruch b;
    b.zaehler = z;
    b.nenner = n;
    b.kuerze();
    return b;
}

// Zeichen fuer "zaehler/nenner": 2 * 20 Ziffern/Vorzeichen + "/", mit Reserve.
constexpr int textlaenge = 48;

char* schreibe_in(const Bruch& b, char* p, char* ende) {
    p = std::to_chars(p, ende, b.zaehler).ptr;
    if (p == ende) return p;  // kann bei textlaenge nicht eintreten
    *p++ = '/';
    return std::to_chars(p, ende, b.nenner).ptr;
}

} // namespace

void Bruch::kuerze() {
    if (zaehler == 0) {
        nenner = 1;
        return;
    }
    if (nenner == 0) {
        zaehler = zaehler < 0 ? -1 : 1;
        return;
    }
    // Auf Betraegen kuerzen; g < 2^63, ausser beide Felder sind LLONG_MIN.
    const ull g = ggt_u(betrag(zaehler), betrag(nenner));
    const ull bz = betrag(zaehler) / g;
    const ull bn = betrag(nenner) / g;
    const bool negativ = (zaehler < 0) != (nenner < 0);
    const ull grenze = static_cast<ull>(LLONG_MAX);
    if (bn <= grenze && bz <= (negativ ? grenze + 1 : grenze)) {
        zaehler = negativ ? static_cast<long long>(0ULL - bz) : static_cast<long long>(bz);
        nenner = static_cast<long long>(bn);
        return;
    }
    // Normalform nicht darstellbar (Betrag 2^63 mit falschem Vorzeichen):
    // nur durch den ggt teilen, Vorzeichen bleiben wie sie sind. Hier ist g < 2^63.
    zaehler /= static_cast<long long>(g);
    nenner /= static_cast<long long>(g);
}

long long Bruch::ggt(long long a, long long b) {
    return static_cast<long long>(ggt_u(betrag(a), betrag(b)));
}

std::string Bruch::text() const {
    char puffer[textlaenge];
    char* ende = schreibe_in(*this, puffer, puffer + textlaenge);
    return std::string(puffer, ende);
}

void Bruch::schreibe(std::string& s) const {
    char puffer[textlaenge];
    char* ende = schreibe_in(*this, puffer, puffer + textlaenge);
    s.append(puffer, ende);
}

Bruch operator+(const Bruch& a, const Bruch& b) {
    return gekuerzt(plus(mal(a.zaehler, b.nenner), mal(a.nenner, b.zaehler)), mal(a.nenner, b.nenner));
}

Bruch operator+(long long k, const Bruch& b) {
    return gekuerzt(plus(b.zaehler, mal(k, b.nenner)), b.nenner);
}

Bruch operator+(const Bruch& a, long long k) {
    return gekuerzt(plus(a.zaehler, mal(k, a.nenner)), a.nenner);
}

Bruch operator-(const Bruch& a, const Bruch& b) {
    return gekuerzt(minus(mal(a.zaehler, b.nenner), mal(a.nenner, b.zaehler)), mal(a.nenner, b.nenner));
}

Bruch operator-(long long k, const Bruch& b) {
    return gekuerzt(minus(mal(k, b.nenner), b.zaehler), b.nenner);
}

Bruch operator-(const Bruch& a, long long k) {
    return gekuerzt(minus(a.zaehler, mal(k, a.nenner)), a.nenner);
}

Bruch operator*(const Bruch& a, const Bruch& b) {
    return gekuerzt(mal(a.zaehler, b.zaehler), mal(a.nenner, b.nenner));
}

Bruch operator*(long long k, const Bruch& b) {
    return gekuerzt(mal(k, b.zaehler), b.nenner);
}

Bruch operator*(const Bruch& a, long long k) {
    return gekuerzt(mal(k, a.zaehler), a.nenner);
}

Bruch operator/(const Bruch& a, const Bruch& b) {
    return gekuerzt(mal(a.zaehler, b.nenner), mal(a.nenner, b.zaehler));
}

Bruch operator/(long long k, const Bruch& b) {
    return gekuerzt(mal(k, b.nenner), b.zaehler);
}

Bruch operator/(const Bruch& a, long long k) {
    return gekuerzt(a.zaehler, mal(a.nenner, k));
}
