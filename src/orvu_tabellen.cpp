// SPDX-License-Identifier: MIT
// Verwandtschaft (Veko, veko, vkname, vkinit) und Nachladetabellen (Nl, nldat, nl).
// Ortsnummern 1401 bis 1499.
#include <climits>
#include <memory>
#include <vector>

#include "nl.h"
#include "orvu.h"
#include "veko.h"

namespace {
using O = Orvu;

// Stammbaeume und Nachladetabellen gehoeren dem Interpreter: sie leben, solange ein Wert
// auf sie zeigen kann, also bis zum Ende des Laufs (die Datendatei bleibt so lange offen).
struct Tabellen : O::Teilsystem {
    static constexpr O::Teil platz = O::Teil::tabellen;
    std::vector<std::unique_ptr<Veko>> stammbaeume;
    std::vector<std::unique_ptr<Nl>> tabellen;
};

// Der Stammbaum einer V_VEKO-Variablen (Veko legt ihn in veko und objekt ab).
Veko* stammbaum(O::Var* v) {
    if (!v || v->typ != O::V_VEKO) return nullptr;
    return static_cast<Veko*>(v->veko ? v->veko : v->objekt);
}

int zeile_von(const O::Term& w, Veko& s, int& zeile) {
    if (w.typ == O::IZAHL) {
        zeile = w.izahl < INT_MIN || w.izahl > INT_MAX ? -1 : static_cast<int>(w.izahl);
        return 0;
    }
    if (w.typ == O::TEXT) {
        zeile = s.nummer(w.text);
        return 0;
    }
    return 1;
}
}  // namespace

// ---------------------------------------------------------------- Verwandtschaft

// p Veko "datei": Stammbaum lesen, Ergebnis Zeilenzahl.
int Orvu::VEko(Term* l, Term* r, Term* erg) {
    Var* v = l && r && l->typ == VARREF ? var_still(l) : nullptr;
    Term name;
    if (!v || wert(r, &name) || name.typ != TEXT) {
        meld(1401) << " operanden fehlen bei agetfile \n";
        return 1;
    }
    auto& liste = teil<Tabellen>().stammbaeume;
    Veko* s = liste.emplace_back(std::make_unique<Veko>()).get();
    v->typ = V_VEKO;
    v->veko = s;
    v->objekt = s;
    if (s->init(name.text)) {
        if (!s->fehlertext().empty()) meld(1402) << " " << s->fehlertext() << "\n";
        meld(1403) << " fehler beim veko init\n";
        return 1;
    }
    return setze_izahl(erg, s->len());
}

// p veko (a, b): Koeffizient zweier Zeilen (Nummer oder Name).
int Orvu::veko(Term* l, Term* r, Term* erg) {
    Veko* s = l && l->typ == VARREF ? stammbaum(var_still(l)) : nullptr;
    Term* e = s && r && r->typ == TERMLIST && r->termlist->size() == 2 ? r->termlist->data()
                                                                        : nullptr;
    Term a, b;
    int i = -1, j = -1;
    if (!e || wert(&e[0], &a) || wert(&e[1], &b) || zeile_von(a, *s, i) ||
        zeile_von(b, *s, j)) {
        meld(1411) << " veko fehler !!!\n";
        return 1;
    }
    const Bruch k = s->veko(i, j);
    if (s->fehler()) {
        meld(1412) << " veko: Koeffizient von Zeile " << i << " und " << j
                   << " ist kein 64-Bit-Bruch (Stammbaum zu tief)\n";
        return 1;
    }
    return setze_rzahl(erg, k);
}

int64_t Orvu::veko_zeilen(const Var& v) {
    const Veko* s = static_cast<const Veko*>(v.veko ? v.veko : v.objekt);
    return s ? s->len() : 0;
}

// p vkname n: Name der Zeile n.
int Orvu::vkname(Term* l, Term* r, Term* erg) {
    Veko* s = l && l->typ == VARREF ? stammbaum(var_still(l)) : nullptr;
    if (!s || !r) {
        meld(1421) << " operanden fehler bei vkname \n";
        return 1;
    }
    Term w;
    if (wert(r, &w) || w.typ != IZAHL) {
        meld(1422) << " operanden fehlen bei vkname \n";
        return 1;
    }
    const int zeile = w.izahl < INT_MIN || w.izahl > INT_MAX ? -1 : static_cast<int>(w.izahl);
    return setze_text(erg, s->name(zeile));
}

// Neu lesen eines Stammbaums ueber seinen Griff (ein Griffknoten, kein Ausdruck).
int Orvu::vkinit(Term* l, Term* r, Term* erg) {
    setze_izahl(erg, 1);
    if (!l || l->typ != VEKOOBJ || !l->objekt) {
        meld(1431) << " fehler beim veko init\n";
        return 1;
    }
    if (r && r->typ == TEXT) static_cast<Veko*>(l->objekt)->init(r->text);
    return 0;
}

// ---------------------------------------------------------------- Nachladetabellen

int Orvu::nl_oeffnen(const std::string& daten, const std::string& index, Term* erg) {
    auto tabelle = std::make_unique<Nl>();
    if (tabelle->init(daten, index, *fehler)) {
        meld(1441) << "open fehler\n";
        return 1;
    }
    erg->typ = NLOBJ;
    erg->objekt = teil<Tabellen>().tabellen.emplace_back(std::move(tabelle)).get();
    return 0;
}

// Nl ("daten", "index")
int Orvu::Nl_(Term* l, Term* r, Term* erg) {
    const char* form = " operanden fehlen bei nldat_init \n";
    if (l || !r) {
        meld(1451) << form;
        return 1;
    }
    Term liste;
    if (wie_geschrieben(r, liste, 1452, "\n")) return 1;
    if (liste.typ != TERMLIST || !liste.termlist || liste.termlist->size() != 2) {
        meld(1453) << form;
        return 1;
    }
    Term d, x;
    if (wert(&(*liste.termlist)[0], &d) || wert(&(*liste.termlist)[1], &x)) {
        meld(1454) << "\n";
        return 1;
    }
    if (d.typ != TEXT || x.typ != TEXT) {
        meld(1455) << form;
        return 1;
    }
    return nl_oeffnen(d.text, x.text, erg);
}

// "daten" nldat "index"
int Orvu::nldat_init(Term* l, Term* r, Term* erg) {
    const char* form = " operanden fehlen bei nldat_init \n";
    if (!l || !r) {
        meld(1461) << form;
        return 1;
    }
    Term d, x;
    if (wie_geschrieben(l, d, 1462, "\n") || wie_geschrieben(r, x, 1463, "\n")) return 1;
    if (d.typ != TEXT || x.typ != TEXT) {
        meld(1464) << form;
        return 1;
    }
    return nl_oeffnen(d.text, x.text, erg);
}

// t nl "schluessel": Satz nach "TA"; wahr, wenn einer gefunden wurde.
int Orvu::nachladen(Term* l, Term* r, Term* erg) {
    if (!l || !r) {
        meld(1471) << " nachladen benoetigt zwei operanden !!!\n";
        return 1;
    }
    Term t, k;
    if (wie_geschrieben(l, t, 1472, "\n") || wie_geschrieben(r, k, 1473, "\n")) return 1;
    if (t.typ != NLOBJ || !t.objekt || k.typ != TEXT) {
        meld(1474) << " Operanden fehler bei nachladen \n";
        return 1;
    }
    Var& ta = var[V_TA];
    ta.typ = V_TEXT;
    if (static_cast<Nl*>(t.objekt)->hole(k.text, ta.text, *fehler)) {
        meld(1475) << " fehler bei nachladen\n";
        return 1;
    }
    return setze_bool(erg, !ta.text.empty());
}
