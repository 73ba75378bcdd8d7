// SPDX-License-Identifier: MIT
// Operanden lesen und pruefen, Ergebnisse setzen: die gemeinsamen Helfer der Handler.
// Ortsnummern: jede Pruefung meldet unter der Nummer, die der Handler mitgibt.
#include "orvu.h"
#include "orvu_tabelle.h"

int Orvu::melde(int ort, const char* meldung) {
    meld(ort) << meldung;
    return 1;
}

int Orvu::wie_geschrieben(Term* k, Term& w, int ort, const char* meldung) {
    if (k->typ == OPER || k->typ == FUNCALL || k->typ == VARREF)
        return auswerten(k, w, ort, meldung);
    w = *k;
    return 0;
}

Orvu::Term* Orvu::liste_n(Term* r, size_t n, int ort, const char* meldung) {
    if (r && r->typ == TERMLIST && r->termlist && r->termlist->size() == n)
        return r->termlist->data();
    meld(ort) << meldung;
    return nullptr;
}

Orvu::Var* Orvu::ziel_var(Term* k, int ort, const char* meldung) {
    Var* v = k && k->typ == VARREF ? var_still(k) : nullptr;
    if (!v) meld(ort) << meldung;
    return v;
}

bool Orvu::als_double(const Term& w, double& x) {
    switch (w.typ) {
    case IZAHL: x = static_cast<double>(w.izahl); return true;
    case RZAHL:
        x = static_cast<double>(w.rzahl.zaehler) / static_cast<double>(w.rzahl.nenner);
        return true;
    case FZAHL: x = w.fzahl; return true;
    default: return false;
    }
}

bool Orvu::als_ganz(const Term& w, int64_t& z) {
    if (w.typ != IZAHL) return false;
    z = w.izahl;
    return true;
}

int Orvu::zahl_operand(Term* k, double& x, int ort, const char* meldung) {
    Term w;
    if (!k || wert(k, &w) || !als_double(w, x)) {
        meld(ort) << meldung;
        return 1;
    }
    return 0;
}

int Orvu::ganz_operand(Term* k, int64_t& z, int ort, const char* meldung) {
    Term w;
    if (!k || wert(k, &w) || w.typ != IZAHL) {
        meld(ort) << meldung;
        return 1;
    }
    z = w.izahl;
    return 0;
}

int Orvu::verweigert(Term*, Term*, Term* erg) {
    const auto tabelle = builtin_tabelle();
    const size_t i = static_cast<size_t>(erg->izahl);
    const std::string name(i < tabelle.size() ? tabelle[i].name : "?");
    im_sandkasten(name.c_str());
    return 1;
}
