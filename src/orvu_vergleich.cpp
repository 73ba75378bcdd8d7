// SPDX-License-Identifier: MIT
// Vergleiche und Logik: == != < <= > >= && || ! mit ihren eigenen Typtabellen.
#include <type_traits>

#include "ganzzahl.h"
#include "orvu.h"

namespace {
using O = Orvu;

// Text aus genau einem Byte: sein Zeichencode als vorzeichenbehaftetes 8-Bit-Zeichen.
bool text1(const O::Term& t) { return t.typ == O::TEXT && t.text.size() == 1; }
int64_t code(const O::Term& t) { return static_cast<signed char>(t.text[0]); }

float quot(const Bruch& b) { return static_cast<float>(b.zaehler) / static_cast<float>(b.nenner); }

void wahr(O::Term* erg, bool b) {
    erg->typ = O::BOOL;
    erg->izahl = b ? 1 : 0;
}

// Fuer ==: TEXT1, ganze Brueche, BOOL und BYTE werden zu IZAHL.
void normalisiere(O::Term& t) {
    if (text1(t)) t.izahl = code(t);
    else if (t.typ == O::RZAHL && t.rzahl.nenner == 1) t.izahl = t.rzahl.zaehler;
    else if (t.typ == O::BYTE) t.izahl = t.byte;
    else if (t.typ != O::BOOL) return;
    t.typ = O::IZAHL;
}

// Ergebnis eines Vergleichs: <0, 0, >0.
template <class T>
int drei(T a, std::type_identity_t<T> b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

enum Rel { KL, KG, GR, GG };
bool gilt(Rel r, int c) {
    switch (r) {
    case KL: return c < 0;
    case KG: return c <= 0;
    case GR: return c > 0;
    default: return c >= 0;
    }
}
}  // namespace

// Operandenwert fuer != < <= > >= && ||: nur Anwendungen, Aufrufe und Variablen werden
// ausgewertet, andere Knoten sind selbst der Wert.
int Orvu::vergleichswert(Term* k, Term& w) {
    if (k->typ == IZAHL) {  // haeufigster Literalfall ohne Umweg
        w.typ = IZAHL;
        w.izahl = k->izahl;
        return 0;
    }
    if (k->typ == OPER || k->typ == FUNCALL || k->typ == VARREF) {
        if (auswerten(k, w, 501, "\n")) return 1;
        return 0;
    }
    wert_kopieren(*k, w);
    return 0;
}

int Orvu::gleich(Term* l, Term* r, Term* erg) {
    if (beide(l, r, 502, " operanden fehlen bei gleich \n")) return 1;
    int64_t a, b;
    if (ganz(l, a) && ganz(r, b)) {
        wahr(erg, a == b);
        return 0;
    }
    Term L, R;
    if (wert(l, &L) || wert(r, &R)) {
        meld(503) << "\n";
        return 1;
    }
    if (L.typ == TEXT && R.typ == TEXT) {
        wahr(erg, L.text == R.text);
        return 0;
    }
    normalisiere(L);
    normalisiere(R);
    if (L.typ == IZAHL && R.typ == IZAHL) wahr(erg, L.izahl == R.izahl);
    else if (L.typ == IZAHL && R.typ == RZAHL)
        wahr(erg, static_cast<float>(L.izahl) == quot(R.rzahl));
    else if (L.typ == IZAHL && R.typ == FZAHL) wahr(erg, static_cast<double>(L.izahl) == R.fzahl);
    else if (L.typ == RZAHL && R.typ == IZAHL)
        wahr(erg, static_cast<float>(R.izahl) == quot(L.rzahl));
    else if (L.typ == RZAHL && R.typ == RZAHL)
        wahr(erg, L.rzahl.zaehler == R.rzahl.zaehler && L.rzahl.nenner == R.rzahl.nenner);
    else if (L.typ == RZAHL && R.typ == FZAHL)
        wahr(erg, R.fzahl == static_cast<double>(quot(L.rzahl)));
    else if (L.typ == FZAHL && R.typ == IZAHL) wahr(erg, L.fzahl == static_cast<double>(R.izahl));
    else if (L.typ == FZAHL && R.typ == RZAHL)
        wahr(erg, L.fzahl == static_cast<double>(quot(R.rzahl)));
    else if (L.typ == FZAHL && R.typ == FZAHL) wahr(erg, L.fzahl == R.fzahl);
    else {
        meld(504) << " Operanden fehler bei gleich \n";
        return 1;
    }
    return 0;
}

int Orvu::ungleich(Term* l, Term* r, Term* erg) {
    if (beide(l, r, 511, " operanden fehlen bei ungleich \n")) return 1;
    int64_t x, y;
    if (ganz(l, x) && ganz(r, y)) {
        wahr(erg, x != y);
        return 0;
    }
    Term L, R;
    if (vergleichswert(l, L) || vergleichswert(r, R)) return 1;
    const uint32_t a = L.typ, b = R.typ;
    bool ja;
    if (a == IZAHL && b == IZAHL) ja = L.izahl != R.izahl;
    else if (a == IZAHL && b == FZAHL) ja = R.fzahl != static_cast<double>(L.izahl);
    else if (a == IZAHL && b == RZAHL) ja = !(R.rzahl.nenner == 1 && R.rzahl.zaehler == L.izahl);
    else if (a == IZAHL && b == BYTE) ja = L.izahl != R.byte;
    else if (a == IZAHL && text1(R)) ja = L.izahl != code(R);
    else if (a == RZAHL && b == IZAHL) ja = !(L.rzahl.nenner == 1 && L.rzahl.zaehler == R.izahl);
    else if (a == FZAHL && b == IZAHL) ja = L.fzahl != static_cast<double>(R.izahl);
    else if (a == FZAHL && b == FZAHL) ja = L.fzahl != R.fzahl;
    else if (a == BYTE && b == IZAHL) ja = L.byte != R.izahl;
    else if (a == BYTE && text1(R)) ja = L.byte != code(R);
    else if (text1(L) && b == IZAHL) ja = code(L) != R.izahl;
    else if (text1(L) && text1(R)) ja = code(L) != code(R);
    else if (a == TEXT && b == TEXT) ja = L.text != R.text;
    else {
        meld(512) << " Operanden fehler bei ungleich \n";
        return 1;
    }
    wahr(erg, ja);
    return 0;
}

// Gemeinsame Tabelle der vier Ordnungen; c erhaelt das Vergleichsergebnis.
static bool ordnung(const O::Term& L, const O::Term& R, int& c) {
    const uint32_t a = L.typ, b = R.typ;
    if (a == O::IZAHL && b == O::IZAHL) c = drei(L.izahl, R.izahl);
    else if (a == O::IZAHL && b == O::FZAHL) c = drei(static_cast<double>(L.izahl), R.fzahl);
    else if (a == O::IZAHL && b == O::RZAHL)
        c = drei(wrap_mul(L.izahl, R.rzahl.nenner), R.rzahl.zaehler);
    else if (a == O::IZAHL && b == O::BYTE) c = drei(L.izahl, static_cast<int64_t>(R.byte));
    else if (a == O::IZAHL && text1(R)) c = drei(L.izahl, code(R));
    else if (a == O::FZAHL && b == O::IZAHL) c = drei(L.fzahl, static_cast<double>(R.izahl));
    else if (a == O::FZAHL && b == O::FZAHL) c = drei(L.fzahl, R.fzahl);
    else if (a == O::RZAHL && b == O::IZAHL)
        c = drei(L.rzahl.zaehler, wrap_mul(R.izahl, L.rzahl.nenner));
    else if (a == O::RZAHL && b == O::RZAHL)
        c = drei(wrap_mul(L.rzahl.zaehler, R.rzahl.nenner), wrap_mul(R.rzahl.zaehler, L.rzahl.nenner));
    else if (a == O::BYTE && b == O::IZAHL) c = drei(static_cast<int64_t>(L.byte), R.izahl);
    else if (a == O::BYTE && text1(R)) c = drei(static_cast<int64_t>(L.byte), code(R));
    else if (text1(L) && b == O::IZAHL) c = drei(code(L), R.izahl);
    else if (text1(L) && text1(R)) c = drei(code(L), code(R));
    else if (a == O::TEXT && b == O::TEXT) c = L.text.compare(R.text);  // Bytes ohne Vorzeichen
    else return false;
    return true;
}

int Orvu::ordne(Term* l, Term* r, Term* erg, int art) {
    static const char* const namen[] = {"kleiner", "kl_gl", "groesser", "gr_gl"};
    if (!l || !r) {
        meld(521) << " operanden fehlen bei " << namen[art] << " \n";
        return 1;
    }
    int64_t a, b;
    if (ganz(l, a) && ganz(r, b)) {
        wahr(erg, gilt(static_cast<Rel>(art), drei(a, b)));
        return 0;
    }
    Term L, R;
    if (vergleichswert(l, L) || vergleichswert(r, R)) return 1;
    int c;
    if (!ordnung(L, R, c)) {
        if (art == KL) meld(522) << " Operanden fehler bei kleiner " << L.typ << " " << R.typ << "\n";
        else meld(523) << " Operanden fehler bei " << namen[art] << " \n";
        return 1;
    }
    wahr(erg, gilt(static_cast<Rel>(art), c));
    return 0;
}

int Orvu::kleiner(Term* l, Term* r, Term* erg) { return ordne(l, r, erg, KL); }
int Orvu::kl_gl(Term* l, Term* r, Term* erg) { return ordne(l, r, erg, KG); }
int Orvu::groesser(Term* l, Term* r, Term* erg) { return ordne(l, r, erg, GR); }
int Orvu::gr_gl(Term* l, Term* r, Term* erg) { return ordne(l, r, erg, GG); }

// && und || mit Kurzschluss: der rechte Operand wird nur ausgewertet, wenn er zaehlt.
int Orvu::logik(Term* l, Term* r, Term* erg, bool und_) {
    auto typfehler = [&] {
        if (und_) meld(531) << " Operanden fehler bei UND\n";
        else meld(532) << " Operanden fehler bei ODERn";
        return 1;
    };
    if (!l || !r) {
        if (und_) meld(533) << " operanden fehler bei UND \n";
        else meld(534) << " operanden fehler bei ODER\n";
        return 1;
    }
    Term L;
    if (vergleichswert(l, L)) return 1;
    if (L.typ != BOOL && L.typ != IZAHL) return typfehler();
    if (und_ ? L.izahl == 0 : L.izahl != 0) {
        wahr(erg, !und_);
        return 0;
    }
    Term R;
    if (vergleichswert(r, R)) return 1;
    if (R.typ != BOOL && R.typ != IZAHL) return typfehler();
    wahr(erg, R.izahl != 0);
    return 0;
}

int Orvu::und(Term* l, Term* r, Term* erg) { return logik(l, r, erg, true); }
int Orvu::oder(Term* l, Term* r, Term* erg) { return logik(l, r, erg, false); }

int Orvu::nicht(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 541, " logisches NICHT benoetigt rechts_operanden !!!\n")) return 1;
    Term R;
    if (auswerten(r, R, 542, "\n")) return 1;
    if (R.typ != BOOL && R.typ != IZAHL) {
        meld(543) << " Operanden fehler bei NICHT\n";
        return 1;
    }
    wahr(erg, R.izahl == 0);
    return 0;
}
