// SPDX-License-Identifier: MIT
// Mathematische Builtins: Winkel und Logarithmen, Potenzen und Wurzeln, ganze Zahlen, Bits, Zufall.
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <ctime>
#include <vector>

#include "orvu.h"

namespace {
using O = Orvu;
using u64 = uint64_t;

bool ist_zahl(const O::Term& w) {
    return w.typ == O::IZAHL || w.typ == O::RZAHL || w.typ == O::FZAHL;
}

// Betrag als unsigned: |LLONG_MIN| = 2^63 passt.
u64 betrag(int64_t x) { return x < 0 ? 0 - static_cast<u64>(x) : static_cast<u64>(x); }

// b hoch e exakt durch wiederholtes Quadrieren; false, wenn das Ergebnis nicht in 64 Bit
// passt. Quadriert wird nur, solange noch Bits des Exponenten folgen: laeuft das Quadrat
// dann ueber, laeuft auch das Ergebnis ueber (|b|^2 > 2^63, und es kommt noch ein Faktor).
bool hoch_exakt(int64_t b, u64 e, int64_t& aus) {
    int64_t erg = 1;
    for (;;) {
        if ((e & 1) && __builtin_mul_overflow(erg, b, &erg)) return false;
        e >>= 1;
        if (!e) break;
        if (__builtin_mul_overflow(b, b, &b)) return false;
    }
    aus = erg;
    return true;
}

// (n/d) hoch (p/q) fuer n >= 0 als exakte Wurzel: fuer Zaehler und Nenner je die
// abgeschnittene q-te Wurzel w aus x^|p|, wenn w^q die Potenz wiedergibt und sie unter 2^31
// liegt. Eine Wurzel, die pow knapp unter der ganzen Zahl liefert, zaehlt nicht als exakt.
bool wurzel_exakt(const Bruch& b, const Bruch& e, int64_t& wz, int64_t& wn) {
    const double p = std::fabs(static_cast<double>(e.zaehler));
    const double q = static_cast<double>(e.nenner);
    auto wurzel = [&](long long x, int64_t& w) {
        const double potenz = std::pow(static_cast<double>(x), p);
        const double r = std::trunc(std::pow(potenz, 1.0 / q));
        const bool exakt =
            potenz < 2147483648.0 && std::trunc(potenz) == std::trunc(std::pow(r, q));
        w = exakt ? static_cast<int64_t>(r) : 0;  // exakt: r < 2^31
        return exakt;
    };
    return wurzel(b.zaehler, wz) && wurzel(b.nenner, wn);
}

// r^n <= x, ohne Ueberlauf (r^n wird nur so weit gerechnet, wie es unter x bleibt).
bool potenz_hoechstens(u64 r, u64 n, u64 x) {
    u64 p = 1;
    for (u64 i = 0; i < n; ++i) {
        if (r != 0 && p > x / r) return false;
        p *= r;
    }
    return p <= x;
}

// Ganzzahlige n-te Wurzel (abgerundet) von x, n >= 1: Schaetzung in double, dann exakt
// nachgestellt, damit Rundung von pow nie ein falsches Ergebnis gibt (64 hat die
// dritte Wurzel 4, auch wenn pow 3.9999999999999996 liefert).
u64 wurzel_ganz(u64 x, u64 n) {
    if (n == 1 || x < 2) return x;
    if (n >= 64) return 1;
    u64 r = static_cast<u64>(std::pow(static_cast<double>(x), 1.0 / static_cast<double>(n)));
    while (r > 0 && !potenz_hoechstens(r, n, x)) --r;
    while (potenz_hoechstens(r + 1, n, x)) ++r;
    return r;
}

// Kehrwert einer ungeraden Zahl modulo 2^64 (Newton: jede Runde verdoppelt die Bits).
u64 kehrwert_ungerade(u64 a) {
    u64 x = a;  // stimmt in 3 Bit
    for (int i = 0; i < 5; ++i) x *= 2 - a * x;
    return x;
}

// Zustand der Mathematik: Zufallsgenerator und die Tafeln fuer grosse Binomialkoeffizienten.
struct Mathe : O::Teilsystem {
    static constexpr O::Teil platz = O::Teil::mathe;

    // Linearer Kongruenzgenerator mit Werten 0 bis 32767; gleicher Samen, gleiche Folge.
    uint32_t zufall = 1;
    int naechste_zufallszahl() {
        zufall = zufall * 1103515245u + 12345u;
        return static_cast<int>((zufall / 65536u) % 32768u);
    }

    // Polynome modulo x^64 mit Koeffizienten modulo 2^64. Ausgewertet wird nur an geraden
    // Stellen, und dort ist x^64 = 0 modulo 2^64: das Abschneiden aendert keinen Wert.
    using Poly = std::array<u64, 64>;
    // g[b](x) = (x+1)(x+3)...(x + 2^(b+1) - 1): das Produkt von 2^b ungeraden Zahlen ab x.
    std::vector<Poly> g;

    static Poly produkt(const Poly& a, const Poly& b) {
        Poly c{};
        for (size_t i = 0; i < 64; ++i)
            for (size_t j = 0; i + j < 64; ++j) c[i + j] += a[i] * b[j];
        return c;
    }
    // a(x + s), ausmultipliziert.
    static Poly verschoben(const Poly& a, u64 s, const std::array<Poly, 64>& pascal) {
        Poly c{};
        for (size_t m = 0; m < 64; ++m) {
            u64 sp = 1;  // s^(m-j)
            for (size_t j = m + 1; j-- > 0;) {
                c[j] += a[m] * pascal[m][j] * sp;
                sp *= s;
            }
        }
        return c;
    }
    void tafeln() {
        if (!g.empty()) return;
        std::array<Poly, 64> pascal{};
        for (size_t m = 0; m < 64; ++m) {
            pascal[m][0] = 1;
            for (size_t j = 1; j <= m; ++j) pascal[m][j] = pascal[m - 1][j - 1] + pascal[m - 1][j];
        }
        Poly p{};
        p[0] = 1;
        p[1] = 1;
        g.push_back(p);
        for (size_t b = 0; b < 62; ++b)
            g.push_back(produkt(g[b], verschoben(g[b], u64{2} << b, pascal)));
    }
    static u64 an(const Poly& p, u64 x) {
        u64 y = 0;
        for (size_t i = 64; i-- > 0;) y = y * x + p[i];
        return y;
    }
    // Produkt der ungeraden Zahlen <= n, modulo 2^64: Bloecke von 2^b Zahlen.
    u64 ungerade_bis(u64 n) {
        const u64 anzahl = (n + 1) / 2;
        u64 prod = 1, start = 0;
        for (int b = 62; b >= 0; --b)
            if ((anzahl >> b) & 1) {
                prod *= an(g[static_cast<size_t>(b)], 2 * start);
                start += u64{1} << b;
            }
        return prod;
    }
    // Ungerader Anteil von n! modulo 2^64.
    u64 fakultaet_ungerade(u64 n) {
        u64 prod = 1;
        for (; n > 1; n >>= 1) prod *= ungerade_bis(n);
        return prod;
    }

    // C(n, k) modulo 2^64 fuer 0 <= k <= n: Zweierpotenz und ungerader Anteil getrennt.
    u64 binom(u64 n, u64 k) {
        const u64 j = std::min(k, n - k);
        const int v = std::popcount(k) + std::popcount(n - k) - std::popcount(n);
        if (v >= 64) return 0;
        u64 zaehler = 1, nenner = 1;
        if (j <= 4096) {  // kurz: die j Faktoren (n-j+i)/i
            for (u64 i = 1; i <= j; ++i) {
                const u64 a = n - j + i;
                zaehler *= a >> std::countr_zero(a);
                nenner *= i >> std::countr_zero(i);
            }
        } else {
            tafeln();
            zaehler = fakultaet_ungerade(n);
            nenner = fakultaet_ungerade(k) * fakultaet_ungerade(n - k);
        }
        return (zaehler * kehrwert_ungerade(nenner)) << v;
    }
};

// Binomialkoeffizient mit den 64-Bit-Werten der Rekursion C(n,k) = C(n-1,k-1) + C(n-1,k)
// (die Summen laufen modulo 2^64, also ist es C(n,k) modulo 2^64); k < 0 oder k > n: 0.
int64_t binom_64(O& o, int64_t n, int64_t k) {
    if (k < 0 || k > n) return 0;
    return static_cast<int64_t>(o.teil<Mathe>().binom(static_cast<u64>(n), static_cast<u64>(k)));
}

// Wahrheitstafel c auf alle 64 Bit von p und q: Bit 0 fuer p=1,q=1, Bit 1 fuer p=1,q=0,
// Bit 2 fuer p=0,q=1, Bit 3 fuer p=0,q=0.
int64_t bitfunktion(int c, int64_t p, int64_t q) {
    int64_t r = 0;
    if (c & 1) r |= p & q;
    if (c & 2) r |= p & ~q;
    if (c & 4) r |= ~p & q;
    if (c & 8) r |= ~p & ~q;
    return r;
}
}  // namespace

// ---------------------------------------------------------------- sin bis sqrt

int Orvu::trigon(Term* l, Term* r, Term* erg) {
    const int code = opcode(erg);
    if (nur_rechts(l, r, 1101, " Operanden fehler bei trigon\n")) return 1;
    double x;
    if (zahl_operand(r, x, 1102, " Operanden fehler\n")) return 1;
    switch (code) {
    case 0: x = std::sin(x); break;
    case 1: x = std::cos(x); break;
    case 2: x = std::tan(x); break;
    case 3: x = std::asin(x); break;
    case 4: x = std::acos(x); break;
    case 5: x = std::atan(x); break;
    case 6: x = std::log(x) / 0.6931471805599453; break;
    case 7: x = std::log10(x); break;
    case 8: x = std::log(x); break;
    case 9: x = std::exp(x); break;
    default: x = std::sqrt(x); break;
    }
    return setze_fzahl(erg, x);
}

// ---------------------------------------------------------------- Potenzen

// n/d hoch e (d = 1 fuer eine ganze Basis) exakt; Ueberlauf und Division durch NULL
// melden und liefern wie + und / die IZAHL LLONG_MAX mit Status 0.
int Orvu::hoch_bruch(int64_t n, int64_t d, int64_t e, bool ganz_basis, Term* erg) {
    const u64 m = betrag(e);
    int64_t oben, unten;
    bool passt = e > 0 ? hoch_exakt(n, m, oben) && hoch_exakt(d, m, unten)
                       : hoch_exakt(d, m, oben) && hoch_exakt(n, m, unten);
    if (passt && unten == 0) {
        meld(1107) << " Division durch NULL\n";
        return setze_izahl(erg, LLONG_MAX);
    }
    if (!passt || unten == LLONG_MIN) {  // LLONG_MIN als Nenner liesse sich nicht kuerzen
        std::ostream& s = meld(1106) << " UEBERLAUF BEI HOCH " << n;
        if (!ganz_basis) s << "/" << d;
        s << " ** " << e << "\n";
        return setze_izahl(erg, LLONG_MAX);
    }
    if (ganz_basis && e > 0) return setze_izahl(erg, oben);
    Bruch b(oben, unten);
    kuerze(&b);
    return setze_rzahl(erg, b);
}

int Orvu::hoch(Term* l, Term* r, Term* erg) {
    if (beide(l, r, 1103, " operanden fehler bei hoch \n")) return 1;
    Term B, E;
    if (wert(l, &B) || wert(r, &E)) return 1;
    if (!ist_zahl(B)) {
        meld(1104) << "larg keine zahl " << B.typ << "\n";
        return 1;
    }
    if (!ist_zahl(E)) {
        meld(1105) << "rarg keine zahl " << E.typ << "\n";
        return 1;
    }
    if (E.typ == IZAHL && E.izahl == 0) return setze_izahl(erg, 1);
    if (E.typ == IZAHL && B.typ == IZAHL) return hoch_bruch(B.izahl, 1, E.izahl, true, erg);
    if (E.typ == IZAHL && B.typ == RZAHL)
        return hoch_bruch(B.rzahl.zaehler, B.rzahl.nenner, E.izahl, false, erg);
    if (E.typ == RZAHL && B.typ != FZAHL) {
        const Bruch b = B.typ == IZAHL ? Bruch(B.izahl, 1) : B.rzahl;
        if (b.zaehler < 0) return setze_text(erg, "nan");
        int64_t wz, wn;
        if (wurzel_exakt(b, E.rzahl, wz, wn))  // (wz/wn) hoch 1 oder -1
            return hoch_bruch(wz, wn, E.rzahl.zaehler < 0 ? -1 : 1, B.typ == IZAHL, erg);
    }
    double x, y;
    als_double(B, x);
    als_double(E, y);
    return setze_fzahl(erg, std::pow(x, y));
}

int Orvu::pow_(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(1108) << " pow benoetigt rechtsargument\n";
        return 1;
    }
    Term* e = liste_n(r, 2, 1142, " pow benoetigt rechtsargument\n");
    if (!e) return 1;
    Term B, E;
    if (auswerten(&e[0], B, 1109, "\n") || auswerten(&e[1], E, 1145, "\n")) return 1;
    double x, y;
    if (!als_double(B, x) || !als_double(E, y)) {
        meld(1110) << "unzulaessiger typ\n";
        return 1;
    }
    errno = 0;
    const double z = std::pow(x, y);
    if (errno) return setze_text(erg, "NaN");
    return setze_fzahl(erg, z);
}

int Orvu::potenz(Term* l, Term* r, Term* erg) {
    if (!l && !r) {
        meld(1111) << " potenz ohne operanden \n";
        return 1;
    }
    double x, y = 2.0;
    if (zahl_operand(l ? l : r, x, 1112, "unzulaessiger typ\n")) return 1;
    if (l && r && zahl_operand(r, y, 1143, "unzulaessiger typ\n")) return 1;
    return setze_fzahl(erg, std::pow(x, y));
}

int Orvu::wurzel(Term* l, Term* r, Term* erg) {
    if (!r) {
        meld(1113) << " operanden fehler bei hoch \n";
        return 1;
    }
    Term G, X;
    G.typ = IZAHL;
    G.izahl = 2;
    if ((l && wert(l, &G)) || wert(r, &X)) return 1;
    double g, x;
    if (!als_double(G, g) || !als_double(X, x)) {
        meld(1114) << "unzulaessiger typ\n";
        return 1;
    }
    if (G.typ == IZAHL && X.typ == IZAHL && G.izahl == 1) return setze_izahl(erg, X.izahl);
    if (G.typ == IZAHL && X.typ == IZAHL && G.izahl > 1 && (X.izahl >= 0 || G.izahl % 2 == 1)) {
        // Ganzzahlig und exakt, zur Null hin abgeschnitten; ungerader Grad auch negativ.
        const u64 grad = static_cast<u64>(G.izahl);
        const auto w = static_cast<int64_t>(wurzel_ganz(betrag(X.izahl), grad));
        return setze_izahl(erg, X.izahl < 0 ? -w : w);
    }
    return setze_fzahl(erg, std::pow(x, 1.0 / g));
}

int Orvu::log_(Term* l, Term* r, Term* erg) {
    if (beide(l, r, 1115, " operanden fehler bei mal \n")) return 1;
    Term B, X;
    if (wie_geschrieben(l, B, 1116, "\n") || wie_geschrieben(r, X, 1116, "\n")) return 1;
    double b = 0, x = 0;
    als_double(B, b);  // andere Typen zaehlen als 0
    als_double(X, x);
    return setze_fzahl(erg, std::log(x) / std::log(b));
}

// ---------------------------------------------------------------- mod, abs, sign

int Orvu::mod_(Term* l, Term* r, Term* erg) {
    Term L, R;
    if (wert(l, &L) || wert(r, &R)) return 1;
    if (!l || !r) {
        meld(1117) << " operanden fehler bei mal \n";
        return 1;
    }
    if (L.typ == IZAHL && R.typ == IZAHL) {
        if (R.izahl == 0) {
            meld(1118) << " Division durch NULL bei mod\n";
            return 1;
        }
        if (R.izahl == -1 && L.izahl == LLONG_MIN) {
            meld(1119) << " UEBERLAUF BEI MOD " << L.izahl << " mod " << R.izahl << "\n";
            return 1;
        }
        return setze_izahl(erg, L.izahl % R.izahl);
    }
    double x, y;
    if (!als_double(L, x) || !als_double(R, y)) {
        meld(1120) << "unzulaessiger typ\n";
        return 1;
    }
    return setze_fzahl(erg, std::fmod(x, y));
}

int Orvu::abs_(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 1121, " kein gueltiger absaufruf\n")) return 1;
    Term w;
    if (wie_geschrieben(r, w, 1122, "\n")) return 1;
    if (w.typ == IZAHL) {
        if (w.izahl == LLONG_MIN) {  // der Betrag passt nicht: wie ein Ueberlauf bei +
            meld(1124) << " UEBERLAUF BEI ABS " << w.izahl << "\n";
            return setze_izahl(erg, LLONG_MAX);
        }
        return setze_izahl(erg, w.izahl < 0 ? -w.izahl : w.izahl);
    }
    if (w.typ == FZAHL) return setze_fzahl(erg, w.fzahl >= 0 ? w.fzahl : -w.fzahl);
    meld(1123) << "unzulaessiger typ\n";
    return 1;
}

int Orvu::sign(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(1125) << " operanden fehler bei sign \n";
        return 1;
    }
    Term w;
    if (r && auswerten(r, w, 1126, " sign auswertungsfehler\n")) return 1;
    double x;
    if (!r || !als_double(w, x)) {
        meld(1127) << " sign argument fehler\n";
        return 1;
    }
    return setze_izahl(erg, x > 0 ? 1 : x < 0 ? -1 : 0);
}

// ---------------------------------------------------------------- ggt, bino, biko

// Zwei IZAHL-Operanden wie geschrieben (ggt, bino, bl): sonst meld(ort) << meldung.
int Orvu::zwei_ganze(Term* l, Term* r, int64_t& a, int64_t& b, int ort, const char* meldung) {
    if (beide(l, r, ort, meldung)) return 1;
    Term L, R;
    if (wie_geschrieben(l, L, ort + 1, "\n") || wie_geschrieben(r, R, ort + 1, "\n")) return 1;
    if (!als_ganz(L, a) || !als_ganz(R, b)) {
        meld(ort) << meldung;
        return 1;
    }
    return 0;
}

int Orvu::ggt(Term* l, Term* r, Term* erg) {
    int64_t a, b;
    if (zwei_ganze(l, r, a, b, 1128, " operanden fehler bei bino \n")) return 1;
    const long long g = Ggt(a, b);  // mit den Betraegen
    if (g < 0) {  // 2^63: nur ggt(LLONG_MIN, 0) und ggt(LLONG_MIN, LLONG_MIN)
        meld(1130) << " UEBERLAUF BEI GGT " << a << " ggt " << b << "\n";
        return setze_izahl(erg, LLONG_MAX);
    }
    return setze_izahl(erg, g);
}

int Orvu::bino(Term* l, Term* r, Term* erg) {
    int64_t n, k;
    erg->typ = IZAHL;
    if (zwei_ganze(l, r, n, k, 1131, " operanden fehler bei bino \n")) return 1;
    return setze_izahl(erg, binom_64(*this, n, k));
}

int Orvu::biko(Term* l, Term* r, Term* erg) {
    Term N, K;
    Term* nk = l ? nullptr : r && r->typ == TERMLIST && r->termlist && r->termlist->size() == 2
                                 ? r->termlist->data()
                                 : nullptr;
    Term* kn = l ? l : nk ? &nk[0] : nullptr;
    Term* kk = l ? r : nk ? &nk[1] : nullptr;
    if (!kn || !kk || wert(kn, &N) || wert(kk, &K) || N.typ != IZAHL || K.typ != IZAHL) {
        meld(1133) << "biko operanden fehler\n";
        return 1;
    }
    if (N.izahl < 0 || K.izahl < 0 || N.izahl < K.izahl) {
        meld(1134) << "biko " << N.izahl << " < " << K.izahl << "\n";
        return 1;
    }
    return setze_izahl(erg, binom_64(*this, N.izahl, K.izahl));
}

// ---------------------------------------------------------------- korrel

int Orvu::korrel(Term* l, Term* r, Term* erg) {
    // Die Operanden werden nicht ausgewertet: sie muessen Variablen mit Double-Vektoren
    // gleicher Laenge nennen (gezaehlt werden die Elemente der Vektoren selbst).
    const Var* x = l && l->typ == VARREF ? var_still(l) : nullptr;
    const Var* y = r && r->typ == VARREF ? var_still(r) : nullptr;
    if (!x || !y || x->typ != V_FVECTOR || y->typ != V_FVECTOR || !x->fvector || !y->fvector ||
        x->fvector->size() != y->fvector->size()) {
        meld(1135) << " operanden fehler bei korrel \n";
        return 1;
    }
    const std::vector<double>& xs = *x->fvector;
    const std::vector<double>& ys = *y->fvector;
    const double m = static_cast<double>(xs.size());
    double sx = 0, sy = 0;
    for (size_t i = 0; i < xs.size(); ++i) {
        sx += xs[i];
        sy += ys[i];
    }
    const double mx = sx / m, my = sy / m;
    double sxx = 0, syy = 0, sxy = 0;
    for (size_t i = 0; i < xs.size(); ++i) {
        sxx += (xs[i] - mx) * (xs[i] - mx);
        syy += (ys[i] - my) * (ys[i] - my);
        sxy += (ys[i] - my) * (xs[i] - mx);
    }
    return setze_fzahl(erg, sxy / std::sqrt(sxx * syy));
}

// ---------------------------------------------------------------- Bits

int Orvu::bl(Term* l, Term* r, Term* erg) {
    const int code = opcode(erg);
    int64_t p, q;
    if (zwei_ganze(l, r, p, q, 1136, " operanden fehler bei bl \n")) return 1;
    return setze_izahl(erg, bitfunktion(code, p, q));
}

int Orvu::not_(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 1138, " operanden fehler bei not \n")) return 1;
    Term w;
    if (wie_geschrieben(r, w, 1139, "\n")) return 1;
    if (w.typ != IZAHL) {
        meld(1144) << " operanden fehler bei not \n";
        return 1;
    }
    return setze_izahl(erg, ~w.izahl);
}

// ---------------------------------------------------------------- Zufall

int Orvu::srand_(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(1140) << " Operation srand ohne Linksargumente aufrufen! \n";
        return 1;
    }
    Term w;
    if (wert(r, &w)) return 1;
    const int64_t samen = w.typ == IZAHL ? w.izahl : static_cast<int64_t>(std::time(nullptr));
    teil<Mathe>().zufall = static_cast<uint32_t>(samen);
    return setze_izahl(erg, 1);
}

int Orvu::rand_(Term* l, Term* r, Term* erg) {
    Term L, R;
    if (wert(l, &L) || wert(r, &R)) return 1;
    const int64_t unten = L.typ == IZAHL ? static_cast<int32_t>(L.izahl) : 0;
    const int64_t oben = R.typ == IZAHL ? static_cast<int32_t>(R.izahl) : 32767;
    const int64_t breite = oben - unten + 1;
    if (breite <= 0) {
        meld(1141) << " rand: leerer Bereich " << unten << " bis " << oben << "\n";
        return 1;
    }
    return setze_izahl(erg, teil<Mathe>().naechste_zufallszahl() % breite + unten);
}
