// SPDX-License-Identifier: MIT
// Schnellwege: ganze Zahlen, Brueche und Wahrheitswerte ohne Term und ohne Handleraufruf.
//
// Jeder Knoten bekommt beim ersten Gebrauch seine Art (einordnen) nach seiner Form:
// Handler, Operatorcode, Operanden. Ein Schnellweg rechnet genau wie der Handler, lehnt
// aber alles Ungewoehnliche ab (anderer Typ, Ueberlauf, Division durch NULL, fehlende
// Variable, Vektor in der Zielvariablen, besondere Variablen), bevor etwas geschehen ist.
// Der allgemeine Weg macht es dann noch einmal, mit seinen Meldungen. Darum haben die
// Operanden eines Schnellwegs nie eine Wirkung; die einzige Wirkung ist die letzte
// Zuweisung einer Ausdrucksanweisung.
#include <climits>

#include "ganzzahl.h"
#include "orvu.h"

namespace {
using O = Orvu;

// Wie plus_mitpruef und mal_mitpruef, aber still: false bei Ueberlauf.
bool plus_ok(int64_t a, int64_t b, int64_t& s) { return !__builtin_add_overflow(a, b, &s); }
bool mal_ok(int64_t a, int64_t b, int64_t& p) {
    if (a == 0 || b == 0) {
        p = 0;
        return true;
    }
    return !__builtin_mul_overflow(a, b, &p) && p != LLONG_MIN;
}

bool ganz_oder_wahr(const O::Klein& w) { return w.typ == O::IZAHL || w.typ == O::BOOL; }

// Gekuerzter Bruch als Ergebnis, wie das Ergebnis eines Handlers mit kuerze().
bool bruch(O::Klein& w, int64_t z, int64_t n) {
    Bruch b(z, n);
    b.kuerze();
    w.typ = O::RZAHL;
    w.z = b.zaehler;
    w.n = b.nenner;
    return true;
}

bool wahr(O::Klein& w, bool b) {
    w.typ = O::BOOL;
    w.z = b;
    return true;
}

int drei(int64_t a, int64_t b) { return a < b ? -1 : (b < a ? 1 : 0); }

bool ist_indizierung(const O::Term* t) {
    return t && t->typ == O::OPER && t->handler == &O::indizierung;
}

// Globale Variablen, die beim Lesen berechnet oder beim Schreiben besonders behandelt werden.
bool zeitvariable(const O::Term* k) {
    return !k->lokal && k->izahl >= O::V_TAG && k->izahl <= O::V_CPUZEIT;
}
bool besonderes_ziel(const O::Term* k) {
    return !k->lokal && (k->izahl == O::V_DOLLAR || k->izahl == O::V_DOLLAR2 || k->izahl == O::V_POS);
}
}  // namespace

// ---------------------------------------------------------------- Einordnen

uint8_t Orvu::einordnen(const Term* k) {
    if (k->typ == IZAHL) return S_ZAHL;
    if (k->typ == VARREF) return zeitvariable(k) ? S_NEIN : S_VAR;
    if (k->typ != OPER) return S_NEIN;
    const Handler h = k->handler;
    const Term* l = k->larg;
    const Term* r = k->rarg;
    if (h == &Orvu::plus) return r ? S_PLUS : S_NEIN;
    if (h == &Orvu::mal) return l && r ? S_MAL : S_NEIN;
    if (h == &Orvu::kleiner || h == &Orvu::kl_gl || h == &Orvu::groesser || h == &Orvu::gr_gl)
        return l && r ? S_ORDNE : S_NEIN;
    if (h == &Orvu::gleich) return l && r ? S_GLEICH : S_NEIN;
    if (h == &Orvu::ungleich) return l && r ? S_UNGLEICH : S_NEIN;
    if (h == &Orvu::und || h == &Orvu::oder) return l && r ? S_LOGIK : S_NEIN;
    if (h == &Orvu::nicht) return !l && r ? S_NICHT : S_NEIN;
    if (h == &Orvu::indizierung)
        return l && r && l->typ == VARREF && !zeitvariable(l) ? S_INDEX : S_NEIN;
    if (h == &Orvu::zuweisung) {
        const int64_t op = k->izahl;
        if (!l || !r || (op != 0 && op != 2 && op != 3)) return S_NEIN;
        if (l->typ == VARREF) return besonderes_ziel(l) ? S_NEIN : S_ZUW;
        return ist_indizierung(l) && l->larg && l->larg->typ == VARREF && l->rarg ? S_ZUW_ELEM
                                                                               : S_NEIN;
    }
    if (h == &Orvu::incr) {
        if ((l && r) || (!l && !r)) return S_NEIN;
        const Term* op = l ? l : r;
        if (op->typ == VARREF) return S_INCR;
        return ist_indizierung(op) && op->larg && op->larg->typ == VARREF && op->rarg ? S_INCR
                                                                                  : S_NEIN;
    }
    return S_NEIN;
}

// ---------------------------------------------------------------- Werte ohne Wirkung

bool Orvu::rein(Term* k, Klein& w) {
    switch (k->schnell) {
    case S_NEU:
        k->schnell = einordnen(k);
        return k->schnell != S_NEIN && rein(k, w);
    case S_ZAHL:
        if (k->typ != IZAHL) return false;
        w.typ = IZAHL;
        w.z = k->izahl;
        return true;
    case S_VAR: return k->typ == VARREF && rein_var(k, w);
    default: break;
    }
    if (k->typ != OPER || stapel_knapp()) return false;
    switch (k->schnell) {
    case S_PLUS: return rein_plus(k, w);
    case S_MAL: return rein_mal(k, w);
    case S_ORDNE: return rein_ordne(k, w);
    case S_GLEICH: return rein_gleich(k, w, false);
    case S_UNGLEICH: return rein_gleich(k, w, true);
    case S_LOGIK: return rein_logik(k, w);
    case S_NICHT:
        if (!rein(k->rarg, w) || !ganz_oder_wahr(w)) return false;
        return wahr(w, w.z == 0);
    case S_INDEX: return rein_index(k, w);
    default: return false;
    }
}

// Wie var_lesen: V_BOOL liest sich als IZAHL.
bool Orvu::rein_var(const Term* k, Klein& w) {
    const Var* v = var_still(k);
    if (!v) return false;
    switch (v->typ) {
    case V_IZAHL: case V_BOOL:
        w.typ = IZAHL;
        w.z = v->izahl;
        return true;
    case V_RZAHL:
        w.typ = RZAHL;
        w.z = v->rzahl.zaehler;
        w.n = v->rzahl.nenner;
        return true;
    default:
        return false;
    }
}

// + und - wie plus und plus_zahlen: ohne linken Operanden zaehlt er als 0.
bool Orvu::rein_plus(Term* k, Klein& w) {
    Klein L, R;
    if (!rein(k->rarg, R)) return false;
    if (k->larg) {
        if (!rein(k->larg, L)) return false;
    } else {
        L.typ = IZAHL;
    }
    if (k->izahl == 1) {
        if (R.typ == IZAHL) R.z = wrap_neg(R.z);
        else if (R.typ == RZAHL) R.z = wrap_neg(R.z);
    }
    int64_t t1, t2, t3, t4;
    if (L.typ == IZAHL && R.typ == IZAHL) {
        if (!plus_ok(L.z, R.z, t1)) return false;
        w.typ = IZAHL;
        w.z = t1;
        return true;
    }
    if (L.typ == IZAHL && R.typ == RZAHL) {
        if (!mal_ok(L.z, R.n, t1) || !plus_ok(t1, R.z, t2)) return false;
        return bruch(w, t2, R.n);
    }
    if (L.typ == RZAHL && R.typ == IZAHL) {
        if (!mal_ok(R.z, L.n, t1) || !plus_ok(L.z, t1, t2)) return false;
        return bruch(w, t2, L.n);
    }
    if (L.typ == RZAHL && R.typ == RZAHL) {
        if (!mal_ok(L.z, R.n, t1) || !mal_ok(R.z, L.n, t2) || !plus_ok(t1, t2, t3) ||
            !mal_ok(L.n, R.n, t4))
            return false;
        return bruch(w, t3, t4);
    }
    return false;
}

// * und / wie mal: "/" nimmt den Kehrwert des rechten Operanden (ungekuerzt).
bool Orvu::rein_mal(Term* k, Klein& w) {
    Klein L, R;
    if (!rein(k->larg, L) || !rein(k->rarg, R)) return false;
    if (k->izahl == 1) {
        if (ganz_oder_wahr(R)) {
            if (R.z == 0) return false;
            R.n = R.z;
            R.z = 1;
            R.typ = RZAHL;
        } else {
            if (R.z == 0) return false;
            std::swap(R.z, R.n);
        }
    }
    const bool lg = ganz_oder_wahr(L), rg = ganz_oder_wahr(R);
    if (lg && rg) {
        int64_t p;
        if (!mal_ok(L.z, R.z, p)) return false;
        w.typ = IZAHL;
        w.z = p;
        return true;
    }
    if (lg) return bruch(w, wrap_mul(L.z, R.z), R.n);
    if (R.typ == BOOL) return false;  // Bruch mal BOOL kennt der Handler nicht
    if (rg) return bruch(w, wrap_mul(L.z, R.z), L.n);
    return bruch(w, wrap_mul(L.z, R.z), wrap_mul(L.n, R.n));
}

// < <= > >= wie die Ordnungstabelle: BOOL hat dort keinen Platz.
bool Orvu::rein_ordne(Term* k, Klein& w) {
    Klein L, R;
    if (!rein(k->larg, L) || !rein(k->rarg, R)) return false;
    if (L.typ == BOOL || R.typ == BOOL) return false;
    int c;
    if (L.typ == IZAHL && R.typ == IZAHL) c = drei(L.z, R.z);
    else if (L.typ == IZAHL) c = drei(wrap_mul(L.z, R.n), R.z);
    else if (R.typ == IZAHL) c = drei(L.z, wrap_mul(R.z, L.n));
    else c = drei(wrap_mul(L.z, R.n), wrap_mul(R.z, L.n));
    const Handler h = k->handler;
    if (h == &Orvu::kleiner) return wahr(w, c < 0);
    if (h == &Orvu::kl_gl) return wahr(w, c <= 0);
    if (h == &Orvu::groesser) return wahr(w, c > 0);
    return wahr(w, c >= 0);
}

// == (BOOL und ganze Brueche zaehlen als IZAHL) und != (nur ganze Zahlen und ganze Brueche
// gegen ganze Zahlen); gemischte Faelle nimmt der Handler.
bool Orvu::rein_gleich(Term* k, Klein& w, bool ungleich) {
    Klein L, R;
    if (!rein(k->larg, L) || !rein(k->rarg, R)) return false;
    if (!ungleich) {
        for (Klein* x : {&L, &R})
            if (x->typ == BOOL || (x->typ == RZAHL && x->n == 1)) x->typ = IZAHL;
        if (L.typ != R.typ) return false;
        return wahr(w, L.z == R.z && (L.typ == IZAHL || L.n == R.n));
    }
    if (L.typ == BOOL || R.typ == BOOL || (L.typ == RZAHL && R.typ == RZAHL)) return false;
    if (L.typ == IZAHL && R.typ == IZAHL) return wahr(w, L.z != R.z);
    if (L.typ == IZAHL) return wahr(w, !(R.n == 1 && R.z == L.z));
    return wahr(w, !(L.n == 1 && L.z == R.z));
}

// && und || mit Kurzschluss wie logik.
bool Orvu::rein_logik(Term* k, Klein& w) {
    const bool und_ = k->handler == &Orvu::und;
    Klein L, R;
    if (!rein(k->larg, L) || !ganz_oder_wahr(L)) return false;
    if (und_ ? L.z == 0 : L.z != 0) return wahr(w, !und_);
    if (!rein(k->rarg, R) || !ganz_oder_wahr(R)) return false;
    return wahr(w, R.z != 0);
}

// Element eines Ivector: der Index muss IZAHL sein und im Vektor liegen.
bool Orvu::rein_index(Term* k, Klein& w) {
    const int64_t* p = ivektor_platz(k);
    if (!p) return false;
    w.typ = IZAHL;
    w.z = *p;
    return true;
}

// Platz des Elements v[i] einer Ivector-Variablen; nullptr, wenn es ihn nicht gibt.
int64_t* Orvu::ivektor_platz(Term* indi) {
    const Var* v = var_still(indi->larg);
    if (!v || v->typ != V_IVECTOR) return nullptr;
    Klein ix;
    if (!rein(indi->rarg, ix) || ix.typ != IZAHL) return nullptr;
    if (ix.z < 0 || static_cast<uint64_t>(ix.z) >= v->ivector->size()) return nullptr;
    return &(*v->ivector)[static_cast<size_t>(ix.z)];
}

// ---------------------------------------------------------------- Anweisungen mit Wirkung

void Orvu::klein_in_var(const Klein& w, Var& v) {
    if (w.typ == RZAHL) {
        v.typ = V_RZAHL;
        v.rzahl = Bruch(w.z, w.n);
    } else {
        v.typ = w.typ == BOOL ? V_BOOL : V_IZAHL;
        v.izahl = w.z;
    }
}

bool Orvu::wirkung(Term* k) {
    if (!k) return false;
    if (k->schnell == S_NEU) k->schnell = einordnen(k);
    switch (k->schnell) {
    case S_NEIN: return false;
    case S_ZUW: return k->typ == OPER && wirk_zuweisung(k);
    case S_ZUW_ELEM: return k->typ == OPER && wirk_element(k);
    case S_INCR: return k->typ == OPER && wirk_incr(k);
    default: {
        Klein w;
        return rein(k, w);
    }
    }
}

// x = w, x += w, x -= w auf eine Variable ohne Vektor (wie zuweisung und compound).
bool Orvu::wirk_zuweisung(Term* k) {
    Klein w;
    if (!rein(k->rarg, w)) return false;
    Var* v = var_still(k->larg);
    if (!v || v->hat_vektor()) return false;
    if (k->izahl == 0) {
        klein_in_var(w, *v);
        return true;
    }
    const bool minus = k->izahl == 3;
    if (v->typ == V_IZAHL && ganz_oder_wahr(w)) {
        v->izahl = wrap_add(v->izahl, minus ? wrap_neg(w.z) : w.z);
        return true;
    }
    if (v->typ == V_RZAHL) {
        const Bruch b = w.typ == RZAHL ? Bruch(w.z, w.n) : Bruch(w.z, 1);
        v->rzahl = minus ? v->rzahl - b : v->rzahl + b;
        return true;
    }
    return false;
}

// v[i] = w, v[i] += w, v[i] -= w auf einen Ivector (wie element_zuweisung).
bool Orvu::wirk_element(Term* k) {
    Klein w;
    if (!rein(k->rarg, w) || w.typ != IZAHL) return false;
    int64_t* p = ivektor_platz(k->larg);
    if (!p) return false;
    if (k->izahl == 0) *p = w.z;
    else *p = wrap_add(*p, k->izahl == 3 ? wrap_neg(w.z) : w.z);
    return true;
}

// ++ und -- auf eine ganzzahlige Variable oder ein Ivector-Element (wie incr).
bool Orvu::wirk_incr(Term* k) {
    Term* op = k->larg ? k->larg : k->rarg;
    int64_t* ziel;
    if (op->typ == VARREF) {
        Var* v = var_still(op);
        if (!v || v->typ != V_IZAHL) return false;
        ziel = &v->izahl;
    } else {
        ziel = ivektor_platz(op);
        if (!ziel) return false;
    }
    *ziel = wrap_add(*ziel, k->izahl == 1 ? -1 : 1);
    return true;
}
