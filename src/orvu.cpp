// SPDX-License-Identifier: MIT
// Ausfuehrung: der Laeufer berechne, Anweisungen (work_anw), Terme (wert), Funktionsaufrufe.
#include "orvu.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <new>
#include <stdexcept>
#include <cstdlib>
#include <cstring>

Orvu::Orvu() {
    const char* l = std::getenv("ORVU_LANGSAM");
    schnellwege = !(l && *l && std::strcmp(l, "0") != 0);
}

Orvu::~Orvu() = default;

std::ostream& Orvu::meld(int ort) {
    *fehler << "src/orvu" << ort;
    return *fehler;
}

void Orvu::zahl_text(std::string& s, int64_t z) {
    char puf[24];
    auto r = std::to_chars(puf, puf + sizeof puf, z);
    s.append(puf, r.ptr);
}

// Wie die Voreinstellung eines Ausgabestroms: 6 gueltige Stellen, kuerzeste Schreibweise.
void Orvu::fzahl_text(std::string& s, double x) {
    char puf[40];
    int n = snprintf(puf, sizeof puf, "%g", x);
    s.append(puf, static_cast<size_t>(n));
}

bool Orvu::im_sandkasten(const char* was) {
    if (!sandkasten) return false;
    meld(150) << " " << was << " ist im Sandkasten nicht erlaubt\n";
    return true;
}

bool Orvu::budget_ende() {
    if (!grenzen.budget_zu_ende()) return false;
    meld(151) << " Schrittbudget erschoepft\n";
    return true;
}

bool Orvu::zu_lang(size_t n) {
    if (!grenzen.zu_lang(n)) return false;
    meld(152) << " Text oder Vektor zu lang: " << n << " > " << max_laenge << "\n";
    return true;
}

// ---------------------------------------------------------------- Laeufer

void Orvu::globale_anlegen() {
    static const char* const namen[ANZ_VORDEF] = {
        "&0", "&1", "&2", "&3", "&4", "&5", "&6", "&7", "&8", "&9",
        "&", "$", "$$", "TA", "ZNR", "POS", "TAG", "UHR", "CPUZEIT", "RECSIZE",
        "BREITE", "HOEHE", "RECHTS", "HOCH", "EINHEIT", "PIXEL", "STRICH",
        "LOGO_X", "LOGO_Y", "LOGO_W"};
    static const double zeichnung[10] = {100, 100, 50, 50, 1, 3.7037037037037033, 0.3, 0, 0, 0};
    var.clear();
    for (int i = 0; i < ANZ_VORDEF; ++i) {
        Var& v = var.emplace_back();
        v.name = namen[i];
        if (i < 10) {
            v.typ = V_TEXT;
            v.text = argtext[i];
        } else if (i <= V_TA) {
            v.typ = V_TEXT;
        } else if (i == V_ZNR || i == V_POS || i == V_RECSIZE) {
            v.typ = V_IZAHL;
        } else if (i >= 20) {
            v.typ = V_FZAHL;
            v.fzahl = zeichnung[i - 20];
        }
    }
}

bool Orvu::var_vektor_freigeben(Var& v) {
    bool hatte = v.hat_vektor();
    if (v.bvector) vektor_freigeben(v.bvector);
    else if (v.ivector) vektor_freigeben(v.ivector);
    else if (v.fvector) vektor_freigeben(v.fvector);
    else if (v.rvector) vektor_freigeben(v.rvector);
    else if (v.svector) vektor_freigeben(v.svector);
    return hatte;
}

void Orvu::vektoren_freigeben() {
    for (Var& v : var) var_vektor_freigeben(v);
}

void Orvu::nimm_eingabe(FILE* f) {
    ein = f;
    leser = f ? std::make_unique<Leser>(f) : nullptr;
}

// Ein Lauf; erschoepfter Speicher endet mit einer Meldung statt mit einem Abbruch.
// Danach sind die Dateien von EIN und AUS geschlossen; scheitert das Schreiben von AUS,
// endet der Lauf mit Status 1.
int Orvu::berechne(Argumente* arg) {
    int rc = 1;
    bool fertig = false;
    try {
        rc = berechne_lauf(arg);
        fertig = true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    if (!fertig) {
        if (fehler) meld(153) << " zu wenig Speicher\n";
        lauf_fehler = true;
    }
    if (eigene_schliessen()) {
        lauf_fehler = true;
        rc = 1;
    }
    return rc;
}

// Schliesst die von EIN und AUS geoeffneten Dateien; 1, wenn eine geschriebene nicht
// vollstaendig auf die Platte kam (gemeldet).
int Orvu::eigene_schliessen() {
    nimm_eingabe(nullptr);
    aus = nullptr;
    int rc = 0;
    for (EigeneDatei& d : eigene_dateien) {
        const int e = d.datei.schliessen();
        if (e != 0 && d.geschrieben) {
            if (fehler) meld(154) << " schreibfehler ausgabedatei " << d.name << ": "
                                  << std::strerror(e) << "\n";
            rc = 1;
        }
    }
    eigene_dateien.clear();
    return rc;
}

int Orvu::berechne_lauf(Argumente* arg) {
    const uintptr_t basis = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    grenzen.stapel_ab(basis);
    fehler = arg->fehler;
    lauf_fehler = true;
    if (!arg->aus && !arg->aus_stream) {
        meld(101) << " keine Ausgabedatei\n";
        return 1;
    }
    nimm_eingabe(arg->ein);
    aus = arg->aus;
    aus_stream = arg->aus_stream;
    globale_anlegen();
    anw_seq.clear();

    const char* text = arg->steuerung ? arg->steuerung : "";
    if (*text == '\0') {
        meld(102) << "Keine Anweisungen gefunden 1\n";
        return 1;
    }
    for (;;) {
        Anw anw;
        int r = get_anw(&text, anw);
        if (r == 2) break;
        if (r == 1) {
            meld(103) << " fehler \n";
            return 1;
        }
        if (r == 0) anw_seq.push_back(anw);
    }
    if (anw_seq.empty()) {
        meld(104) << "Keine Anweisungen gefunden 2\n";
        return 1;
    }

    Marken m;
    status = 0;
    if (prolog) {
        if (work_anw(prolog, m)) {
            meld(105) << " fehler\n";
            return 1;
        }
        FILE* f = nullptr;
        if (datei_aus_var("EIN", "rb", "eingabedatei fehler\n", f)) return 1;
        if (f) {
            arg->ein = f;
            nimm_eingabe(f);
        }
        f = nullptr;
        if (datei_aus_var("AUS", "wb", "ausgabedatei fehler\n", f)) return 1;
        if (f) arg->aus = aus = f;
    }
    if (leser) {
        if (datensaetze(m)) return 1;
    } else {
        for (Anw& a : anw_seq) {
            if (work_anw(&a, m)) {
                meld(106) << " fehler\n";
                return 1;
            }
            if (m.irgendeine()) break;
        }
    }
    if (var[V_ZNR].izahl > 0) *fehler << var[V_ZNR].izahl << " Zeilen bearbeitet\n";
    if (epilog && work_anw(epilog, m)) {
        meld(107) << " fehler\n";
        return 1;
    }
    vektoren_freigeben();
    var.clear();
    lauf_fehler = false;
    return status;
}

// Oeffnet die Datei, die eine Variable des Namens (EIN, AUS) nennt; ohne Variable bleibt
// f null. Misslingt das Oeffnen, steht meldung auf der Standardausgabe: 1.
int Orvu::datei_aus_var(const char* name, const char* modus, const char* meldung, FILE*& f) {
    for (Var& v : var) {
        if (v.name != name) continue;
        if (im_sandkasten(name)) return 1;
        Datei d(v.text.c_str(), modus);
        if (!d) {
            fputs(meldung, stdout);
            return 1;
        }
        f = d.get();
        eigene_dateien.push_back({std::move(d), v.text, modus[0] != 'r'});
        return 0;
    }
    return 0;
}

// Die Schleife ueber die Datensaetze der Eingabe: Zeilen oder Bloecke fester Laenge.
int Orvu::datensaetze(Marken& m) {
    Var& znr = var[V_ZNR];
    Var& pos = var[V_POS];
    Var& rec = var[V_REC];
    znr.typ = V_IZAHL;
    znr.izahl = 0;
    for (;;) {
        pos.typ = V_IZAHL;
        pos.izahl = leser->pos();
        recsize = static_cast<int32_t>(var[V_RECSIZE].izahl);
        if (recsize > 0) {
            size_t n = leser->block(static_cast<size_t>(recsize), rec.text);
            if (n == 0) break;
            if (n < static_cast<size_t>(recsize)) {
                *fehler << " letzte Zeile zu kurz\n";
                break;
            }
        } else if (leser->zeile(rec.text)) {
            break;
        }
        rec.typ = V_TEXT;
        if (schritt_erschoepft()) return 1;  // auch Datensaetze zaehlen (POS kann zuruecksetzen)
        for (Anw& a : anw_seq) {
            if (work_anw(&a, m)) {
                meld(108) << " fehler\n";
                return 1;
            }
            if (m.irgendeine()) break;
        }
        if (m.brk || m.ret) break;
        m.cont = 0;
        ++znr.izahl;
    }
    if (leser->fehler()) {
        meld(109) << " lesefehler eingabe: " << std::strerror(errno) << "\n";
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- Anweisungen

int Orvu::work_anw(Anw* anw, Marken& m) {
    switch (anw->kind) {
    case LEER:
        return 0;
    case CONTINUE:
        m.cont = 1;
        return 0;
    case BREAK:
        m.brk = 1;
        return 0;
    case AUSDRUCK: {
        if (schnellwege && wirkung(anw->ausdruck)) return 0;
        Term t;
        if (wert(anw->ausdruck, &t)) {
            meld(111) << " fehler\n";
            return 1;
        }
        return 0;
    }
    case IF: {
        bool b;
        if (!schnellwege || !bedingung(anw->ausdruck, b)) {
            Term t;
            if (wert(anw->ausdruck, &t)) {
                meld(112) << " fehler\n";
                return 1;
            }
            if (t.typ == BYTE) b = t.byte != 0;
            else if (t.typ == BOOL || t.typ == IZAHL) b = t.izahl != 0;
            else {
                meld(113) << " typ fehler " << t.typ << "\n";
                return 1;
            }
        }
        Anw* zweig = b ? anw->dann : anw->sonst;
        if (!zweig) return 0;
        Marken z;
        if (work_anw(zweig, z)) {
            meld(114) << " fehler\n";
            return 1;
        }
        m.brk |= z.brk;
        m.cont |= z.cont;
        m.ret |= z.ret;
        return 0;
    }
    case FOR: {
        if (!schnellwege || !wirkung(anw->init)) {
            Term t;
            if (wert(anw->init, &t)) {
                meld(115) << " fehler\n";
                return 1;
            }
        }
        for (;;) {
            bool weiter;
            if (!schnellwege || !bedingung(anw->ausdruck, weiter)) {
                Term c;
                if (wert(anw->ausdruck, &c)) {
                    meld(116) << " fehler\n";
                    return 1;
                }
                if (c.typ != BOOL && c.typ != IZAHL && c.typ != NONE) {
                    meld(117) << " fehler\n";
                    return 1;
                }
                weiter = c.typ == NONE || c.izahl != 0;
            }
            if (!weiter) break;
            Marken z;
            if (work_anw(anw->dann, z)) {
                meld(118) << " fehler\n";
                return 1;
            }
            if (z.ret) {
                m.ret = 1;
                break;
            }
            if (z.brk) break;
            if (schritt_erschoepft()) return 1;
            if (schnellwege && wirkung(anw->schritt)) continue;
            Term s;
            if (wert(anw->schritt, &s)) {
                meld(119) << " fehler\n";
                return 1;
            }
        }
        return 0;
    }
    case BLOCK:
        for (Anw& a : *anw->block) {
            if (a.kind == RETURN || a.kind == BREAK || a.kind == CONTINUE) {
                if (a.kind == RETURN) return return_anw(&a, m, true);
                if (a.kind == BREAK) m.brk = 1;
                else m.cont = 1;
                return 0;
            }
            Marken z;
            if (work_anw(&a, z)) {
                meld(120) << " fehler\n";
                return 1;
            }
            if (z.irgendeine()) {
                m.brk |= z.brk;
                m.cont |= z.cont;
                m.ret |= z.ret;
                return 0;
            }
        }
        return 0;
    case RETURN:
        return return_anw(anw, m, false);
    default:
        meld(121) << " anw_typ fehler " << anw->kind << " \n";
        return 1;
    }
}

// return [term]; im_block: steht direkt in einem Block (andere Meldungen).
int Orvu::return_anw(Anw* anw, Marken& m, bool im_block) {
    Klein k;
    if (oben && schnellwege && anw->ausdruck && rein(anw->ausdruck, k)) {
        klein_in_var(k, oben->slots[0]);
        m.brk = 1;
        m.ret = 1;
        return 0;
    }
    Term w;
    if (!anw->ausdruck || anw->ausdruck->typ == NONE) {
        w.typ = IZAHL;
        w.izahl = 0;
    } else if (wert(anw->ausdruck, &w)) {
        if (im_block) meld(122) << " fehler\n";
        else meld(123) << " fehler in work_anw bei return bei wert\n";
        return 1;
    }
    if (!oben) {
        if (w.typ != IZAHL) {
            meld(124) << " fehler in work_anw bei return bei wert\n";
            return 1;
        }
        status = static_cast<int32_t>(w.izahl);
        m.ret = 1;
        return 0;
    }
    Var& slot = oben->slots[0];
    switch (w.typ) {
    case IZAHL: slot.typ = V_IZAHL; slot.izahl = w.izahl; break;
    case BOOL: slot.typ = V_BOOL; slot.izahl = w.izahl; break;
    case FZAHL: slot.typ = V_FZAHL; slot.fzahl = w.fzahl; break;
    case RZAHL: slot.typ = V_RZAHL; slot.rzahl = w.rzahl; break;
    case BYTE: slot.typ = V_BYTE; slot.byte = w.byte; slot.izahl = w.izahl; break;
    case TEXT: slot.typ = V_TEXT; slot.text = std::move(w.text); break;
    case FVECTOR: slot.typ = V_FVECTOR; slot.fvector = w.fvector; break;
    case TERMLIST: slot.typ = V_TERMLIST; slot.termlist = w.termlist; break;
    default:
        if (im_block) meld(125) << " fehler in work_anw bei return mit typ " << w.typ << "\n";
        else meld(126) << " fehler in work_anw bei return bei wert\n";
        return 1;
    }
    m.brk = 1;
    m.ret = 1;
    return 0;
}

// ---------------------------------------------------------------- Auswertung

// Kopie eines Literalwerts: nur das Feld, das der Typ benutzt.
void Orvu::wert_kopieren(const Term& k, Term& w) {
    w.typ = k.typ;
    switch (k.typ) {
    case IZAHL: case BOOL: w.izahl = k.izahl; break;
    case RZAHL: w.rzahl = k.rzahl; break;
    case FZAHL: w.fzahl = k.fzahl; break;
    case TEXT: w.text = k.text; break;
    default: w = k; break;
    }
}

int Orvu::wert_allgemein(Term* k, Term* erg) {
    if (!k) {
        erg->typ = NONE;
        return 0;
    }
    switch (k->typ) {
    case OPER: {
        if (stapel_knapp()) {
            meld(130) << " Stapel erschoepft: Ausdruck oder Rekursion zu tief\n";
            return 1;
        }
        erg->izahl = k->izahl;
        vreg.handler_beginnt();
        const int rc = (this->*(k->handler))(k->larg, k->rarg, erg);
        vreg.handler_endet();
        if (rc) {
            meld(131) << " fehler bei wert\n";
            return 1;
        }
        return 0;
    }
    case VARREF:
        return lies_var(k, erg);
    case FUNCALL:
        return funktion_aufrufen(k, erg);
    case NONE: case IZAHL: case RZAHL: case FZAHL: case BOOL: case TEXT:
        wert_kopieren(*k, *erg);
        return 0;
    case BYTE:
        erg->typ = BYTE;
        erg->byte = k->byte;
        erg->izahl = k->izahl;
        return 0;
    case IZAHLPTR:
        erg->typ = IZAHL;
        erg->izahl = *k->izahlptr;
        return 0;
    case TEXTPTR:
        erg->typ = TEXTPTR;
        erg->textptr = k->textptr;
        return 0;
    case FUNREF:
        erg->typ = FUNREF;
        erg->izahl = k->izahl;
        return 0;
    case NLOBJ: case VEKOOBJ:
        erg->typ = k->typ;
        erg->objekt = k->objekt;
        return 0;
    case BVECTOR: case IVECTOR: case RVECTOR: case FVECTOR: case SVECTOR: case TERMLIST:
        erg->typ = k->typ;
        erg->bvector = k->bvector;
        erg->ivector = k->ivector;
        erg->rvector = k->rvector;
        erg->fvector = k->fvector;
        erg->svector = k->svector;
        erg->termlist = k->termlist;
        return 0;
    default:
        meld(132) << " fehler bei wert, term_typ " << k->typ << "\n";
        return 1;
    }
}


// Lokaler Slot des innersten Aufrufs; nullptr (mit Meldung), wenn es ihn nicht gibt,
// etwa fuer eine lokale Variable in einem Prolog, das im Rumpf einer Funktion steht.
Orvu::Var* Orvu::lokal_slot(int64_t index) {
    if (!oben || index < 0 || static_cast<size_t>(index) >= oben->n) {
        meld(134) << " lokale Variable ausserhalb ihrer Funktion\n";
        return nullptr;
    }
    return &oben->slots[static_cast<size_t>(index)];
}

int Orvu::lies_var(Term* k, Term* erg) {
    if (!k->lokal && (k->izahl == V_TAG || k->izahl == V_UHR || k->izahl == V_CPUZEIT))
        return zeit_var(static_cast<int>(k->izahl), erg);
    Var* v = variable(k);
    return v ? var_lesen(*v, erg) : 1;
}

// Var-Code -> Werttyp einer gelesenen Variablen.
int Orvu::var_lesen(const Var& v, Term* erg) {
    switch (v.typ) {
    case V_IZAHL: case V_BOOL: erg->typ = IZAHL; erg->izahl = v.izahl; return 0;
    case V_RZAHL: erg->typ = RZAHL; erg->rzahl = v.rzahl; return 0;
    case V_FZAHL: erg->typ = FZAHL; erg->fzahl = v.fzahl; return 0;
    case V_TEXT: erg->typ = TEXT; erg->text = v.text; return 0;
    case V_BYTE: erg->typ = BYTE; erg->byte = v.byte; erg->izahl = v.byte; return 0;
    case V_IZAHLPTR: erg->typ = IZAHL; erg->izahl = *v.izahlptr; return 0;
    case V_TEXTPTR: erg->typ = TEXT; erg->text = *v.textptr; return 0;
    case V_TERMLIST: erg->typ = TERMLIST; erg->termlist = v.termlist; return 0;
    case V_BVECTOR: erg->typ = BVECTOR; erg->bvector = v.bvector; return 0;
    case V_IVECTOR: erg->typ = IVECTOR; erg->ivector = v.ivector; return 0;
    case V_RVECTOR: erg->typ = RVECTOR; erg->rvector = v.rvector; return 0;
    case V_FVECTOR: erg->typ = FVECTOR; erg->fvector = v.fvector; return 0;
    case V_SVECTOR: erg->typ = SVECTOR; erg->svector = v.svector; return 0;
    case V_NL: erg->typ = NLOBJ; erg->objekt = v.objekt; return 0;
    case V_VEKO: erg->typ = VEKOOBJ; erg->objekt = v.objekt; return 0;
    case V_RDIR: erg->typ = RDIROBJ; erg->objekt = v.objekt; return 0;
    default:
        meld(133) << " var '" << v.name << "' hat ungueltigen typ" << v.typ << "\n";
        return 1;
    }
}

namespace {
// Setzt einen wiederverwendeten Slot auf den Zustand einer neuen Variablen zurueck
// (der Textpuffer behaelt seine Kapazitaet).
void leeren(Orvu::Var& v) {
    v.typ = Orvu::V_NONE;
    v.text.clear();
    v.objekt = nullptr;
    v.izahlptr = nullptr;
    v.textptr = nullptr;
    v.bvector = nullptr;
    v.ivector = nullptr;
    v.rvector = nullptr;
    v.fvector = nullptr;
    v.svector = nullptr;
    v.termlist = nullptr;
    v.veko = nullptr;
}
}  // namespace

// Naechsten freien Rahmen belegen; er wird erst nach den Argumenten zum obersten.
Orvu::Rahmen& Orvu::rahmen_belegen(size_t slots) {
    if (belegt == lokale.size()) lokale.emplace_back();
    Rahmen& r = lokale[belegt++];
    if (r.slots.size() < slots) r.slots.resize(slots);
    r.n = 1;
    leeren(r.slots[0]);
    return r;
}

int Orvu::funktion_aufrufen(Term* k, Term* erg) {
    Fun& f = funktionen[static_cast<size_t>(k->izahl)];
    if (stapel_knapp()) {  // Rekursion ohne Operator dazwischen, etwa f(x) ruft f(x)
        meld(145) << " Stapel erschoepft: Ausdruck oder Rekursion zu tief\n";
        return 1;
    }
    if (aufruftiefe >= MAX_AUFRUFTIEFE) {
        meld(143) << " function " << f.name << ": Aufruftiefe " << MAX_AUFRUFTIEFE
                  << " ueberschritten\n";
        return 1;
    }
    const size_t slots = std::max(f.namen.size(), k->termlist->size() + 1);
    Rahmen& r = rahmen_belegen(slots);
    struct Freigabe {
        Orvu& o;
        Rahmen* alt;
        ~Freigabe() {
            --o.belegt;
            o.oben = alt;
        }
    } freigabe{*this, oben};
    for (Term& a : *k->termlist) {
        Klein kw;
        if (schnellwege && rein(&a, kw)) {
            Var& v = r.slots[r.n++];
            leeren(v);
            klein_in_var(kw, v);
            continue;
        }
        Term w;
        if (wert(&a, &w)) return 1;
        Var& v = r.slots[r.n++];
        leeren(v);
        if (var_aus_wert(w, v, false)) {
            meld(141) << " term hat ungueltigen typ" << w.typ << "\n";
            return 1;
        }
    }
    const size_t n = r.n - 1;
    if (n != f.anzahl) {
        *fehler << "function " << f.name << " definiert mit " << f.anzahl
                << " Argumenten\n        aber aufgerufen mit " << n << " Argumenten\n";
        return 1;
    }
    if (!*k->fun_anw) {
        meld(142) << " function " << f.name << " ist nur deklariert, nicht definiert\n";
        return 1;
    }
    if (schritt_erschoepft()) return 1;
    for (; r.n < f.namen.size(); ++r.n) leeren(r.slots[r.n]);
    oben = &r;
    ++aufruftiefe;
    Marken m;
    int rc = work_anw(*k->fun_anw, m);
    --aufruftiefe;
    if (rc) return 1;
    Var& slot = r.slots[0];
    switch (slot.typ) {
    case V_NONE: erg->typ = NONE; return 0;
    case V_BOOL: erg->typ = BOOL; erg->izahl = slot.izahl; return 0;
    case V_TEXT: erg->typ = TEXT; erg->text = std::move(slot.text); return 0;
    case V_IZAHL: case V_RZAHL: case V_FZAHL: case V_BYTE:
    case V_TERMLIST: case V_BVECTOR: case V_IVECTOR: case V_RVECTOR:
    case V_FVECTOR: case V_SVECTOR:
        return var_lesen(slot, erg);
    default:
        meld(144) << " ungueltiger typ\n";
        return 1;
    }
}
