// SPDX-License-Identifier: MIT
// Operatoren: Zuweisung und Indizierung, + - * / und add, Ueberlaufpruefung, Zahlumwandlung.
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

#include "ganzzahl.h"
#include "orvu.h"
#include "up.h"

namespace {
using O = Orvu;

// Double -> 64-Bit-Ganzzahl, abgeschnitten; ausserhalb des Bereichs begrenzt, NaN -> 0.
int64_t abschneiden(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 9223372036854775808.0) return LLONG_MAX;
    if (x < -9223372036854775808.0) return LLONG_MIN;
    return static_cast<int64_t>(x);
}

// Double -> Bruch: exakt, wenn Zaehler und Nenner in 64 Bit passen, sonst der naechste
// Kettenbruch-Naeherungswert mit passenden Zahlen.
Bruch als_bruch(double x) {
    if (!std::isfinite(x)) return Bruch(x > 0 ? 1 : x < 0 ? -1 : 0, 0);
    int e;
    double m = std::frexp(x, &e);  // x = m * 2^e, 0.5 <= |m| < 1
    int64_t z = static_cast<int64_t>(std::ldexp(m, 53));
    e -= 53;
    while (e < 0 && z % 2 == 0) {
        z /= 2;
        ++e;
    }
    if (e >= 0 && e < 63 && std::fabs(x) < 9.2e18) return Bruch(abschneiden(x), 1);
    if (e < 0 && e > -63) {
        Bruch b(z, int64_t{1} << -e);
        b.kuerze();
        return b;
    }
    // Kettenbruch mit begrenzten Gliedern.
    double r = std::fabs(x);
    long double p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    for (int i = 0; i < 64; ++i) {
        long double a = std::floor(r);
        long double p2 = a * p1 + p0, q2 = a * q1 + q0;
        if (p2 > 9.2e18L || q2 > 9.2e18L) break;
        p0 = p1; q0 = q1; p1 = p2; q1 = q2;
        if (r - a < 1e-300) break;
        r = 1 / (r - a);
    }
    if (q1 == 0) return Bruch(x > 0 ? LLONG_MAX : LLONG_MIN, 1);
    Bruch b(static_cast<int64_t>(p1) * (x < 0 ? -1 : 1), static_cast<int64_t>(q1));
    b.kuerze();
    return b;
}
}  // namespace

// ---------------------------------------------------------------- Zahlen

int Orvu::plus_mitpruef(long long a, long long b, long long* aus) {
    if ((b > 0 && a > LLONG_MAX - b) || (b < 0 && a < LLONG_MIN - b)) {
        meld(401) << " UEBERLAUF BEI PLUS " << a << " + " << b << "\n";
        *aus = LLONG_MAX;
        return 1;
    }
    *aus = a + b;
    return 0;
}

int Orvu::mal_mitpruef(long long a, long long b, long long* aus) {
    long long p;
    if (a == 0 || b == 0) {
        *aus = 0;
        return 0;
    }
    // Ein Produkt von genau LLONG_MIN gilt ebenfalls als Ueberlauf.
    if (__builtin_mul_overflow(a, b, &p) || p == LLONG_MIN) {
        meld(402) << " UEBERLAUF BEI MAL " << a << " * " << b << "\n";
        *aus = LLONG_MAX;
        return 1;
    }
    *aus = p;
    return 0;
}

void Orvu::kuerze(Bruch* b) { b->kuerze(); }

long long Orvu::Ggt(long long a, long long b) { return Bruch::ggt(a, b); }

void Orvu::to_izahl(Term* t) {
    switch (t->typ) {
    case RZAHL:
        t->izahl = abschneiden(static_cast<double>(t->rzahl.zaehler) /
                               static_cast<double>(t->rzahl.nenner));
        break;
    case FZAHL: t->izahl = abschneiden(t->fzahl); break;
    case BYTE: t->izahl = t->byte; break;
    default: break;
    }
    t->typ = IZAHL;
}

void Orvu::to_rzahl(Term* t) {
    switch (t->typ) {
    case IZAHL: case BOOL: t->rzahl = Bruch(t->izahl, 1); break;
    case BYTE: t->rzahl = Bruch(t->byte, 1); break;
    case FZAHL: t->rzahl = als_bruch(t->fzahl); break;
    default: break;
    }
    t->typ = RZAHL;
}

void Orvu::to_fzahl(Term* t) {
    switch (t->typ) {
    case IZAHL: case BOOL: t->fzahl = static_cast<double>(t->izahl); break;
    case BYTE: t->fzahl = t->byte; break;
    case RZAHL:
        t->fzahl = static_cast<double>(t->rzahl.zaehler) / static_cast<double>(t->rzahl.nenner);
        break;
    default: break;
    }
    t->typ = FZAHL;
}

// ---------------------------------------------------------------- + und -

namespace {
// Zahl oder Text fuer die Textverkettung; false fuer Typen, die nicht geschrieben werden.
bool verketten(std::string& s, const O::Term& t, bool byte_negiert) {
    switch (t.typ) {
    case O::IZAHL: O::zahl_text(s, t.izahl); return true;
    case O::FZAHL: O::fzahl_text(s, t.fzahl); return true;
    case O::RZAHL: t.rzahl.schreibe(s); return true;
    case O::BYTE:
        s.push_back(static_cast<char>(byte_negiert ? (256 - t.byte) % 256 : t.byte));
        return true;
    case O::TEXT: s += t.text; return true;
    case O::TEXTPTR: s += *t.textptr; return true;
    default: return false;
    }
}

void als_text(O::Term* erg, std::string&& s) {
    size_t nul = s.find('\0');
    if (nul != std::string::npos) s.resize(nul);  // Ergebnis endet vor dem ersten NUL
    erg->typ = O::TEXT;
    erg->text = std::move(s);
}
}  // namespace

// Bruch p/q + Zahl mit geprueften Schritten; false nach Ueberlauf (schon gemeldet).
bool Orvu::bruch_plus(const Bruch& a, const Term& r, Bruch& ergebnis) {
    long long t1, t2, t3, t4;
    if (r.typ == IZAHL) {
        if (mal_mitpruef(r.izahl, a.nenner, &t1) || plus_mitpruef(a.zaehler, t1, &t2))
            return false;
        ergebnis = Bruch(t2, a.nenner);
    } else {
        const Bruch& b = r.rzahl;
        if (mal_mitpruef(a.zaehler, b.nenner, &t1) || mal_mitpruef(b.zaehler, a.nenner, &t2) ||
            plus_mitpruef(t1, t2, &t3) || mal_mitpruef(a.nenner, b.nenner, &t4))
            return false;
        ergebnis = Bruch(t3, t4);
    }
    kuerze(&ergebnis);
    return true;
}

int Orvu::plus(Term* l, Term* r, Term* erg) {
    const bool minus = erg->izahl == 1;
    if (!r) {
        meld(413) << "rechtsoperand fehlt bei plus\n";
        return 1;
    }
    int64_t a = 0, b;
    if ((!l || ganz(l, a)) && ganz(r, b)) {  // zwei ganze Zahlen: ohne Zwischenwerte
        long long s;
        plus_mitpruef(a, minus ? wrap_neg(b) : b, &s);
        return setze_izahl(erg, s);
    }
    Term R;
    if (wert(r, &R)) return 1;
    if (minus) {
        if (R.typ == IZAHL) R.izahl = wrap_neg(R.izahl);
        else if (R.typ == RZAHL) R.rzahl.zaehler = wrap_neg(R.rzahl.zaehler);
        else if (R.typ == FZAHL) R.fzahl = -R.fzahl;
    }
    Term L;
    if (l) {
        if (wert(l, &L)) return 1;
    } else {
        if (ist_text(R) || R.typ == BYTE) {
            meld(414) << "Text mit Praefix plusoperator\n";
            return 1;
        }
        L.typ = IZAHL;
    }
    if (ist_text(L)) {
        if (ist_text(R) && zu_lang(text_von(L).size() + text_von(R).size())) return 1;
        std::string s = text_von(L);
        if (!verketten(s, R, minus)) {
            meld(415) << "rechtsoperand fehlt bei plus\n";
            return 1;
        }
        als_text(erg, std::move(s));
        return 0;
    }
    if (ist_text(R)) {
        if (L.typ != IZAHL && L.typ != FZAHL && L.typ != RZAHL && L.typ != BYTE) {
            meld(416) << "linksoperand bei plus hat typ " << L.typ << "\n";
            return 1;
        }
        if (zu_lang(text_von(R).size() + 32)) return 1;
        std::string s;
        verketten(s, L, false);
        s += text_von(R);
        als_text(erg, std::move(s));
        return 0;
    }
    return plus_zahlen(l, L, R, minus, erg);
}

// Die Zahlentabelle von + und - (R ist bei - schon negiert, ausser BYTE).
int Orvu::plus_zahlen(Term* l, Term& L, Term& R, bool minus, Term* erg) {
    auto ueberlauf = [&] {
        return setze_izahl(erg, LLONG_MAX);
    };
    const int64_t b = minus ? -static_cast<int64_t>(R.byte) : R.byte;
    switch (L.typ) {
    case IZAHL:
        switch (R.typ) {
        case IZAHL: {
            long long s;
            plus_mitpruef(L.izahl, R.izahl, &s);
            return setze_izahl(erg, s);
        }
        case RZAHL: {
            long long kd, z;
            if (mal_mitpruef(L.izahl, R.rzahl.nenner, &kd) ||
                plus_mitpruef(kd, R.rzahl.zaehler, &z))
                return ueberlauf();
            erg->typ = RZAHL;
            erg->rzahl = Bruch(z, R.rzahl.nenner);
            kuerze(&erg->rzahl);
            return 0;
        }
        case FZAHL: erg->typ = FZAHL; erg->fzahl = static_cast<double>(L.izahl) + R.fzahl; return 0;
        case BYTE: erg->typ = IZAHL; erg->izahl = wrap_add(L.izahl, b); return 0;
        default: break;
        }
        break;
    case RZAHL:
        if (R.typ == IZAHL || R.typ == RZAHL) {
            if (!bruch_plus(L.rzahl, R, erg->rzahl)) return ueberlauf();
            erg->typ = RZAHL;
            return 0;
        }
        if (R.typ == FZAHL) {
            erg->typ = FZAHL;
            erg->fzahl = static_cast<double>(L.rzahl.zaehler) /
                             static_cast<double>(L.rzahl.nenner) + R.fzahl;
            return 0;
        }
        break;
    case FZAHL:
        erg->typ = FZAHL;
        if (R.typ == IZAHL) erg->fzahl = L.fzahl + static_cast<double>(R.izahl);
        else if (R.typ == RZAHL)
            erg->fzahl = static_cast<double>(R.rzahl.zaehler) /
                             static_cast<double>(R.rzahl.nenner) + L.fzahl;
        else if (R.typ == FZAHL) erg->fzahl = L.fzahl + R.fzahl;
        else break;
        return 0;
    case BYTE:
        if (R.typ == IZAHL || R.typ == BYTE) {
            return setze_izahl(erg, wrap_add(L.byte, R.typ == IZAHL ? R.izahl : b));
        }
        break;
    default:
        meld(411) << " operanden fehler bei plus " << l->typ << "\n";
        return 1;
    }
    erg->typ = NONE;
    meld(412) << " operanden fehler bei plus \n";
    return 1;
}

// ---------------------------------------------------------------- * und /

// Kehrwert des rechten Operanden von "/"; false nach Division durch NULL.
bool Orvu::kehrwert(Term& R) {
    if (R.typ == IZAHL || R.typ == BOOL) {
        if (R.izahl == 0) return false;
        R.rzahl = Bruch(1, R.izahl);
        R.typ = RZAHL;
    } else if (R.typ == RZAHL) {
        if (R.rzahl.zaehler == 0) return false;
        R.rzahl = Bruch(R.rzahl.nenner, R.rzahl.zaehler);
    } else if (R.typ == FZAHL) {
        R.fzahl = 1.0 / R.fzahl;
    }
    return true;
}

int Orvu::mal(Term* l, Term* r, Term* erg) {
    const bool durch = erg->izahl == 1;
    if (beide(l, r, 421, " rechtsoperand fehler bei mal \n")) return 1;
    int64_t a, b;
    if (!durch && ganz(l, a) && ganz(r, b)) {  // Produkt zweier ganzer Zahlen
        long long p;
        mal_mitpruef(a, b, &p);
        return setze_izahl(erg, p);
    }
    Term L, R;
    if (wert(l, &L) || wert(r, &R)) return 1;
    if (durch && !kehrwert(R)) {
        meld(422) << " Division durch NULL\n";
        return setze_izahl(erg, LLONG_MAX);
    }
    auto fehler_stern = [&] {
        meld(423) << " operanden fehler bei *\n";
        return 1;
    };
    auto bruch = [&](int64_t z, int64_t n) {
        erg->typ = RZAHL;
        erg->rzahl = Bruch(z, n);
        kuerze(&erg->rzahl);
        return 0;
    };
    switch (L.typ) {
    case IZAHL: case BOOL:
        if (R.typ == IZAHL || R.typ == BOOL) {
            long long p;
            mal_mitpruef(L.izahl, R.izahl, &p);
            return setze_izahl(erg, p);
        }
        if (R.typ == RZAHL) return bruch(wrap_mul(L.izahl, R.rzahl.zaehler), R.rzahl.nenner);
        if (R.typ == FZAHL) {
            return setze_fzahl(erg, static_cast<double>(L.izahl) * R.fzahl);
        }
        return fehler_stern();
    case RZAHL:
        if (R.typ == IZAHL) return bruch(wrap_mul(L.rzahl.zaehler, R.izahl), L.rzahl.nenner);
        if (R.typ == RZAHL)
            return bruch(wrap_mul(L.rzahl.zaehler, R.rzahl.zaehler),
                         wrap_mul(L.rzahl.nenner, R.rzahl.nenner));
        if (R.typ == FZAHL) {
            erg->typ = FZAHL;
            erg->fzahl = static_cast<double>(L.rzahl.zaehler) /
                         static_cast<double>(L.rzahl.nenner) * R.fzahl;
            return 0;
        }
        return fehler_stern();
    case FZAHL:
        erg->typ = FZAHL;
        if (R.typ == IZAHL) {
            erg->fzahl = static_cast<double>(R.izahl) * L.fzahl;
        } else if (R.typ == RZAHL) {
            erg->fzahl = static_cast<double>(R.rzahl.zaehler) * L.fzahl /
                         static_cast<double>(R.rzahl.nenner);
        } else if (R.typ == FZAHL) {
            erg->fzahl = L.fzahl * R.fzahl;
            if (std::isinf(erg->fzahl)) {
                std::string s;
                fzahl_text(s, L.fzahl);
                s += '*';
                fzahl_text(s, R.fzahl);
                meld(424) << " operanden fehler bei " << s << "\n";
                erg->fzahl = DBL_MAX;
            }
        } else {
            erg->typ = NONE;
            return fehler_stern();
        }
        return 0;
    default:
        meld(425) << " operanden fehler bei mal\n";
        return 1;
    }
}

// add(a, b, ...): Summe der ganzzahligen Elemente, andere werden uebergangen.
int Orvu::add(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(431) << " operanden fehler bei add \n";
        return 1;
    }
    int64_t summe = 0;
    auto element = [&](Term& e) {
        if (e.typ == OPER || e.typ == VARREF) {
            Term w;
            if (wert(&e, &w)) {
                meld(432) << "\n";
                return 1;
            }
            if (w.typ == IZAHL) summe = wrap_add(summe, w.izahl);
        } else if (e.typ == IZAHL) {
            summe = wrap_add(summe, e.izahl);
        }
        return 0;
    };
    if (r && r->typ == TERMLIST) {
        for (Term& e : *r->termlist)
            if (element(e)) return 1;
    } else if (r && element(*r)) {
        return 1;
    }
    return setze_izahl(erg, summe);
}

// ---------------------------------------------------------------- Indizierung

int Orvu::indizierung(Term* l, Term* r, Term* erg) {
    Term L, R;
    if (!l || wert(l, &L)) {
        meld(441) << " larg kein wert " << L.typ << "\n";
        return 1;
    }
    if (!r || wert(r, &R) || R.typ != IZAHL) {
        meld(442) << " rarg kein wert " << R.typ << "\n";
        return 1;
    }
    const int64_t i = R.izahl;
    auto ausserhalb = [&](size_t n) {
        if (i >= 0 && static_cast<uint64_t>(i) < n) return false;
        meld(443) << " indexfehler " << i << " >= " << n << "\n";
        return true;
    };
    const size_t k = static_cast<size_t>(i);
    switch (L.typ) {
    case TEXT:
        if (i < 0 || static_cast<uint64_t>(i) >= L.text.size()) {
            meld(444) << " indexfehler " << i << " " << L.text << "\n";
            return 1;
        }
        erg->typ = BYTE;
        erg->byte = static_cast<uint8_t>(L.text[k]);
        erg->izahl = erg->byte;
        return 0;
    case TEXTPTR:
        if (i < 0 || static_cast<uint64_t>(i) >= L.textptr->size()) {
            meld(445) << " indexfehler2\n";
            return 1;
        }
        erg->typ = BYTE;
        erg->byte = static_cast<uint8_t>((*L.textptr)[k]);
        erg->izahl = erg->byte;
        return 0;
    case BVECTOR:
        if (ausserhalb(L.bvector->size())) return 1;
        erg->typ = BYTE;
        erg->byte = (*L.bvector)[k];
        erg->izahl = erg->byte;
        return 0;
    case IVECTOR:
        if (ausserhalb(L.ivector->size())) return 1;
        return setze_izahl(erg, (*L.ivector)[k]);
    case RVECTOR:
        if (ausserhalb(L.rvector->size())) return 1;
        return setze_rzahl(erg, (*L.rvector)[k]);
    case FVECTOR:
        if (ausserhalb(L.fvector->size())) return 1;
        return setze_fzahl(erg, (*L.fvector)[k]);
    case SVECTOR:
        if (ausserhalb(L.svector->size())) return 1;
        return setze_text(erg, (*L.svector)[k]);
    case TERMLIST: {
        if (ausserhalb(L.termlist->size())) return 1;
        Term w;
        if (wert(&(*L.termlist)[k], &w)) return 1;
        if (w.typ != IZAHL && w.typ != BOOL && w.typ != FZAHL && w.typ != TEXT &&
            w.typ != TERMLIST) {
            meld(446) << " larg kein wert " << TERMLIST << "\n";
            return 1;
        }
        *erg = std::move(w);
        return 0;
    }
    default:
        meld(447) << " larg keine variable " << L.typ << "\n";
        return 1;
    }
}

// ---------------------------------------------------------------- Zuweisung

int Orvu::zuweisung(Term* l, Term* r, Term* erg) {
    const int op = static_cast<int>(erg->izahl);
    if (!l || !r) {
        meld(451) << "Zuweisung benoetigt 2 Operanden\n";
        return 1;
    }
    // "+=" und "-=" ausser auf "$", "$$", "POS" und den Satzvariablen: kurzer Weg fuer Ganzzahlen
    if (op != 0 && l->typ == VARREF && (l->lokal || l->izahl > V_POS) && ganze_summe(l, r, op)) {
        erg->typ = IZAHL;
        erg->izahl = 0;
        return 0;
    }
    Term w;
    if (wert(r, &w)) {
        meld(452) << " zuweisungslieferant fehler\n";
        return 1;
    }
    // "+=", "-=" auf eine Gleislage (Fvector mit 3 Elementen) legen ein Gleisstueck; die
    // Vorpruefung haelt den Haken aus dem Weg jeder anderen Zuweisung.
    if (op >= 2 && l->typ == VARREF) {
        const Var* v = var_still(l);
        if (v && v->typ == V_FVECTOR)
            if (const int g = gleis_haken(l, w, op); g >= 0) return g;
    }
    if (l->typ == OPER && l->handler == &Orvu::indizierung) return element_zuweisung(l, w, op);
    if (l->typ != VARREF) {
        meld(453) << " Linksoperand von Zuweisung ist keine Variable " << l->typ << "\n";
        return 1;
    }
    if (!l->lokal && (l->izahl == V_DOLLAR || l->izahl == V_DOLLAR2 || l->izahl == V_POS))
        return besondere_zuweisung(l->izahl, w);
    Var* v = variable(l);
    if (!v) return 1;
    if (v->hat_vektor()) {
        meld(454) << " var " << v->name << " vor erneutem Allokieren loeschen \n";
        return 1;
    }
    if (op != 0) {
        if (compound(*v, w, op == 3)) return 1;
    } else if (var_aus_wert(w, *v, true)) {
        meld(462) << " fehler " << w.typ << "\n";
        return 1;
    }
    erg->typ = IZAHL;
    erg->izahl = 0;
    return 0;
}

// Zuweisung an "$" (Ausgabe), "$$" (Fehlerstrom) oder "POS" (Eingabe positionieren);
// es wird nichts gespeichert, das Ergebnis bleibt NONE.
int Orvu::besondere_zuweisung(int64_t index, Term& w) {
    if (index == V_POS) return pos_zuweisung(w);
    if (index == V_DOLLAR2) {
        std::string s;
        int rc = ausgabe_text(w, s, true);
        *fehler << s;
        return rc;
    }
    // Der Puffer wird ausgeliehen: ein "$" in einem Aufruf waehrend des
    // Zusammensetzens bekommt so seinen eigenen.
    std::string s;
    s.swap(ausgabe);
    s.clear();
    int rc = ausgabe_text(w, s, false) || schreibe_aus(s);
    ausgabe.swap(s);
    return rc;
}

// Kurzer Weg fuer "+=" und "-=" einer ganzen Zahl auf eine ganzzahlige Variable ohne
// Vektor; false, wenn der allgemeine Weg gebraucht wird (dann ist nichts geschehen).
bool Orvu::ganze_summe(Term* l, Term* r, int op) {
    int64_t z;
    if (!ganz(r, z)) return false;
    Var* v = var_still(l);
    if (!v || v->typ != V_IZAHL || v->hat_vektor()) return false;
    v->izahl = wrap_add(v->izahl, op == 3 ? wrap_neg(z) : z);
    return true;
}

// "+=" und "-=" auf einer Variablen.
int Orvu::compound(Var& v, Term& w, bool minus) {
    switch (v.typ) {
    case V_IZAHL:
        to_izahl(&w);
        v.izahl = wrap_add(v.izahl, minus ? wrap_neg(w.izahl) : w.izahl);
        return 0;
    case V_FZAHL:
        to_fzahl(&w);
        v.fzahl += minus ? -w.fzahl : w.fzahl;
        return 0;
    case V_RZAHL:
        to_rzahl(&w);
        v.rzahl = minus ? v.rzahl - w.rzahl : v.rzahl + w.rzahl;
        return 0;
    default:
        meld(461) << " plusgleich nur mit I- oder FZAHL \n";
        return 1;
    }
}

// Wert -> Variable: der Var-Code folgt dem Werttyp; Vektoren und Termlisten werden
// geteilt. Zeiger und Objekte nur bei der Zuweisung (mit_zeigern), nicht als Argument.
// 1, wenn der Typ sich nicht speichern laesst (ohne Meldung).
int Orvu::var_aus_wert(Term& w, Var& v, bool mit_zeigern) {
    switch (w.typ) {
    case IZAHL: v.typ = V_IZAHL; v.izahl = w.izahl; return 0;
    case RZAHL: v.typ = V_RZAHL; v.rzahl = w.rzahl; return 0;
    case FZAHL: v.typ = V_FZAHL; v.fzahl = w.fzahl; return 0;
    case BOOL: v.typ = V_BOOL; v.izahl = w.izahl; return 0;
    case BYTE: v.typ = V_BYTE; v.byte = w.byte; return 0;
    case TEXT: v.typ = V_TEXT; v.text = std::move(w.text); return 0;
    case BVECTOR: v.typ = V_BVECTOR; v.bvector = w.bvector; return 0;
    case IVECTOR: v.typ = V_IVECTOR; v.ivector = w.ivector; return 0;
    case RVECTOR: v.typ = V_RVECTOR; v.rvector = w.rvector; return 0;
    case FVECTOR: v.typ = V_FVECTOR; v.fvector = w.fvector; return 0;
    case SVECTOR: v.typ = V_SVECTOR; v.svector = w.svector; return 0;
    case TERMLIST: v.typ = V_TERMLIST; v.termlist = w.termlist; return 0;
    default: break;
    }
    if (!mit_zeigern) return 1;
    switch (w.typ) {
    case IZAHLPTR: v.typ = V_IZAHLPTR; v.izahlptr = w.izahlptr; return 0;
    case TEXTPTR: v.typ = V_TEXTPTR; v.textptr = w.textptr; return 0;
    case NLOBJ: v.typ = V_NL; v.objekt = w.objekt; return 0;
    case VEKOOBJ: v.typ = V_VEKO; v.objekt = w.objekt; return 0;
    case RDIROBJ: v.typ = V_RDIR; v.objekt = w.objekt; return 0;
    default: return 1;
    }
}

// POS = n: Eingabe auf Byte n setzen und die Zeile dort nach "&" lesen.
int Orvu::pos_zuweisung(Term& w) {
    Var& pos = var[V_POS];
    if (w.typ == RZAHL || w.typ == FZAHL || w.typ == BYTE) to_izahl(&w);
    if (w.typ != IZAHL && w.typ != BOOL) {
        meld(471) << " POS braucht eine ganze Zahl, nicht typ " << w.typ << "\n";
        return 1;
    }
    pos.typ = V_IZAHL;
    pos.izahl = w.izahl;
    if (!leser || leser->seek(w.izahl)) {
        meld(472) << " zuweisung fseek fehler\n";
        return 1;
    }
    Var& rec = var[V_REC];
    if (leser->zeile(rec.text)) {
        meld(473) << " pos auf dateiende\n";
        return 1;
    }
    rec.typ = V_TEXT;
    return 0;
}

// Element einer Text- oder Vektorvariablen zuweisen: x[i] = w, x[i] += w, x[i] -= w.
int Orvu::element_zuweisung(Term* indi, Term& w, int op) {
    Term ix;
    if (wert(indi->rarg, &ix)) {
        meld(481) << " index fehler\n";
        return 1;
    }
    if (ix.typ == BYTE) {
        ix.typ = IZAHL;
        ix.izahl = ix.byte;
    }
    if (ix.typ != IZAHL) {
        meld(482) << " index keine ganzzahl \n";
        return 1;
    }
    if (!indi->larg || indi->larg->typ != VARREF) {
        meld(483) << "larg von indi muss var sein\n";
        return 1;
    }
    Var* v = variable(indi->larg);
    if (!v) return 1;
    const int64_t i = ix.izahl;
    auto falsch = [&] {
        meld(484) << " falscher lieferantentyp \n";
        return 1;
    };
    auto ausserhalb = [&](size_t n) {
        if (i >= 0 && static_cast<uint64_t>(i) < n) return false;
        meld(485) << " " << i << " index>len \n";
        return true;
    };
    const bool zahl = w.typ == IZAHL || w.typ == RZAHL || w.typ == FZAHL;
    const size_t k = static_cast<size_t>(i);
    switch (v->typ) {
    case V_TEXT: case V_TEXTPTR: {
        std::string& s = v->typ == V_TEXT ? v->text : *v->textptr;
        uint8_t b;
        if (w.typ == BYTE) b = w.byte;
        else if (w.typ == TEXT) b = w.text.empty() ? 0 : static_cast<uint8_t>(w.text[0]);
        else if (w.typ == IZAHL && v->typ == V_TEXT) b = static_cast<uint8_t>(w.izahl);
        else return falsch();
        if (ausserhalb(s.size())) return 1;
        s[k] = static_cast<char>(b);
        break;
    }
    case V_BVECTOR: case V_IVECTOR: {
        if (!zahl) return falsch();
        to_izahl(&w);
        if (ausserhalb(v->typ == V_BVECTOR ? v->bvector->size() : v->ivector->size())) return 1;
        int64_t alt = v->typ == V_BVECTOR ? (*v->bvector)[k] : (*v->ivector)[k];
        int64_t neu = op == 0 ? w.izahl : wrap_add(alt, op == 3 ? wrap_neg(w.izahl) : w.izahl);
        if (v->typ == V_BVECTOR) (*v->bvector)[k] = static_cast<uint8_t>(neu);
        else (*v->ivector)[k] = neu;
        break;
    }
    case V_FVECTOR:
        if (!zahl) return falsch();
        to_fzahl(&w);
        if (i < 0 || static_cast<uint64_t>(i) >= v->fvector->size()) {
            meld(486) << " index fehler " << v->name << " Var " << v->fvector->size() << " <= "
                      << i << "\n";
            return 1;
        }
        if (op == 0) (*v->fvector)[k] = w.fzahl;
        else (*v->fvector)[k] += op == 3 ? -w.fzahl : w.fzahl;
        break;
    case V_RVECTOR:
        if (!zahl) return falsch();
        to_rzahl(&w);
        if (ausserhalb(v->rvector->size())) return 1;
        if (op != 0) {
            meld(487) << "noch nicht kodiert\n";
            return 1;
        }
        (*v->rvector)[k] = w.rzahl;
        break;
    case V_SVECTOR:
        if (w.typ != TEXT) return falsch();
        if (ausserhalb(v->svector->size())) return 1;
        (*v->svector)[k] = std::move(w.text);
        break;
    default:
        meld(488) << " larg von indexierung kein vektor " << v->typ << "\n";
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- Ausgabe "$" und "$$"

// Ausgabetext eines Werts anhaengen. fk: fuer "$$" (andere Fehlerfaelle); dann ist der
// bis zum Fehler zusammengesetzte Text schon Teil der Ausgabe.
int Orvu::ausgabe_text(Term& w, std::string& s, bool fk) {
    auto fehler_typ = [&](int ort, bool mit_code) {
        if (fk) {
            *fehler << s;
            s.clear();
        }
        meld(ort) << " fehler bei typ";
        if (mit_code) *fehler << " " << w.typ;
        *fehler << "\n";
        return 1;
    };
    switch (w.typ) {
    case IZAHL: case BOOL: zahl_text(s, w.izahl); return 0;
    case FZAHL: fzahl_text(s, w.fzahl); return 0;
    case RZAHL: w.rzahl.schreibe(s); return 0;
    case TEXT: s += w.text; return 0;
    case BYTE: s.push_back(static_cast<char>(w.byte)); return 0;
    case TEXTPTR:
        if (fk) return fehler_typ(491, false);
        s += *w.textptr;
        return 0;
    case BVECTOR:
        s.append(reinterpret_cast<const char*>(w.bvector->data()), w.bvector->size());
        return 0;
    case IVECTOR:
        for (int64_t z : *w.ivector) zahl_text(s, z);
        return 0;
    case RVECTOR:
        for (const Bruch& b : *w.rvector) b.schreibe(s);
        return 0;
    case FVECTOR:
        if (fk) return fehler_typ(492, false);
        for (double x : *w.fvector) fzahl_text(s, x);
        return 0;
    case SVECTOR:
        for (const std::string& t : *w.svector) s += t;
        return 0;
    case TERMLIST:
        for (Term& e : *w.termlist)
            if (listen_element(e, s, fk)) return 1;
        return 0;
    default:
        return fehler_typ(fk ? 493 : 494, !fk);
    }
}

// Ein Element einer Termliste auswerten und schreiben.
int Orvu::listen_element(Term& e, std::string& s, bool fk) {
    if (fk) {  // bei "$$" stehen die fertigen Teile schon vor jeder weiteren Meldung
        *fehler << s;
        s.clear();
    }
    if (e.typ == TEXT) {  // Literal: ohne Kopie
        s += e.text;
        return 0;
    }
    if (e.typ == VARREF && !e.lokal && e.izahl != V_TAG && e.izahl != V_UHR &&
        e.izahl != V_CPUZEIT) {
        // Schneller Weg fuer globale Text- und Zahlvariablen ("$=ZNR,&;"): ohne Kopie.
        const Var& v = var[static_cast<size_t>(e.izahl)];
        if (v.typ == V_TEXT) {
            s += v.text;
            return 0;
        }
        if (v.typ == V_IZAHL) {
            zahl_text(s, v.izahl);
            return 0;
        }
    }
    Term w;
    if (wert(&e, &w)) {
        if (fk) {
            *fehler << s;
            s.clear();
        }
        return 1;
    }
    switch (w.typ) {
    case IZAHL: case BOOL: case RZAHL: case FZAHL: case TEXT:
        return ausgabe_text(w, s, fk);
    case BYTE:
        if (!fk) return ausgabe_text(w, s, fk);
        break;
    default:
        break;
    }
    if (fk) {
        *fehler << s;
        s.clear();
    }
    meld(495) << "typ " << w.typ << " nicht unterstuezt\n";
    return 1;
}

int Orvu::schreibe_aus(const std::string& s) {
    if (aus) {
        if (fwrite(s.data(), 1, s.size(), aus) != s.size()) {
            meld(496) << " schreibfehler ausgabe\n";
            return 1;
        }
    } else {
        aus_stream->write(s.data(), static_cast<std::streamsize>(s.size()));
    }
    return 0;
}
