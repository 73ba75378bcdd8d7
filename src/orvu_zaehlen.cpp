// SPDX-License-Identifier: MIT
// Zaehlen und Summieren: ++ und --, len (lesen und setzen), die vier Formen von summe.
#include <new>
#include <stdexcept>

#include "ganzzahl.h"
#include "orvu.h"

namespace {
using O = Orvu;

bool ist_indizierung(const O::Term* t) {
    return t && t->typ == O::OPER && t->handler == &O::indizierung;
}

bool ganzzahl(const O::Term& t) { return t.typ == O::IZAHL || t.typ == O::BOOL; }
}  // namespace

// ---------------------------------------------------------------- ++ und --

int Orvu::incr(Term* l, Term* r, Term* erg) {
    const int64_t schritt = erg->izahl == 1 ? -1 : 1;
    if ((l && r) || (!l && !r)) {
        meld(701) << " ++/-- operator benoetigt links oder rechtsargument\n";
        return 1;
    }
    Term* op = l ? l : r;
    int64_t* ziel;
    if (op->typ == VARREF) {
        Var* v = variable(op);
        if (!v) return 1;
        if (v->typ != V_IZAHL) {
            meld(702) << " " << v->name << " ist keine izahl\n";
            return 1;
        }
        ziel = &v->izahl;
    } else if (ist_indizierung(op)) {
        Term ix;
        if (wert(op->rarg, &ix) || ix.typ != IZAHL) {
            meld(703) << " zuweisung fehler bei indizierter variablen\n";
            return 1;
        }
        Var* v = op->larg && op->larg->typ == VARREF ? variable(op->larg) : nullptr;
        if (!v || v->typ != V_IVECTOR) {
            meld(704) << " fehler\n";
            return 1;
        }
        if (ix.izahl < 0 || static_cast<uint64_t>(ix.izahl) >= v->ivector->size()) {
            meld(705) << " arrayindex " << ix.izahl << " <0 oder >= max " << v->ivector->size()
                      << "\n";
            return 1;
        }
        ziel = &(*v->ivector)[static_cast<size_t>(ix.izahl)];
    } else {
        meld(706) << " operand von ++/-- muss variable sein " << op->typ << "\n";
        return 1;
    }
    const int64_t alt = *ziel;
    *ziel = wrap_add(alt, schritt);
    return setze_izahl(erg, r ? *ziel : alt);
}

// ---------------------------------------------------------------- len

int Orvu::len(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(711) << " len darf kein linksarg haben\n";
        return 1;
    }
    if (!r) {
        meld(712) << " len muss ein rechtsarg haben\n";
        return 1;
    }
    erg->typ = IZAHL;
    switch (r->typ) {
    case VARREF: {
        Var* v = variable(r);
        if (!v) return 1;
        switch (v->typ) {
        case V_TEXT: erg->izahl = static_cast<int64_t>(v->text.size()); return 0;
        case V_TERMLIST: erg->izahl = static_cast<int64_t>(v->termlist->size()); return 0;
        case V_BVECTOR: erg->izahl = static_cast<int64_t>(v->bvector->size()); return 0;
        case V_IVECTOR: erg->izahl = static_cast<int64_t>(v->ivector->size()); return 0;
        case V_RVECTOR: erg->izahl = static_cast<int64_t>(v->rvector->size()); return 0;
        case V_FVECTOR: erg->izahl = static_cast<int64_t>(v->fvector->size()); return 0;
        case V_SVECTOR: erg->izahl = static_cast<int64_t>(v->svector->size()); return 0;
        case V_VEKO: erg->izahl = veko_zeilen(*v); return 0;
        default:
            meld(713) << " var '" << v->name << "' hat ungueltigen typ " << v->typ << "\n";
            return 1;
        }
    }
    case TEXT:
        erg->izahl = static_cast<int64_t>(r->text.size());
        return 0;
    case OPER: {
        Term w;
        if (wert(r, &w) || w.typ != TEXT) {
            meld(714) << " len bekommt kein textarg\n";
            return 1;
        }
        erg->izahl = static_cast<int64_t>(w.text.size());
        return 0;
    }
    case TERMLIST:
        return len_setzen(r, erg);
    default:
        meld(715) << " larg von indexierung kein vektor \n";
        return 1;
    }
}

namespace {
// Neue Laenge n fuer einen Text (mit Blanks auffuellen) oder Vektor (mit Nullwerten).
// Was nicht in den Speicher passt, wird vor dem Anlegen abgewiesen (bad_alloc).
template <class V>
void laenge(const Orvu& o, V& v, size_t n) {
    if (!o.speicher_reicht(n, sizeof(typename V::value_type))) throw std::bad_alloc();
    v.resize(n);
}
void laenge(const Orvu& o, std::string& s, size_t n) {
    if (!o.speicher_reicht(n, 1)) throw std::bad_alloc();
    s.resize(n, ' ');
}
}  // namespace

// len (x, n): setzt die Laenge einer Variablen oder eines Elements eines Textvektors.
int Orvu::len_setzen(Term* liste, Term* erg) {
    std::vector<Term>& el = *liste->termlist;
    if (el.size() != 2) {
        meld(721) << " len: termlistnarg muss 2 elt haben\n";
        return 1;
    }
    Term nw;
    if (wert(&el[1], &nw) || nw.typ != IZAHL) {
        meld(722) << " len: 2. termlistnarg IZAHL sein\n";
        return 1;
    }
    if (nw.izahl < 0) {
        meld(723) << " len: negative Laenge " << nw.izahl << "\n";
        return 1;
    }
    const size_t n = static_cast<size_t>(nw.izahl);
    Term& ziel = el[0];
    try {
        if (ziel.typ == VARREF) {
            Var* v = variable(&ziel);
            if (!v) return 1;
            switch (v->typ) {
            case V_TEXT: laenge(*this, v->text, n); break;
            case V_BVECTOR: laenge(*this, *v->bvector, n); break;
            case V_IVECTOR: laenge(*this, *v->ivector, n); break;
            case V_RVECTOR: laenge(*this, *v->rvector, n); break;
            case V_FVECTOR: laenge(*this, *v->fvector, n); break;
            case V_SVECTOR: laenge(*this, *v->svector, n); break;
            default:
                meld(724) << " var " << v->name << " hat ungueltigen typ" << v->typ << "\n";
                return 1;
            }
        } else if (ist_indizierung(&ziel)) {
            Term ix;
            if (wert(ziel.rarg, &ix)) {
                meld(725) << " index fehler\n";
                return 1;
            }
            if (ix.typ != IZAHL || !ziel.larg || ziel.larg->typ != VARREF) {
                meld(726) << " index keine ganzzahl \n";
                return 1;
            }
            Var* v = variable(ziel.larg);
            if (!v) return 1;
            if (v->typ != V_SVECTOR) {
                meld(727) << " larg von indexierung kein vektor " << v->typ << "\n";
                return 1;
            }
            if (ix.izahl < 0 || static_cast<uint64_t>(ix.izahl) >= v->svector->size()) {
                meld(728) << " len: index " << ix.izahl << " ausserhalb des Vektors der Laenge "
                          << v->svector->size() << "\n";
                return 1;
            }
            laenge(*this, (*v->svector)[static_cast<size_t>(ix.izahl)], n);
        } else if (ziel.typ == OPER) {
            meld(729) << " len: 2. termlistnarg IZAHL sein\n";
            return 1;
        } else {
            meld(730) << " len: 1. termlistnarg muss VAR sein " << ziel.typ << "\n";
            return 1;
        }
    } catch (const std::bad_alloc&) {
        meld(731) << " len: kein Speicher fuer die Laenge " << n << "\n";
        return 1;
    } catch (const std::length_error&) {
        meld(732) << " len: kein Speicher fuer die Laenge " << n << "\n";
        return 1;
    }
    return setze_izahl(erg, nw.izahl);
}

// ---------------------------------------------------------------- summe

int Orvu::summe(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(741) << " summe mit  links  operand!\n";
        return 1;
    }
    if (!r) {
        meld(742) << " summe ohne rechts operand!\n";
        return 1;
    }
    if (r->typ == VARREF) return summe_a(nullptr, r, erg);
    if (r->typ == TERMLIST) {
        std::vector<Term>& el = *r->termlist;
        if (el.size() != 3) {
            meld(743) << " operanden fehler bei summe \n";
            return 1;
        }
        if (el[2].typ == VARREF) return summe_d(nullptr, r, erg);
        if (el[0].typ == VARREF) return summe_b(nullptr, r, erg);
        if (el[0].typ == OPER) return summe_c(nullptr, r, erg);
    }
    meld(744) << "summe operanden fehler\n";
    return 1;
}

// Summe von Elementen [anfang, anfang + anzahl) eines Ganzzahl- oder Gleitkommavektors.
static int vektor_summe(O& o, const O::Var& v, size_t anfang, size_t anzahl, O::Term* erg) {
    if (v.typ == O::V_IVECTOR) {
        int64_t s = 0;
        for (size_t i = anfang; i < anfang + anzahl; ++i) s = wrap_add(s, (*v.ivector)[i]);
        erg->typ = O::IZAHL;
        erg->izahl = s;
        return 0;
    }
    double s = 0;
    for (size_t i = anfang; i < anfang + anzahl; ++i) s += (*v.fvector)[i];
    erg->typ = O::FZAHL;
    erg->fzahl = s;
    (void)o;
    return 0;
}

static size_t vektor_laenge(const O::Var& v) {
    return v.typ == O::V_IVECTOR ? v.ivector->size() : v.fvector->size();
}

// summe v
int Orvu::summe_a(Term*, Term* r, Term* erg) {
    Var* v = variable(r);
    if (!v) return 1;
    if (v->typ != V_IVECTOR && v->typ != V_FVECTOR) {
        meld(751) << " summe: vector int oder float! \n";
        return 1;
    }
    return vektor_summe(*this, *v, 0, vektor_laenge(*v), erg);
}

// summe (anfang, anzahl, v)
int Orvu::summe_d(Term*, Term* r, Term* erg) {
    std::vector<Term>& el = *r->termlist;
    Term a, n;
    if (wert(&el[0], &a) || wert(&el[1], &n)) {
        meld(752) << "summe operanden fehler\n";
        return 1;
    }
    if (!ganzzahl(a) || !ganzzahl(n)) {
        meld(753) << " summe: anfang und anzahl muessen ganze Zahlen sein\n";
        return 1;
    }
    Var* v = variable(&el[2]);
    if (!v) return 1;
    if (v->typ != V_IVECTOR && v->typ != V_FVECTOR) {
        meld(754) << " summe: vector int oder float! \n";
        return 1;
    }
    const size_t laenge = vektor_laenge(*v);
    if (n.izahl <= 0) return vektor_summe(*this, *v, 0, 0, erg);
    if (a.izahl < 0 || static_cast<uint64_t>(a.izahl) > laenge ||
        static_cast<uint64_t>(n.izahl) > laenge - static_cast<size_t>(a.izahl)) {
        meld(755) << " summe: elemente " << a.izahl << " bis " << a.izahl << "+" << n.izahl
                  << "-1 ausserhalb des vektors der laenge " << laenge << "\n";
        return 1;
    }
    return vektor_summe(*this, *v, static_cast<size_t>(a.izahl), static_cast<size_t>(n.izahl), erg);
}

// Addiert w zur laufenden Summe vom selben Typ; 1, wenn der Typ abweicht.
int Orvu::summe_addieren(Term& s, Term& w) {
    if (w.typ != s.typ) {
        meld(761) << "summe operanden fehler\n";
        return 1;
    }
    if (s.typ == IZAHL) s.izahl = wrap_add(s.izahl, w.izahl);
    else if (s.typ == FZAHL) s.fzahl += w.fzahl;
    else s.rzahl = s.rzahl + w.rzahl;
    return 0;
}

namespace {
// Der erste Wert des Terms legt den Typ der Summe fest; er zaehlt nicht mit.
bool summentyp(const O::Term& w, O::Term& s) {
    if (w.typ != O::IZAHL && w.typ != O::FZAHL && w.typ != O::RZAHL) return false;
    s = O::Term{};
    s.typ = w.typ;
    return true;
}
}  // namespace

// summe (i, n, term): term fuer i = 0 .. n-1
int Orvu::summe_b(Term*, Term* r, Term* erg) {
    std::vector<Term>& el = *r->termlist;
    Var* i = variable(&el[0]);
    if (!i) return 1;
    i->typ = V_IZAHL;
    Term n;
    if (wert(&el[1], &n)) {
        meld(771) << "summe operanden fehler\n";
        return 1;
    }
    if (!ganzzahl(n)) {
        meld(772) << " summe: anzahl muss eine ganze Zahl sein\n";
        return 1;
    }
    i->izahl = 0;
    Term w, s;
    if (wert(&el[2], &w)) {
        meld(773) << "summe operanden fehler\n";
        return 1;
    }
    if (!summentyp(w, s)) {
        meld(774) << " nicht int bei summe \n";
        return 1;
    }
    for (int64_t k = 0; k < n.izahl; ++k) {
        if (schritt_erschoepft()) return 1;
        i->izahl = k;
        Term x;
        if (wert(&el[2], &x)) {
            meld(775) << "summe operanden fehler\n";
            return 1;
        }
        if (summe_addieren(s, x)) return 1;
    }
    *erg = std::move(s);
    return 0;
}

// summe (i = a, bedingung, term): term, solange die Bedingung gilt, i jeweils + 1
int Orvu::summe_c(Term*, Term* r, Term* erg) {
    std::vector<Term>& el = *r->termlist;
    Term* init = &el[0];
    if (!init->larg || init->larg->typ != VARREF) {
        meld(781) << " summe: erstes element muss eine zuweisung an eine variable sein\n";
        return 1;
    }
    Term w;
    if (auswerten(init, w, 782, "summe operanden fehler\n")) return 1;
    Var* i = variable(init->larg);
    if (!i) return 1;
    if (i->typ != V_IZAHL) {
        meld(783) << " summe: laufvariable " << i->name << " muss ganzzahlig sein\n";
        return 1;
    }
    Term s, erst;
    if (wert(&el[2], &erst)) {
        meld(784) << "summe operanden fehler\n";
        return 1;
    }
    if (!summentyp(erst, s)) {
        meld(785) << " nicht int bei summe \n";
        return 1;
    }
    for (;;) {
        if (schritt_erschoepft()) return 1;
        Term c;
        if (wert(&el[1], &c)) {
            meld(786) << "summe operanden fehler\n";
            return 1;
        }
        if (!ganzzahl(c)) {
            meld(787) << " summe: bedingung muss BOOL oder IZAHL sein\n";
            return 1;
        }
        if (c.izahl == 0) break;
        Term x;
        if (wert(&el[2], &x)) {
            meld(788) << "summe operanden fehler\n";
            return 1;
        }
        if (summe_addieren(s, x)) return 1;
        if (i->typ != V_IZAHL) {
            meld(789) << " summe: laufvariable " << i->name << " muss ganzzahlig sein\n";
            return 1;
        }
        i->izahl = wrap_add(i->izahl, 1);
    }
    *erg = std::move(s);
    return 0;
}
