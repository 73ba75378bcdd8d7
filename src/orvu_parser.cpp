// SPDX-License-Identifier: MIT
// Vom Text zu Anweisungen: Tokenizer, Termzerleger (Split am lockersten Operator), Anweisungen.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "orvu.h"
#include "orvu_tabelle.h"
#include "up.h"

namespace {
bool buchstabe(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool ziffer(char c) { return c >= '0' && c <= '9'; }
bool namenszeichen(char c) { return buchstabe(c) || ziffer(c) || c == '_'; }

bool ist(const Orvu::Tok& t, Orvu::TOK_TYP typ) { return t.typ == typ; }
bool auf(const Orvu::Tok& t) {
    return t.typ == Orvu::TOK_RUND_AUF || t.typ == Orvu::TOK_ECKIG_AUF;
}
bool ist_wort(const Orvu::Tok& t, const char* w) {
    return t.typ == Orvu::TOK_WORT && t.text == w;
}

// Zaehlt "(" ")" und "[" "]" getrennt; true, wenn eine Tiefe negativ wurde.
bool klammer_zaehlen(const Orvu::Tok& t, int& rund, int& eckig) {
    switch (t.typ) {
    case Orvu::TOK_RUND_AUF: ++rund; break;
    case Orvu::TOK_RUND_ZU: --rund; break;
    case Orvu::TOK_ECKIG_AUF: ++eckig; break;
    case Orvu::TOK_ECKIG_ZU: --eckig; break;
    default: break;
    }
    return rund < 0 || eckig < 0;
}

// Ende der Gruppe, die bei i mit "(" oder "[" beginnt, bis einschliesslich grenze;
// -1 bei negativer Tiefe, -2 wenn die Gruppe bis grenze offen bleibt.
int gruppen_ende(const std::vector<Orvu::Tok>& toks, int i, int grenze) {
    int rund = 0, eckig = 0;
    for (int j = i; j <= grenze; ++j) {
        if (klammer_zaehlen(toks[j], rund, eckig)) return -1;
        if (rund == 0 && eckig == 0) return j;
    }
    return -2;
}

const char* const schluesselwoerter[] = {"prolog", "epilog", "function", "break", "return",
                                         "continue", "for", "if", "else", "include"};
}  // namespace

// Wachtposten gegen zu tiefe Schachtelung beim Zerlegen.
struct Orvu::Tiefe {
    Orvu& o;
    explicit Tiefe(Orvu& o_) : o(o_) { ++o.parsetiefe; }
    ~Tiefe() { --o.parsetiefe; }
    bool zu_tief() {
        if (o.parsetiefe <= MAX_SCHACHTELUNG && !o.stapel_knapp()) return false;
        o.meld(201) << " Schachtelung zu tief (mehr als " << MAX_SCHACHTELUNG << " Ebenen)\n";
        return true;
    }
};

// ---------------------------------------------------------------- Tokenizer

int Orvu::get_tok(const char** cursor, Tok& tok) {
    const char* p = *cursor;
    if (weisse_zeichen(&p)) return 1;
    tok = Tok{};
    const char c = *p;
    auto einzel = [&](TOK_TYP t) {
        tok.typ = t;
        *cursor = p + 1;
        return 0;
    };
    switch (c) {
    case '\0': tok.typ = TOK_ENDE; *cursor = p; return 0;
    case ';': return einzel(TOK_SEMIKOLON);
    case '{': return einzel(TOK_SCHWEIF_AUF);
    case '}': return einzel(TOK_SCHWEIF_ZU);
    case '(': tok.prio = prio::KLAMMER; return einzel(TOK_RUND_AUF);
    case ')': tok.prio = prio::KLAMMER; return einzel(TOK_RUND_ZU);
    case '[': return einzel(TOK_ECKIG_AUF);
    case ']': return einzel(TOK_ECKIG_ZU);
    case '.': return einzel(TOK_PUNKT);
    case ',': tok.prio = prio::LISTE; return einzel(TOK_OPERATOR);
    default: break;
    }
    for (int i = 0; i < anz_op_zeichen; ++i) {
        const OpZeichen& o = op_zeichen[i];
        if (std::strncmp(p, o.zeichen.data(), o.zeichen.size()) == 0) {
            tok.typ = TOK_OPERATOR;
            tok.handler = o.handler;
            tok.izahl = o.code;
            tok.prio = o.prio;
            *cursor = p + o.zeichen.size();
            return 0;
        }
    }
    if (c == '$' || c == '&') {
        tok.typ = TOK_VAR;
        tok.prio = prio::WERT;
        size_t n = 1;
        if (c == '$') {
            n = p[1] == '$' ? 2 : 1;
            tok.izahl = n == 2 ? V_DOLLAR2 : V_DOLLAR;
        } else if (ziffer(p[1])) {
            n = 2;
            tok.izahl = p[1] - '0';
        } else if (buchstabe(p[1])) {
            tok.typ = TOK_REFERENZ;
            tok.prio = prio::REFERENZ;
        } else {
            tok.izahl = V_REC;
        }
        tok.text.assign(p, n);
        *cursor = p + n;
        return 0;
    }
    if (ziffer(c)) {
        if (get_zahl(&p, tok)) {
            meld(202) << " fehler\n";
            return 1;
        }
        *cursor = p;
        return 0;
    }
    if (c == '"' || c == '\'') {
        if (get_text(&p, tok.text)) {
            meld(203) << " fehler\n";
            return 1;
        }
        tok.typ = TOK_TEXT;
        tok.prio = prio::WERT;
        *cursor = p;
        return 0;
    }
    if (buchstabe(c)) {
        if (get_name(&p, tok)) return 1;
        *cursor = p;
        return 0;
    }
    meld(204) << " ungueltiges zeichen '" << p << "'\n";
    return 1;
}

// Name: Builtin, Schluesselwort, Konstante, reservierte Variable, Funktion, Variable.
int Orvu::get_name(const char** cursor, Tok& tok) {
    const char* p = *cursor;
    const char* a = p;
    while (namenszeichen(*p)) ++p;
    std::string name(a, static_cast<size_t>(p - a));
    tok.text = name;
    if (const BuiltinName* b = builtin_suchen(name)) {
        for (const Var& v : var) {
            if (v.name == name) {
                meld(205) << " Operator schon als Var verwendet:" << name << ".\n";
                return 1;
            }
        }
        opnamen.push_back(name);
        tok.typ = TOK_OPERATOR;
        tok.prio = prio::BUILTIN;
        tok.handler = b->handler;
        tok.izahl = b->code;
        if (sandkasten && b->faehig != Faehig::rein) {
            // Fail-closed: jeder Name, der nach aussen reicht, verweigert im Sandkasten;
            // der Code ist dann die Zeile der Tabelle, damit die Meldung den Namen nennt.
            tok.handler = &Orvu::verweigert;
            tok.izahl = b - builtin_tabelle().data();
        }
        *cursor = p;
        return 0;
    }
    *cursor = p;
    for (const char* w : schluesselwoerter) {
        if (name == w) {
            tok.typ = TOK_WORT;
            return 0;
        }
    }
    tok.prio = prio::WERT;
    if (name == "PI" || name == "EULER") {
        tok.typ = TOK_FZAHL;
        tok.fzahl = name == "PI" ? 3.141592653589793 : 2.718281828459045;
        return 0;
    }
    if (name == "JULDAT" || name == "LLONG_MAX" || name == "LLONG_MIN") {
        tok.typ = TOK_IZAHL;
        tok.izahl = name == "JULDAT" ? 1721060 : name == "LLONG_MAX" ? LLONG_MAX : LLONG_MIN;
        return 0;
    }
    static const char* const reserviert[] = {"TA", "ZNR", "POS", "TAG", "UHR", "CPUZEIT",
                                             "RECSIZE"};
    for (int i = 0; i < 7; ++i) {
        if (name == reserviert[i]) {
            tok.typ = TOK_VAR;
            tok.izahl = V_TA + i;
            return 0;
        }
    }
    for (size_t i = 0; i < funktionen.size(); ++i) {
        if (funktionen[i].name == name) {
            tok.typ = TOK_FUNKTION;
            tok.izahl = static_cast<int64_t>(i);
            tok.prio = prio::BUILTIN;
            return 0;
        }
    }
    tok.typ = TOK_VAR;
    if (akt_fun >= 0) {
        std::vector<std::string>& namen = funktionen[static_cast<size_t>(akt_fun)].namen;
        for (size_t i = 0; i < namen.size(); ++i) {
            if (namen[i] == name) {
                tok.lokal = 1;
                tok.izahl = static_cast<int64_t>(i);
                return 0;
            }
        }
    }
    for (size_t i = 0; i < var.size(); ++i) {
        if (var[i].name == name) {
            tok.izahl = static_cast<int64_t>(i);
            return 0;
        }
    }
    if (akt_fun >= 0) {
        std::vector<std::string>& namen = funktionen[static_cast<size_t>(akt_fun)].namen;
        if (namen.empty()) namen.emplace_back();
        tok.lokal = 1;
        tok.izahl = static_cast<int64_t>(namen.size());
        namen.push_back(name);
        return 0;
    }
    tok.izahl = static_cast<int64_t>(var.size());
    var.emplace_back().name = name;
    return 0;
}

// Zahlliteral: mit Praefix 0b/0i, 0o, 0d/0z, 0x (modulo 2^64) oder dezimal / Gleitkomma.
int Orvu::get_zahl(const char** cursor, Tok& tok) {
    const char* p = *cursor;
    while (*p == ' ') ++p;
    const char* anfang = p;
    int basis = 0;
    if (p[0] == '0') {
        switch (p[1]) {
        case 'b': case 'i': basis = 2; break;
        case 'o': basis = 8; break;
        case 'd': case 'z': basis = 10; break;
        case 'x': basis = 16; break;
        default: break;
        }
    }
    tok.prio = prio::WERT;
    if (basis) {
        p += 2;
        uint64_t w = 0;
        for (;; ++p) {
            int d;
            char c = *p;
            if (c == '_') continue;
            if (ziffer(c)) d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else break;
            if (d >= basis) break;
            w = w * static_cast<uint64_t>(basis) + static_cast<uint64_t>(d);
        }
        tok.typ = TOK_IZAHL;
        tok.izahl = static_cast<int64_t>(w);
        *cursor = p;
        return 0;
    }
    if (!ziffer(*p)) {
        meld(211) << "Fehler in Zahl " << anfang << "\n";
        return 1;
    }
    std::string s;
    bool gleit = false, punkt = false;
    for (;; ++p) {
        char c = *p;
        if (ziffer(c)) {
            s += c;
        } else if (c == '_') {
        } else if (c == '.') {
            if (punkt) {
                meld(212) << "Fehler in Zahl " << anfang << "\n";
                return 1;
            }
            punkt = gleit = true;
            s += c;
        } else if (c == 'e' || c == 'E') {
            gleit = true;
            s += c;
            ++p;
            if (*p == '+' || *p == '-') s += *p++;
            else if (!ziffer(*p)) {
                meld(213) << "Fehler in Zahl " << anfang << "\n";
                return 1;
            }
            while (ziffer(*p)) s += *p++;
            break;
        } else {
            break;
        }
    }
    if (gleit) {
        errno = 0;
        long double w = std::strtold(s.c_str(), nullptr);
        double d = static_cast<double>(w);
        if (errno == ERANGE) {  // jenseits von long double; jenseits von double: inf
            meld(214) << " Gleitkommazahl ausserhalb des Wertebereichs: " << s << "\n";
            return 1;
        }
        tok.typ = TOK_FZAHL;
        tok.fzahl = d;
    } else {
        int64_t w = 0;
        for (char c : s) {
            if (__builtin_mul_overflow(w, 10, &w) || __builtin_add_overflow(w, c - '0', &w)) {
                meld(215) << " Zahl passt nicht in 64 Bit: " << s << "\n";
                return 1;
            }
        }
        tok.typ = TOK_IZAHL;
        tok.izahl = w;
    }
    *cursor = p;
    return 0;
}

// Textliteral zwischen zwei gleichen Anfuehrungszeichen, mit Backslash-Folgen.
int Orvu::get_text(const char** cursor, std::string& text) {
    const char* anfang = *cursor;
    const char ende = *anfang;
    const char* p = anfang + 1;
    text.clear();
    for (;;) {
        char c = *p;
        if (c == ende) break;
        if (c == '\0') {
            meld(221) << "Ende Quotierung " << ende << " fehlt " << anfang << "\n";
            return 1;
        }
        if (c != '\\') {
            const char* q = p;
            while (*q && *q != ende && *q != '\\') ++q;
            text.append(p, static_cast<size_t>(q - p));
            p = q;
            continue;
        }
        if (p[1] == '\n') {
            p += 2;
        } else if (p[1] == '\r' && p[2] == '\n') {
            p += 3;
        } else {
            char puf[8];
            int n = get_backslash(&p, puf, *fehler);
            if (n < 0) {
                meld(222) << "Backslash fehler\n";
                return 1;
            }
            text.append(puf, static_cast<size_t>(n));
        }
    }
    *cursor = p + 1;
    return 0;
}

// ---------------------------------------------------------------- Termzerleger

int Orvu::oper_suchen(std::vector<Tok>& toks, int b, int e, int& pos) {
    pos = -1;
    int erst = b;
    while (erst < e && ist(toks[erst], TOK_OPERATOR)) ++erst;
    int letzt = e - 1;
    while (letzt >= b && ist(toks[letzt], TOK_OPERATOR)) --letzt;
    int beste = prio::WERT;
    for (int i = erst; i < letzt;) {
        const Tok& t = toks[i];
        if (auf(t)) {
            int j = gruppen_ende(toks, i, letzt);
            if (j < 0) {
                meld(231) << " Klammerfehler\n";
                return 1;
            }
            i = j + 1;
        } else if (ist(t, TOK_OPERATOR) && t.prio != prio::INKREMENT) {
            if (t.prio <= beste) {
                beste = t.prio;
                pos = i;
            }
            ++i;
            while (i < e && ist(toks[i], TOK_OPERATOR)) ++i;
        } else {
            ++i;
        }
    }
    return 0;
}

// Operand [a, e) in einen neuen Knoten; leer -> nullptr (ausser behalte_leer).
int Orvu::operand(std::vector<Tok>& toks, int a, int e, Term*& ziel, bool behalte_leer) {
    ziel = nullptr;
    Term* t = neuer_term();
    if (get_term(*t, toks, a, e)) return 1;
    if (t->typ != NONE || behalte_leer) ziel = t;
    return 0;
}

int Orvu::oper_knoten(Term& term, const Tok& op, std::vector<Tok>& toks, int lb, int le, int rb,
                      int re) {
    if (!op.handler) {  // ein Komma ohne Liste: kein anwendbarer Operator
        meld(232) << " fehler\n";
        return 1;
    }
    term.typ = OPER;
    term.handler = op.handler;
    term.izahl = op.izahl;
    bool prefix = lb == le && rb < re;
    if (operand(toks, lb, le, term.larg, false) || operand(toks, rb, re, term.rarg, prefix)) {
        meld(233) << " fehler\n";
        return 1;
    }
    return 0;
}

int Orvu::get_term(Term& term, std::vector<Tok>& toks, int b, int e) {
    if (b >= e) {
        term.typ = NONE;
        return 0;
    }
    Tiefe tiefe(*this);
    if (tiefe.zu_tief()) return 1;
    const int g = e - 1;
    if (auf(toks[b])) {
        int m = gruppen_ende(toks, b, g);
        if (m < 0) {
            meld(241) << " Klammerfehler \n";
            return 1;
        }
        if (m == g) return get_term(term, toks, b + 1, g);
    }
    if (b == g) return blatt(term, toks[b]);
    int p;
    if (oper_suchen(toks, b, e, p)) {
        meld(242) << " fehler " << toks[b].typ << "\n";
        return 1;
    }
    if (p >= 0) {
        if (toks[p].prio == prio::LISTE) return get_arglist(term, toks, b, e);
        return oper_knoten(term, toks[p], toks, b, p, p + 1, e);
    }
    if (ist(toks[b], TOK_OPERATOR)) return oper_knoten(term, toks[b], toks, b, b, b + 1, e);
    if (ist(toks[g], TOK_OPERATOR)) {
        for (int k = g; k > b && ist(toks[k], TOK_OPERATOR); --k)
            if (toks[k].prio == prio::ZUWEISUNG) return oper_knoten(term, toks[k], toks, b, k, k + 1, e);
        return oper_knoten(term, toks[g], toks, b, g, g, g);
    }
    if (ist(toks[g], TOK_ECKIG_ZU)) return index_knoten(term, toks, b, e);
    if (ist(toks[b], TOK_FUNKTION)) return aufruf_knoten(term, toks, b, e);
    meld(243) << " get_term fehler\n";
    for (int i = b; i <= g; ++i) {
        const Tok& t = toks[i];
        *fehler << i << ": ";
        if (t.typ == TOK_IZAHL) *fehler << t.izahl;
        else if (t.typ == TOK_FZAHL) *fehler << t.fzahl;
        else if (t.typ == TOK_TEXT || t.typ == TOK_VAR) *fehler << t.text;
        else *fehler << "tok_typ " << t.typ;
        *fehler << "\n";
    }
    return 1;
}

int Orvu::blatt(Term& term, const Tok& t) {
    switch (t.typ) {
    case TOK_IZAHL: term.typ = IZAHL; term.izahl = t.izahl; return 0;
    case TOK_FZAHL: term.typ = FZAHL; term.fzahl = t.fzahl; return 0;
    case TOK_TEXT: term.typ = TEXT; term.text = t.text; return 0;
    case TOK_MUSTER: term.typ = MUSTER; term.muster = t.muster; return 0;
    case TOK_FUNKTION: term.typ = FUNREF; term.izahl = t.izahl; return 0;
    case TOK_VAR:
        term.typ = VARREF;
        term.izahl = t.izahl;
        term.lokal = static_cast<uint32_t>(t.lokal);
        return 0;
    case TOK_OPERATOR:
        if (!t.handler) break;
        term.typ = OPER;
        term.handler = t.handler;
        term.izahl = t.izahl;
        return 0;
    default:
        break;
    }
    meld(244) << " fehler\n";
    return 1;
}

// x[i]: das "[" zum letzten "]" suchen (nur eckige Klammern zaehlen).
int Orvu::index_knoten(Term& term, std::vector<Tok>& toks, int b, int e) {
    const int g = e - 1;
    int zaehler = 0, k = g;
    for (; k > b; --k) {
        if (ist(toks[k], TOK_ECKIG_ZU)) --zaehler;
        else if (ist(toks[k], TOK_ECKIG_AUF) && ++zaehler == 0) break;
    }
    if (k == b) {
        meld(251) << " Fehler in Term ab Token '" << toks[b].text << "'\n";
        return 1;
    }
    term.typ = OPER;
    term.handler = &Orvu::indizierung;
    term.izahl = 0;
    term.lokal = static_cast<uint32_t>(toks[k - 1].lokal);
    if (operand(toks, b, k, term.larg, false) || operand(toks, k + 1, g, term.rarg, false) ||
        !term.larg || !term.rarg) {
        meld(252) << " fehler \n";
        return 1;
    }
    return 0;
}

// f(a, b): Aufruf einer Benutzerfunktion.
int Orvu::aufruf_knoten(Term& term, std::vector<Tok>& toks, int b, int e) {
    const int g = e - 1;
    if (!ist(toks[b + 1], TOK_RUND_AUF) || !ist(toks[g], TOK_RUND_ZU)) {
        meld(253) << " fehler\n";
        return 1;
    }
    Term liste;
    if (get_arglist(liste, toks, b + 2, g)) {
        meld(254) << " fehler\n";
        return 1;
    }
    term.typ = FUNCALL;
    term.izahl = toks[b].izahl;
    term.termlist = liste.termlist;
    term.fun_anw = &funktionen[static_cast<size_t>(toks[b].izahl)].rumpf;
    return 0;
}

int Orvu::get_arglist(Term& term, std::vector<Tok>& toks, int a, int b) {
    term.typ = TERMLIST;
    term.termlist = neue_termliste();
    if (a >= b) return 0;
    int anfang = a;
    auto element = [&](int ende) {
        Term t;
        if (get_term(t, toks, anfang, ende)) {
            meld(261) << " fehler\n";
            return 1;
        }
        term.termlist->push_back(std::move(t));
        return 0;
    };
    for (int i = a; i < b;) {
        if (auf(toks[i])) {
            int j = gruppen_ende(toks, i, b - 1);
            if (j == -1) {
                meld(262) << " Klammerfehler \n";
                return 1;
            }
            i = j < 0 ? b : j + 1;
        } else if (ist(toks[i], TOK_OPERATOR) && toks[i].prio == prio::LISTE) {
            if (element(i)) return 1;
            anfang = ++i;
        } else {
            ++i;
        }
    }
    return element(b);
}

// ---------------------------------------------------------------- Anweisungen

int Orvu::get_einf_anw(const char** cursor, Term& term, TOK_TYP& ende) {
    const char* anfang = *cursor;
    std::vector<Tok> toks;
    int tiefe = 0;
    for (;;) {
        Tok t;
        if (get_tok(cursor, t)) {
            meld(271) << " get_tok fehler\n";
            return 1;
        }
        if (t.typ == TOK_ENDE || t.typ == TOK_SCHWEIF_ZU || t.typ == TOK_SEMIKOLON ||
            (t.typ == TOK_RUND_ZU && tiefe == 0)) {
            ende = t.typ;
            break;
        }
        if (t.typ == TOK_RUND_AUF) ++tiefe;
        if (t.typ == TOK_RUND_ZU) --tiefe;
        const bool scan = t.typ == TOK_OPERATOR && t.handler == &Orvu::scanf_;
        toks.push_back(std::move(t));
        if (scan) {
            // Nach scanf folgt ein Muster in runden Klammern, das init_scan uebersetzt.
            const char* p = *cursor;
            std::vector<Mus>* m = neues_muster();
            bool ok = !weisse_zeichen(&p) && *p == '(';
            if (ok) {
                ++p;
                ok = !init_scan(&p, *m, ')') && *p == ')';
            }
            if (!ok) {
                meld(990) << " init_scan fehler\n";
                return 1;
            }
            *cursor = p + 1;
            Tok mt;
            mt.typ = TOK_MUSTER;
            mt.muster = m;
            toks.push_back(std::move(mt));
        }
    }
    if (toks.empty()) {
        term.typ = NONE;
        return 0;
    }
    if (get_term(term, toks, 0, static_cast<int>(toks.size()))) {
        meld(272) << " fehler " << anfang << "\n";
        return 1;
    }
    return 0;
}

int Orvu::get_anw(const char** cursor, Anw& anw) {
    Tiefe tiefe(*this);
    if (tiefe.zu_tief()) return 1;
    const char* anfang = *cursor;
    Tok t;
    if (get_tok(cursor, t)) {
        meld(281) << " fehler\n";
        return 1;
    }
    switch (t.typ) {
    case TOK_ENDE: return 2;
    case TOK_SEMIKOLON: anw.kind = LEER; return 0;
    case TOK_SCHWEIF_ZU:
        meld(282) << " unerwartetes Zeichen '}' \n";
        return 1;
    case TOK_SCHWEIF_AUF: return lies_block(cursor, anw, anfang);
    default: break;
    }
    if (ist_wort(t, "if")) return lies_if(cursor, anw);
    if (ist_wort(t, "for")) return lies_for(cursor, anw);
    if (ist_wort(t, "prolog") || ist_wort(t, "epilog")) return lies_prolog(cursor, t.text);
    if (ist_wort(t, "function")) return lies_funktion(cursor, anw);
    if (ist_wort(t, "include")) return lies_include(cursor);
    if (ist_wort(t, "continue") || ist_wort(t, "break")) {
        anw.kind = t.text == "break" ? BREAK : CONTINUE;
        if (get_tok(cursor, t) || t.typ != TOK_SEMIKOLON) {
            meld(283) << " fehler\n";
            return 1;
        }
        return 0;
    }
    bool ret = ist_wort(t, "return");
    if (!ret) *cursor = anfang;
    Term* term = neuer_term();
    TOK_TYP ende;
    if (get_einf_anw(cursor, *term, ende)) {
        meld(284) << " fehler\n";
        return 1;
    }
    if (ende == TOK_RUND_ZU) {
        if (ret) meld(285) << " kein semikolon\n";
        else meld(286) << " kein semikolon abschluss " << ende << "\n";
        return 1;
    }
    anw.kind = ret ? RETURN : AUSDRUCK;
    anw.ausdruck = term;
    return 0;
}

// Eine Anweisung, wo die Grammatik eine verlangt (nach if, else, for, prolog, ...).
int Orvu::anw_pflicht(const char** cursor, Anw*& ziel) {
    ziel = neue_anw();
    int r = get_anw(cursor, *ziel);
    if (r == 0) return 0;
    if (r == 2) meld(291) << " Anweisung fehlt am Ende des Textes\n";
    if (r == 3) meld(292) << " Anweisung erwartet, Definition gefunden\n";
    return 1;
}

// { anw... }
int Orvu::lies_block(const char** cursor, Anw& anw, const char* anfang) {
    std::vector<Anw>* block = neuer_block();
    for (;;) {
        const char* merk = *cursor;
        Tok t;
        if (get_tok(cursor, t)) {
            meld(301) << " fehler\n";
            return 1;
        }
        if (t.typ == TOK_SEMIKOLON) continue;
        if (t.typ == TOK_SCHWEIF_ZU) break;
        *cursor = merk;
        Anw a;
        int r = get_anw(cursor, a);
        if (r == 1) {
            meld(302) << " fehler " << anfang << "\n";
            return 1;
        }
        if (r == 2) break;
        if (r == 0) block->push_back(a);
    }
    anw.kind = BLOCK;
    anw.block = block;
    return 0;
}

// if ( term ) anw [else anw]
int Orvu::lies_if(const char** cursor, Anw& anw) {
    Tok t;
    if (get_tok(cursor, t) || t.typ != TOK_RUND_AUF) {
        meld(311) << " fehler\n";
        return 1;
    }
    Term* bed = neuer_term();
    TOK_TYP ende;
    if (get_einf_anw(cursor, *bed, ende)) {
        meld(312) << " fehler\n";
        return 1;
    }
    if (ende != TOK_RUND_ZU) {
        meld(313) << " keine rund zu\n";
        return 1;
    }
    anw.kind = IF;
    anw.ausdruck = bed;
    if (anw_pflicht(cursor, anw.dann)) {
        meld(314) << " fehler\n";
        return 1;
    }
    const char* merk = *cursor;
    if (get_tok(cursor, t)) {
        meld(315) << " fehler\n";
        return 1;
    }
    if (!ist_wort(t, "else")) {
        *cursor = merk;
        return 0;
    }
    if (anw_pflicht(cursor, anw.sonst)) {
        meld(316) << " fehler\n";
        return 1;
    }
    return 0;
}

// for ( term ; term ; term ) anw
int Orvu::lies_for(const char** cursor, Anw& anw) {
    Tok t;
    if (get_tok(cursor, t) || t.typ != TOK_RUND_AUF) {
        meld(321) << " fehler\n";
        return 1;
    }
    anw.kind = FOR;
    anw.init = neuer_term();
    anw.ausdruck = neuer_term();
    anw.schritt = neuer_term();
    TOK_TYP ende;
    if (get_einf_anw(cursor, *anw.init, ende)) {
        meld(322) << " fehler\n";
        return 1;
    }
    if (ende != TOK_SEMIKOLON) {
        meld(323) << " kein semikolon\n";
        return 1;
    }
    if (get_einf_anw(cursor, *anw.ausdruck, ende) || ende != TOK_SEMIKOLON) {
        meld(324) << " kein semikolon\n";
        return 1;
    }
    if (get_einf_anw(cursor, *anw.schritt, ende)) {
        meld(325) << " fehler\n";
        return 1;
    }
    if (ende != TOK_RUND_ZU) {
        meld(326) << " keine rundklammer zu\n";
        return 1;
    }
    if (anw_pflicht(cursor, anw.dann)) {
        meld(327) << " fehler\n";
        return 1;
    }
    return 0;
}

// prolog anw | epilog anw
int Orvu::lies_prolog(const char** cursor, const std::string& wort) {
    Anw*& ziel = wort == "prolog" ? prolog : epilog;
    if (ziel) {
        if (&ziel == &prolog) meld(331) << " fehler: 2. prolog_anw\n";
        else meld(332) << " fehler\n";
        return 1;
    }
    Anw* a;
    if (anw_pflicht(cursor, a)) {
        meld(333) << " fehler\n";
        return 1;
    }
    ziel = a;
    return 3;
}

// function name ; | function name ( name... ) anw
int Orvu::lies_funktion(const char** cursor, Anw& anw) {
    const char* p = *cursor;
    if (weisse_zeichen(&p) || !(buchstabe(*p) || *p == '_')) {
        meld(341) << " fehler bei function\n";
        return 1;
    }
    const char* a = p;
    while (namenszeichen(*p)) ++p;
    std::string name(a, static_cast<size_t>(p - a));
    size_t idx = 0;
    while (idx < funktionen.size() && funktionen[idx].name != name) ++idx;
    if (idx == funktionen.size()) funktionen.emplace_back().name = name;
    Fun& f = funktionen[idx];
    anw.kind = FUNKTION;
    akt_fun = static_cast<int32_t>(idx);
    int r = parameter_und_rumpf(&p, f);
    akt_fun = -1;
    *cursor = p;
    return r;
}

int Orvu::parameter_und_rumpf(const char** cursor, Fun& f) {
    const char* p = *cursor;
    if (weisse_zeichen(&p)) {
        meld(342) << " fehler\n";
        return 1;
    }
    if (*p == ';') {
        *cursor = p + 1;
        return 3;
    }
    if (*p != '(') {
        meld(343) << " fehler\n";
        return 1;
    }
    ++p;
    f.namen.assign(1, std::string());
    f.anzahl = 0;
    for (;;) {
        if (weisse_zeichen(&p)) {
            meld(344) << " Parameterliste nicht abgeschlossen\n";
            return 1;
        }
        if (*p == ',') {
            ++p;
        } else if (*p == ')') {
            ++p;
            break;
        } else if (namenszeichen(*p)) {
            const char* a = p;
            while (namenszeichen(*p)) ++p;
            f.namen.emplace_back(a, static_cast<size_t>(p - a));
            ++f.anzahl;
        } else {
            if (*p) meld(345) << " ungueltiges Zeichen in Parameterliste: '" << *p << "'\n";
            else meld(346) << " Parameterliste nicht abgeschlossen\n";
            return 1;
        }
    }
    *cursor = p;
    Anw* rumpf;
    if (anw_pflicht(cursor, rumpf)) {
        meld(347) << " fehler\n";
        return 1;
    }
    f.rumpf = rumpf;
    return 3;
}

// include "datei";  Die Anweisungen der Datei kommen direkt nach anw_seq.
int Orvu::lies_include(const char** cursor) {
    Tok name, semi;
    if (get_tok(cursor, name) || name.typ != TOK_TEXT || get_tok(cursor, semi) ||
        semi.typ != TOK_SEMIKOLON) {
        meld(351) << " fehler bei include\n";
        return 1;
    }
    const char* rest = *cursor;
    if (im_sandkasten("include")) return 1;
    std::string inhalt;
    const int gelesen = datei_lesen(name.text.c_str(), inhalt);
    if (gelesen == 1) {
        meld(352) << " fehler bei Include-Datei" << rest << "\n";
        return 1;
    }
    if (gelesen == 2) {
        meld(353) << " fehler " << rest << "\n";
        return 1;
    }
    std::unique_ptr<char, decltype(&free)> echt(realpath(name.text.c_str(), nullptr), &free);
    std::string schluessel = echt ? echt.get() : name.text;
    for (const std::string& s : include_kette) {
        if (s == schluessel) {
            meld(354) << " include-Schleife: '" << name.text << "' wird schon gelesen\n";
            return 1;
        }
    }
    if (include_kette.size() >= MAX_INCLUDETIEFE) {
        meld(355) << " include zu tief geschachtelt (mehr als " << MAX_INCLUDETIEFE << ")\n";
        return 1;
    }
    include_kette.push_back(schluessel);
    const char* p = inhalt.c_str();
    int r;
    for (;;) {
        Anw a;
        r = get_anw(&p, a);
        if (r == 0) anw_seq.push_back(a);
        if (r == 1) meld(356) << " fehler \n";
        if (r == 1 || r == 2) break;
    }
    include_kette.pop_back();
    return r == 1 ? 1 : 3;
}
