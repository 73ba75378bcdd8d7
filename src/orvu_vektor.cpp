// SPDX-License-Identifier: MIT
// Vektoren, Textpuffer und Zeiger: Bvector .. Svector, Izahlptr, Textptr, String,
// substr, find, erase, append, resize, push_back, clear, delete.
#include <new>
#include <stdexcept>

#include "orvu.h"

namespace {
using O = Orvu;

// Element eines Vektors aus einem Listenwert; false, wenn die Art den Typ nicht annimmt.
bool element(O::Term& w, uint8_t& z) {
    if (w.typ != O::IZAHL) return false;
    z = static_cast<uint8_t>(w.izahl);  // nur die unteren 8 Bit
    return true;
}
bool element(O::Term& w, int64_t& z) {
    if (w.typ != O::IZAHL) return false;
    z = w.izahl;
    return true;
}
bool element(O::Term& w, double& z) {
    if (w.typ == O::FZAHL) z = w.fzahl;
    else if (w.typ == O::IZAHL) z = static_cast<double>(w.izahl);
    else return false;
    return true;
}
bool element(O::Term& w, Bruch& z) {
    if (w.typ != O::RZAHL) return false;
    z = w.rzahl;
    return true;
}
bool element(O::Term& w, std::string& z) {
    if (w.typ != O::TEXT) return false;
    z = std::move(w.text);
    return true;
}

// Die fuenf Arten der Vektor-Konstruktoren, nach Operatorcode.
struct Art {
    const char* name;
    const char* elementfehler;
};
const Art arten[] = {
    {"Bvector", " Bvector init: elementfehler\n"},
    {"Ivector", " Ivector init: elementfehler\n"},
    {"Fvector", " Fvector init: elementfehler\n"},
    {"Rvector", " Rvector init: elementfehler\n"},
    {"Svector", " Ivector init: elementfehler\n"},  // so gemeldet, auch fuer Svector
};

// Neuer Vektor in v: n Elemente (Groesse) oder eines je Listeneintrag (ausgewertet).
template <class T>
int anlegen(O& o, O::Var& v, std::vector<T>* O::Var::*feld, uint32_t code, O::Term& R,
            const Art& art) {
    const size_t n = R.typ == O::IZAHL ? static_cast<size_t>(R.izahl) : R.termlist->size();
    std::vector<T>* vek = o.vektor_anlegen<std::vector<T>>();
    try {
        vek->resize(n);
    } catch (const std::exception&) {  // bad_alloc, length_error
        o.vektor_freigeben(vek);
        o.meld(1004) << " " << art.name << ": kein Speicher fuer " << n << " Elemente\n";
        return 1;
    }
    v.typ = code;
    v.*feld = vek;
    if (R.typ == O::IZAHL) return 0;
    // Eintraege der Reihe nach; bei einem Fehler behaelt v den bis dahin gefuellten Vektor.
    // Eine Auswertung darf v loeschen: vek bleibt bis zum Ende dieses Handlers gueltig.
    for (size_t i = 0; i < n; ++i) {
        O::Term w;
        if (o.wert(&(*R.termlist)[i], &w) || !element(w, (*vek)[i])) {
            o.meld(1005) << art.elementfehler;
            return 1;
        }
    }
    return 0;
}
}  // namespace

// ---------------------------------------------------------------- Konstruktoren

int Orvu::Vector(Term* l, Term* r, Term* erg) {
    const int64_t code = erg->izahl;
    if (!l || l->typ != VARREF || !r || code < 0 || code > 4) {
        meld(1001) << " Vector init err ( mit linksarg)\n";
        return 1;
    }
    const Art& art = arten[code];
    Term R;
    if (wert(r, &R)) {
        meld(1002) << " Vector Fehler bei rechtsarg " << R.typ << "\n";
        return 1;
    }
    Var* v = variable(l);
    if (!v) return 1;
    if (v->typ != V_NONE) {
        meld(1003) << " vector init: typwechsel nicht kodiert " << v->typ << "\n";
        return 1;
    }
    if (R.typ == IZAHL) {
        static const size_t groesse[] = {sizeof(uint8_t), sizeof(int64_t), sizeof(double),
                                         sizeof(Bruch), sizeof(std::string)};
        if (R.izahl < 0) {
            meld(1006) << " " << art.name << ": negative Groesse " << R.izahl << "\n";
            return 1;
        }
        if (!speicher_reicht(static_cast<uint64_t>(R.izahl), groesse[code])) {
            meld(1007) << " " << art.name << ": kein Speicher fuer " << R.izahl
                       << " Elemente\n";
            return 1;
        }
    } else if (R.typ != TERMLIST) {
        meld(1008) << " vector init: nur izahl oder termlist zulaessig\n";
        return 1;
    }
    erg->typ = NONE;
    switch (code) {
    case 0: return anlegen(*this, *v, &Var::bvector, V_BVECTOR, R, art);
    case 1: return anlegen(*this, *v, &Var::ivector, V_IVECTOR, R, art);
    case 2: return anlegen(*this, *v, &Var::fvector, V_FVECTOR, R, art);
    case 3: return anlegen(*this, *v, &Var::rvector, V_RVECTOR, R, art);
    default: return anlegen(*this, *v, &Var::svector, V_SVECTOR, R, art);
    }
}

// Zellen leben bis zum Programmende; die deque haelt ihre Adressen fest.
int Orvu::Izahlptr(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 1011, " operanden fehler bei Izahlptr \n")) return 1;
    erg->typ = IZAHLPTR;
    erg->izahlptr = lager.zahl_zelle();
    return 0;
}

int Orvu::Textptr(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 1012, " operanden fehler bei Textptr \n")) return 1;
    erg->typ = TEXTPTR;
    erg->textptr = lager.text_zelle();
    return 0;
}

// s String n: s wird Text der Laenge n (abgeschnitten oder mit NUL verlaengert).
int Orvu::String(Term* l, Term* r, Term* erg) {
    if (beide(l, r, 1021, " String linkes oder rechtes Argument fehlt\n")) return 1;
    if (l->typ != VARREF) {
        meld(1022) << " String linkes arg keine Var\n";
        return 1;
    }
    Term R;
    if (wert(r, &R)) {
        meld(1023) << " String Fehler bei rechtsarg " << R.typ << "\n";
        return 1;
    }
    if (R.typ != IZAHL || R.izahl < 0) {
        meld(1024) << " String rechtsarg < 0 " << R.izahl << "\n";
        return 1;
    }
    Var* v = variable(l);
    if (!v) return 1;
    if (text_laenge(v->text, R.izahl, '\0', 1025, "String")) return 1;
    v->typ = V_TEXT;
    erg->typ = NONE;
    return 0;
}

// Text auf n Bytes bringen; zu grosse n weist builtin mit Meldung (Ort ort) ab.
int Orvu::text_laenge(std::string& s, int64_t n, char fuell, int ort, const char* builtin) {
    if (speicher_reicht(static_cast<uint64_t>(n), 1)) {
        try {
            s.resize(static_cast<size_t>(n), fuell);
            return 0;
        } catch (const std::exception&) {  // bad_alloc, length_error
        }
    }
    meld(ort) << " " << builtin << ": kein Speicher fuer " << n << " Bytes\n";
    return 1;
}

// ---------------------------------------------------------------- Texte

// Linker Operand von substr und find: ein Text, ohne Operand der Datensatz "&".
int Orvu::quelltext(Term* l, Term& L, const std::string*& s) {
    if (!l) {
        s = &var[V_REC].text;
        return 0;
    }
    if (wert(l, &L) || L.typ != TEXT) {
        meld(1031) << " find kein wert " << L.typ << "\n";
        return 1;
    }
    s = &L.text;
    return 0;
}

// Zweielementige Liste auswerten; false, wenn die Laenge nicht 2 ist oder ein Element
// scheitert (das zaehlt als falscher Typ).
bool Orvu::zwei_werte(Term& liste, Term& a, Term& b) {
    std::vector<Term>& el = *liste.termlist;
    return el.size() == 2 && !wert(&el[0], &a) && !wert(&el[1], &b);
}

int Orvu::substr_(Term* l, Term* r, Term* erg) {
    if (!r) {
        meld(1032) << " substr fehler\n";
        return 1;
    }
    Term L;
    const std::string* s;
    if (quelltext(l, L, s)) return 1;
    Term R, a, b;
    if (wert(r, &R)) {
        meld(1033) << " substr fehler kein wert " << R.typ << "\n";
        return 1;
    }
    int64_t p, n = -1;
    if (R.typ == TERMLIST) {
        if (!zwei_werte(R, a, b) || a.typ != IZAHL || b.typ != IZAHL) {
            meld(1034) << " substr fehler !!!\n";
            return 1;
        }
        p = a.izahl;
        n = b.izahl;
        if (n < 0) {
            meld(1035) << " substr: negative Laenge " << n << "\n";
            return 1;
        }
    } else if (R.typ == IZAHL) {
        p = R.izahl;
    } else {
        meld(1036) << " substr fehler kein wert " << R.typ << "\n";
        return 1;
    }
    if (p < 0) {
        meld(1037) << " substr: negative Position " << p << "\n";
        return 1;
    }
    // Eine Position am oder hinter dem Ende ergibt den leeren Text.
    std::string teil;
    if (static_cast<uint64_t>(p) < s->size())
        teil = s->substr(static_cast<size_t>(p), n < 0 ? std::string::npos : static_cast<size_t>(n));
    return setze_text(erg, std::move(teil));
}

int Orvu::find_(Term* l, Term* r, Term* erg) {
    if (!r) {
        meld(1041) << " find fehler\n";
        return 1;
    }
    Term L;
    const std::string* s;
    if (quelltext(l, L, s)) return 1;
    Term R, a, b;
    if (wert(r, &R)) {
        meld(1042) << " find kein wert " << R.typ << "\n";
        return 1;
    }
    const std::string* muster;
    int64_t start = 0;
    if (R.typ == TERMLIST) {
        if (!zwei_werte(R, a, b) || a.typ != TEXT || b.typ != IZAHL) {
            meld(1043) << " find fehler !!!\n";
            return 1;
        }
        muster = &a.text;
        start = b.izahl;
        if (start < 0) {
            meld(1044) << " find: negative Startposition " << start << "\n";
            return 1;
        }
    } else if (R.typ == TEXT) {
        muster = &R.text;
    } else {
        meld(1045) << " find kein wert " << R.typ << "\n";
        return 1;
    }
    // Ein Start hinter dem Ende findet nichts.
    size_t pos = static_cast<uint64_t>(start) > s->size()
                     ? std::string::npos
                     : s->find(*muster, static_cast<size_t>(start));
    return setze_izahl(erg, pos == std::string::npos ? -1 : static_cast<int64_t>(pos));
}

// Linker Operand von erase, append, resize: eine V_TEXT-Variable, ohne Operand "&".
// nullptr nach Meldung (mit dem Typcode der Variablen oder des Knotens).
Orvu::Var* Orvu::textvariable(Term* l, int ort, const char* meldung) {
    if (!l) return &var[V_REC];
    if (l->typ == VARREF) {
        Var* v = variable(l);
        if (!v) return nullptr;
        if (v->typ == V_TEXT) return v;
        meld(ort) << meldung << v->typ << "\n";
        return nullptr;
    }
    meld(ort) << meldung << l->typ << "\n";
    return nullptr;
}

int Orvu::erase_(Term* l, Term* r, Term* erg) {
    static const char* const linksfehler = " linksarg fehler bei erase ";
    if (!textvariable(l, 1051, linksfehler)) return 1;
    Term R, a, b;
    if (!r || wert(r, &R) || R.typ != TERMLIST || R.termlist->size() != 2) {
        meld(1052) << " erase arg fehler \n";
        return 1;
    }
    if (!zwei_werte(R, a, b) || a.typ != IZAHL || b.typ != IZAHL) {
        meld(1053) << " erase arg fehler !!!\n";
        return 1;
    }
    if (a.izahl < 0 || b.izahl < 0) {
        meld(1054) << " erase: negative Position oder Anzahl " << a.izahl << " " << b.izahl
                   << "\n";
        return 1;
    }
    // Die Auswertung kann die Variable geaendert haben: erneut pruefen.
    Var* v = textvariable(l, 1055, linksfehler);
    if (!v) return 1;
    // Eine Position am oder hinter dem Ende entfernt nichts.
    if (static_cast<uint64_t>(a.izahl) < v->text.size())
        v->text.erase(static_cast<size_t>(a.izahl), static_cast<size_t>(b.izahl));
    return setze_izahl(erg, 0);
}

int Orvu::append_(Term* l, Term* r, Term* erg) {
    static const char* const linksfehler = " linksarg fehler bei apppend ";
    if (!textvariable(l, 1061, linksfehler)) return 1;
    Term R;
    if (!r || wert(r, &R) || (R.typ != TEXT && R.typ != BYTE)) {
        meld(1062) << " rechtsarg von append kein text " << R.typ << "\n";
        return 1;
    }
    Var* v = textvariable(l, 1063, linksfehler);
    if (!v) return 1;
    if (R.typ == TEXT) v->text += R.text;
    else v->text.push_back(static_cast<char>(R.byte));
    return setze_izahl(erg, static_cast<int64_t>(v->text.size()));
}

int Orvu::resize_(Term* l, Term* r, Term* erg) {
    static const char* const linksfehler = " linksarg fehler bei apppend ";
    if (!textvariable(l, 1071, linksfehler)) return 1;
    Term R, a, b;
    auto falsch = [&](uint32_t typ) {
        meld(1072) << " rechtsarg von append kein IZAHL" << typ << "\n";
        return 1;
    };
    if (!r || wert(r, &R)) return falsch(R.typ);
    int64_t n;
    char fuell = '\0';
    if (R.typ == IZAHL) {
        n = R.izahl;
    } else if (R.typ == TERMLIST) {
        if (!zwei_werte(R, a, b)) return falsch(R.typ);
        if (a.typ != IZAHL) return falsch(a.typ);
        if (b.typ != TEXT) return falsch(b.typ);
        n = a.izahl;
        if (!b.text.empty()) fuell = b.text[0];
    } else {
        return falsch(R.typ);
    }
    if (n < 0) {
        meld(1073) << " resize: negative Laenge " << n << "\n";
        return 1;
    }
    Var* v = textvariable(l, 1075, linksfehler);
    if (!v || text_laenge(v->text, n, fuell, 1074, "resize")) return 1;
    return setze_izahl(erg, n);
}

// ---------------------------------------------------------------- Textvektoren

int Orvu::push_back_(Term* l, Term* r, Term* erg) {
    if (beide(l, r, 1081, " push_back ohne Argumente\n")) return 1;
    auto falsch = [&] {
        meld(1082) << " push_back fehler !!!\n";
        return 1;
    };
    if (l->typ != VARREF) return falsch();
    Term w;
    if (auswerten(r, w, 1083, "\n")) return 1;
    Var* v = variable(l);  // erst jetzt: die Auswertung kann v geaendert haben
    if (!v) return 1;
    if (v->typ != V_SVECTOR || w.typ != TEXT) return falsch();
    v->svector->push_back(std::move(w.text));
    return setze_izahl(erg, 0);
}

int Orvu::clear_(Term* l, Term* r, Term* erg) {
    Var* v = !l && r && r->typ == VARREF ? variable(r) : nullptr;
    if (!v || v->typ != V_SVECTOR) {
        meld(1084) << " clear fehler !!!\n";
        return 1;
    }
    v->svector->clear();
    return setze_izahl(erg, 0);
}

// ---------------------------------------------------------------- delete

int Orvu::delete_(Term* l, Term* r, Term* erg) {
    if (l || !r || r->typ != VARREF) {
        meld(1091) << " operanden fehlen bei delete \n";
        return 1;
    }
    Var* v = variable(r);
    if (!v) return 1;
    // Der Vektor wird von allen Variablen geloest, die ihn teilen (sonst zeigten sie ins
    // Leere), und freigegeben, sobald kein Handler mehr laeuft, der ihn noch halten kann.
    // Ein Verzeichnisleser (ohne Vektor) wird geschlossen und freigegeben; Stammbaeume und
    // Nachladetabellen leben bis zum Ende des Laufs.
    if (v->typ == V_RDIR && !v->hat_vektor()) rdir_loeschen(*v);
    auto loesen = [&](auto*& feld) {
        if (!feld) return;
        void* p = feld;
        feld = nullptr;
        vektor_loesen(p);
    };
    loesen(v->bvector);
    loesen(v->ivector);
    loesen(v->fvector);
    loesen(v->rvector);
    loesen(v->svector);
    v->typ = V_NONE;
    erg->typ = IZAHL;
    erg->izahl = 0;
    return 0;
}

namespace {
bool ist_vektorcode(uint32_t typ) { return typ >= O::V_BVECTOR && typ <= O::V_SVECTOR; }
}  // namespace

// Loest den Vektor p von allen globalen Variablen und allen Slots laufender Aufrufe
// und merkt ihn zur Freigabe vor.
void Orvu::vektor_loesen(void* p) {
    auto loesen = [p](Var& v) {
        bool traf = false;
        auto feld = [&](auto*& zeiger) {
            if (static_cast<void*>(zeiger) == p) {
                zeiger = nullptr;
                traf = true;
            }
        };
        feld(v.bvector);
        feld(v.ivector);
        feld(v.fvector);
        feld(v.rvector);
        feld(v.svector);
        if (traf && ist_vektorcode(v.typ)) v.typ = V_NONE;
    };
    for (Var& v : var) loesen(v);
    for (size_t i = 0; i < belegt; ++i)
        for (size_t j = 0; j < lokale[i].n; ++j) loesen(lokale[i].slots[j]);
    vreg.vormerken(p);
}
