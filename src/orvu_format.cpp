// SPDX-License-Identifier: MIT
// Formatierter Text: printf, split, scanf (mit dem Musteruebersetzer init_scan) und next.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "orvu.h"
#include "up.h"

namespace {
using O = Orvu;

bool buchstabe(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool ziffer(char c) { return c >= '0' && c <= '9'; }
bool namenszeichen(char c) { return buchstabe(c) || ziffer(c) || c == '_'; }
uint8_t byte_von(char c) { return static_cast<uint8_t>(c); }


// ---------------------------------------------------------------- printf

constexpr size_t MAX_PRINTF = 255;  // laengere Ergebnisse werden hier abgeschnitten
// Breite und Genauigkeit werden hierauf begrenzt: mehr aendert die ersten 255 Zeichen
// nicht, haelt snprintf aber schnell und unter INT_MAX.
constexpr long MAX_BREITE = 4096;

enum class Umw { KEINE, GANZ, KURZ, GLEIT, ZEICHEN, TEXT };

// Dezimalzahl (Breite oder Genauigkeit) ab f[i], begrenzt, in neu uebernehmen.
void zahl_uebernehmen(std::string_view f, size_t& i, std::string& neu) {
    long w = 0;
    bool da = false;
    for (; i < f.size() && ziffer(f[i]); ++i) {
        da = true;
        w = std::min(MAX_BREITE, w * 10 + (f[i] - '0'));
    }
    if (da) neu += std::to_string(w);
}

// Eine Umwandlung ab f[i] (hinter dem '%'): Flags, Breite, Genauigkeit, Laenge, Zeichen.
// Haengt sie so an neu an, wie snprintf sie mit dem uebergebenen Argument lesen soll:
// ganzzahlige mit "ll" (64 Bit; "hh" und "h" bleiben und bekommen ein int), Gleitkomma
// ohne Laengenangabe (double). i steht danach auf dem Umwandlungszeichen.
// Liefert nullptr oder den Grund der Ablehnung.
const char* umwandlung(std::string_view f, size_t& i, std::string& neu, Umw& art) {
    while (i < f.size() && (f[i] == '-' || f[i] == '+' || f[i] == ' ' || f[i] == '#' ||
                            f[i] == '0'))
        neu += f[i++];
    if (i < f.size() && f[i] == '*') return "'*' als breite";
    zahl_uebernehmen(f, i, neu);
    if (i < f.size() && f[i] == '.') {
        neu += f[i++];
        if (i < f.size() && f[i] == '*') return "'*' als genauigkeit";
        zahl_uebernehmen(f, i, neu);
    }
    std::string_view laenge;
    for (std::string_view l : {"hh", "h", "ll", "l", "j", "z", "t", "L"}) {
        if (f.substr(i).starts_with(l)) {
            laenge = l;
            i += l.size();
            break;
        }
    }
    if (i >= f.size()) return "umwandlung unvollstaendig";
    const char c = f[i];
    if (std::strchr("diouxX", c)) {
        if (laenge == "L") return "laenge L bei ganzer zahl";
        art = laenge == "hh" || laenge == "h" ? Umw::KURZ : Umw::GANZ;
        neu += art == Umw::KURZ ? laenge : std::string_view("ll");
    } else if (std::strchr("fFeEgGaA", c)) {
        if (!laenge.empty() && laenge != "l" && laenge != "L") return "laenge bei gleitkomma";
        art = Umw::GLEIT;
    } else if (c == 'c' || c == 's') {
        if (!laenge.empty()) return "laenge bei c oder s";
        art = c == 'c' ? Umw::ZEICHEN : Umw::TEXT;
    } else {
        return "umwandlungszeichen nicht erlaubt";
    }
    neu += c;
    return nullptr;
}

// Prueft das Format: hoechstens eine Umwandlung, "%%" ist ein Prozentzeichen.
// neu erhaelt das Format fuer snprintf, art die Umwandlung (KEINE ohne Umwandlung).
const char* format_pruefen(std::string_view f, std::string& neu, Umw& art) {
    art = Umw::KEINE;
    neu.clear();
    for (size_t i = 0; i < f.size(); ++i) {
        neu += f[i];
        if (f[i] != '%') continue;
        if (i + 1 < f.size() && f[i + 1] == '%') {
            neu += f[++i];
            continue;
        }
        if (art != Umw::KEINE) return "mehr als eine umwandlung";
        if (const char* grund = umwandlung(f, ++i, neu, art)) return grund;
    }
    return nullptr;
}

// snprintf mit genau dem Argumenttyp, den das umgeschriebene Format liest.
int formatieren(O& o, const char* fmt, Umw art, O::Term& v, char (&puf)[MAX_PRINTF + 1]) {
    if (art == Umw::GANZ || art == Umw::KURZ) o.to_izahl(&v);
    if (art == Umw::GLEIT) o.to_fzahl(&v);
    switch (art) {
    case Umw::GANZ: return snprintf(puf, sizeof puf, fmt, static_cast<long long>(v.izahl));
    case Umw::KURZ: return snprintf(puf, sizeof puf, fmt, static_cast<int>(v.izahl));
    case Umw::GLEIT: return snprintf(puf, sizeof puf, fmt, v.fzahl);
    case Umw::ZEICHEN: return snprintf(puf, sizeof puf, fmt, static_cast<int>(v.izahl & 0xFF));
    case Umw::TEXT: return snprintf(puf, sizeof puf, fmt, v.text.c_str());
    case Umw::KEINE: break;
    }
    return snprintf(puf, sizeof puf, fmt, 0);  // nur Text und "%%"
}
}  // namespace

// printf: Format (links, TEXT) auf einen Wert (rechts) anwenden, hoechstens 255 Zeichen.
// Passen Umwandlung und Wert nicht zusammen, wird umgerechnet, solange beides eine Zahl
// ist (%d mit FZAHL oder RZAHL: abgeschnitten; %f mit IZAHL: als double); Text und Zahl
// (%s mit einer Zahl, %d oder %c mit einem Text) werden mit Meldung abgelehnt, ebenso
// Formate, die mehr als ein Argument oder einen Zeiger lesen wuerden (%*d, %n, %p).
int Orvu::printf_(Term* l, Term* r, Term* erg) {
    erg->typ = TEXT;
    if (!r) {
        meld(901) << " printf rechtoperant fehlt\n";
        return 1;
    }
    Term v;
    if (wert(r, &v)) return 1;
    if (!l) {
        std::string& s = erg->text;
        s.clear();
        switch (v.typ) {
        case IZAHL: zahl_text(s, v.izahl); return 0;
        case FZAHL: fzahl_text(s, v.fzahl); return 0;
        case RZAHL: v.rzahl.schreibe(s); return 0;
        case TEXT: s = std::move(v.text); return 0;
        default:
            meld(902) << " printf rechtsargument fehler\n";
            return 1;
        }
    }
    Term f;
    if (wert(l, &f)) return 1;
    if (f.typ != TEXT) {
        meld(903) << " printf linksargument != text\n";
        return 1;
    }
    if (v.typ != IZAHL && v.typ != RZAHL && v.typ != FZAHL && v.typ != TEXT) {
        meld(904) << " kein gueltiger rechtsoperand" << "\n";
        return 1;
    }
    std::string neu;
    Umw art;
    // Das Format endet wie in C am ersten NUL.
    if (const char* grund = format_pruefen(std::string_view(f.text.c_str()), neu, art)) {
        meld(905) << " printf format ungueltig: " << grund << "\n";
        return 1;
    }
    const bool zahl = v.typ != TEXT;
    if ((art == Umw::TEXT && zahl) || (art == Umw::ZEICHEN && v.typ != IZAHL) ||
        ((art == Umw::GANZ || art == Umw::KURZ || art == Umw::GLEIT) && !zahl)) {
        meld(906) << " printf umwandlung passt nicht zu typ " << v.typ << "\n";
        return 1;
    }
    char puf[MAX_PRINTF + 1];
    const int n = formatieren(*this, neu.c_str(), art, v, puf);
    if (n < 0) {
        meld(907) << " printf fehler bei der umwandlung\n";
        return 1;
    }
    erg->text.assign(puf, std::min(static_cast<size_t>(n), MAX_PRINTF));
    return 0;
}

// ---------------------------------------------------------------- split

// True, wenn eine andere Variable (global oder in einem laufenden Aufruf) denselben
// Vektor haelt wie v.
bool Orvu::vektor_geteilt(const Var& v) const {
    auto gleich = [&v](const Var& w) {
        return &w != &v && ((v.bvector && w.bvector == v.bvector) ||
                            (v.ivector && w.ivector == v.ivector) ||
                            (v.rvector && w.rvector == v.rvector) ||
                            (v.fvector && w.fvector == v.fvector) ||
                            (v.svector && w.svector == v.svector));
    };
    for (const Var& w : var)
        if (gleich(w)) return true;
    for (size_t i = 0; i < belegt && i < lokale.size(); ++i)
        for (size_t k = 0; k < lokale[i].n && k < lokale[i].slots.size(); ++k)
            if (gleich(lokale[i].slots[k])) return true;
    return false;
}

// x split trenner  |  x split (trenner, text): Text am ersten Zeichen des Trenners in einen
// Textvektor zerlegen; ohne Text wird "&" zerlegt. Ein leerer Trenner trennt am NUL-Zeichen.
int Orvu::split(Term* l, Term* r, Term* erg) {
    const bool liste = r && r->typ == TERMLIST;
    if (!l || l->typ != VARREF || !r || (liste && r->termlist->size() != 2)) {
        meld(911) << " split arg fehler\n";
        return 1;
    }
    Term trenner, quelle;
    if (wert(liste ? &(*r->termlist)[0] : r, &trenner) ||
        (liste && wert(&(*r->termlist)[1], &quelle))) {
        meld(912) << " split benoetigt rarg\n";
        return 1;
    }
    if (!ist_text(trenner) || (liste && !ist_text(quelle))) {
        meld(913) << " split braucht texte als trenner und text\n";
        return 1;
    }
    const char sep = text_von(trenner).c_str()[0];
    // Ohne Kopie: split aendert den Text der Zielvariablen nicht, auch wenn sie "&" ist.
    const std::string& text = liste ? text_von(quelle) : var[V_REC].text;
    Var* v = variable(l);
    if (!v) return 1;
    if (v->typ == V_SVECTOR && v->svector) {
        // Vorhandene Elemente werden ueberschrieben und behalten ihren Speicher.
    } else {
        // Ein anderer Vektor der Variablen wird freigegeben, wenn niemand sonst ihn haelt;
        // sonst nur geloest (die Vektorverwaltung gibt ihn am Ende frei).
        if (v->hat_vektor() && !vektor_geteilt(*v)) var_vektor_freigeben(*v);
        v->bvector = nullptr;
        v->ivector = nullptr;
        v->rvector = nullptr;
        v->fvector = nullptr;
        v->svector = vektor_anlegen<std::vector<std::string>>();
        v->typ = V_SVECTOR;
    }
    std::vector<std::string>& teile = *v->svector;
    size_t n = 0;
    const char* p = text.data();
    const char* const ende = p + text.size();
    for (;;) {
        const char* e = p;  // Felder sind meist kurz: eine einfache Schleife schlaegt memchr
        while (e != ende && *e != sep) ++e;
        const size_t laenge = static_cast<size_t>(e - p);
        if (n == teile.size()) teile.emplace_back();
        std::string& t = teile[n++];
        t.resize(laenge);
        std::memcpy(t.data(), p, laenge);
        if (e == ende) break;
        p = e + 1;
    }
    teile.resize(n);
    v->izahl = static_cast<int64_t>(teile.size());
    return setze_izahl(erg, v->izahl);
}

// ---------------------------------------------------------------- scanf-Muster


namespace {
// Ein Zeichen einer Klasse, auch als Backslash-Folge; 0 ok, 1 nach Meldung.
int klassen_zeichen(O& o, const char** cursor, std::string& bytes) {
    const char* p = *cursor;
    bytes.clear();
    if (*p != '\\') {
        bytes += *p;
        *cursor = p + 1;
        return 0;
    }
    char puf[8];
    int n = get_backslash(&p, puf, *o.fehler);
    if (n < 0) {
        o.meld(951) << "quotierung nicht paarig\n";
        return 1;
    }
    bytes.assign(puf, static_cast<size_t>(n));
    *cursor = p;
    return 0;
}

// Zeichenklasse in ' oder ": "-" direkt nach dem Anfang verneint sie, c1-c2 ist ein
// Bereich, c1 das zuletzt genannte Zeichen. Ein "-" ohne Zeichen davor oder direkt vor
// dem schliessenden Anfuehrungszeichen steht fuer sich selbst. Eine Backslash-Folge mit
// mehreren Bytes (Codepunkt ueber 7F) nimmt alle ihre Bytes auf, taugt aber nicht als
// Bereichsgrenze.
int klasse_lesen(O& o, const char** cursor, O::Mus& e) {
    const char* p = *cursor;
    const char q = *p++;
    const bool nicht = *p == '-';
    if (nicht) ++p;
    auto tab = std::make_shared<std::array<uint8_t, 256>>();
    tab->fill(nicht ? 1 : 0);
    const uint8_t setz = nicht ? 0 : 1;
    int vorher = -1;  // letztes einzelnes Zeichen: Anfang eines Bereichs
    std::string z;
    for (;;) {
        if (*p == '\0') {
            o.meld(952) << "quotierung nicht paarig\n";
            return 1;
        }
        if (*p == q) break;
        if (*p == '-' && p[1] == '\0') {
            o.meld(953) << "end < anf\n";
            return 1;
        }
        if (*p == '-' && vorher >= 0 && p[1] != q) {
            ++p;
            if (klassen_zeichen(o, &p, z)) return 1;
            if (z.size() != 1) {
                o.meld(954) << " bereichsgrenze ist mehr als ein byte\n";
                return 1;
            }
            for (int c = vorher; c <= byte_von(z[0]); ++c) (*tab)[static_cast<size_t>(c)] = setz;
            vorher = byte_von(z[0]);
            continue;
        }
        if (klassen_zeichen(o, &p, z)) return 1;
        for (char c : z) (*tab)[byte_von(c)] = setz;
        vorher = z.size() == 1 ? byte_von(z[0]) : -1;
    }
    e.klasse = std::move(tab);
    *cursor = p + 1;
    return 0;
}

// Zielvariable eines Feldes: ausserhalb einer Funktion global (neu als V_TEXT angelegt),
// im Rumpf einer Funktion ein Slot ihrer Lokalen.
void ziel_setzen(O& o, const std::string& name, O::Mus& e) {
    e.global = e.lokal = -1;
    if (o.akt_fun < 0) {
        size_t i = 0;
        while (i < o.var.size() && o.var[i].name != name) ++i;
        if (i == o.var.size()) {
            O::Var& v = o.var.emplace_back();
            v.name = name;
            v.typ = O::V_TEXT;
        }
        e.global = static_cast<int>(i);
        return;
    }
    std::vector<std::string>& namen = o.funktionen[static_cast<size_t>(o.akt_fun)].namen;
    if (namen.empty()) namen.emplace_back();
    size_t i = 0;
    while (i < namen.size() && namen[i] != name) ++i;
    if (i == namen.size()) namen.push_back(name);
    e.lokal = static_cast<int>(i);
}

// Feld "[" ... "]": Klasse, Breite und Zielname in beliebiger Reihenfolge.
int feld_lesen(O& o, const char** cursor, O::Mus& e) {
    const char* p = *cursor + 1;
    e.art = 1;
    for (;;) {
        const char c = *p;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',') {
            ++p;
        } else if (c == ']') {
            break;
        } else if (c == '\'' || c == '"') {
            if (klasse_lesen(o, &p, e)) return 1;
        } else if (ziffer(c)) {
            O::Tok t;
            if (o.get_zahl(&p, t)) {
                o.meld(955) << " fehler\n";
                return 1;
            }
            if (t.typ != O::TOK_IZAHL || t.izahl < 0 || t.izahl > INT_MAX) {
                o.meld(956) << " scanf breite ungueltig\n";
                return 1;
            }
            e.breite = static_cast<int>(t.izahl);
        } else if (buchstabe(c)) {
            const char* a = p;
            while (namenszeichen(*p)) ++p;
            ziel_setzen(o, std::string(a, static_cast<size_t>(p - a)), e);
        } else if (c == '\0') {
            o.meld(957) << " scanf feld ohne ']'\n";
            return 1;
        } else {
            o.meld(958) << " fehler bei Unbekannter ." << c << ".\n";
            return 1;
        }
    }
    *cursor = p + 1;
    return 0;
}

bool literal_ende(char c, char ende) {
    return c == '\0' || c == ' ' || c == '\t' || c == '\n' || c == ')' || c == '[' ||
           c == '=' || c == ';' || c == ende;
}

// Literal ohne Anfuehrungszeichen bis zum ersten Endezeichen, mit Backslash-Folgen.
int literal_lesen(O& o, const char** cursor, O::Mus& e, char ende) {
    const char* p = *cursor;
    if (*p == '\0') {
        o.meld(959) << " scanf muster ohne '" << ende << "'\n";
        return 1;
    }
    if (literal_ende(*p, ende)) {
        o.meld(960) << " scanf muster: '" << *p << "' beginnt kein literal\n";
        return 1;
    }
    while (!literal_ende(*p, ende)) {
        if (*p != '\\') {
            e.text += *p++;
            continue;
        }
        char puf[8];
        int n = get_backslash(&p, puf, *o.fehler);
        if (n < 0) {
            o.meld(962) << "quotierung nicht paarig\n";
            return 1;
        }
        e.text.append(puf, static_cast<size_t>(n));
    }
    *cursor = p;
    return 0;
}
}  // namespace

int Orvu::init_scan(const char** cursor, std::vector<Mus>& muster, char ende) {
    const char* p = *cursor;
    muster.clear();
    for (;;) {
        if (weisse_zeichen(&p)) {
            meld(941) << " scanf muster: kommentar nicht geschlossen\n";
            return 1;
        }
        if (*p == ',') {
            ++p;
            continue;
        }
        if (*p == ende) break;
        Mus e;
        if (*p == '[') {
            if (feld_lesen(*this, &p, e)) return 1;
        } else if (*p == '\'') {
            Tok t;
            if (get_tok(&p, t)) {
                meld(942) << "fehler bei scanf operand" << "\n";
                return 1;
            }
            e.text = std::move(t.text);
        } else if (literal_lesen(*this, &p, e, ende)) {
            return 1;
        }
        muster.push_back(std::move(e));
    }
    if (muster.empty()) {
        meld(943) << "scanf leer\n";
        return 1;
    }
    *cursor = p;
    return 0;
}

// ---------------------------------------------------------------- scanf

// Zielvariable eines Feldes oder nullptr (Feld ohne Namen). fehlschlag nach Meldung:
// lokaler Slot ausserhalb seiner Funktion, oder das Ziel haelt einen Vektor (auch ein
// lokales: den Vektor zu ueberschreiben hiesse, ihn zu verlieren).
Orvu::Var* Orvu::scan_ziel(const Mus& e, bool& fehlschlag) {
    fehlschlag = true;
    Var* v;
    if (e.lokal >= 0) {
        v = lokal_slot(e.lokal);
        if (!v) return nullptr;
    } else if (e.global >= 0) {
        if (static_cast<size_t>(e.global) >= var.size()) {
            meld(922) << " fehler in muster\n";
            return nullptr;
        }
        v = &var[static_cast<size_t>(e.global)];
    } else {
        fehlschlag = false;
        return nullptr;
    }
    if (v->hat_vektor() || (v->typ >= V_BVECTOR && v->typ <= V_SVECTOR)) {
        meld(921) << "fehler: vektor noch nicht frei " << v->name << "\n";
        return nullptr;
    }
    fehlschlag = false;
    return v;
}

namespace {
void speichere(O::Var* v, std::string_view stueck) {
    if (!v) return;
    v->typ = O::V_TEXT;
    v->text.assign(stueck);
}

// Laenge des Laufs von Klassenzeichen am Anfang von s, hoechstens max.
size_t lauf(const O::Mus& e, std::string_view s, size_t max) {
    size_t n = 0;
    while (n < s.size() && n < max && (*e.klasse)[byte_von(s[n])]) ++n;
    return n;
}
}  // namespace

// Fuehrt das Muster auf s aus. passt: alle Elemente erfuellt. 1 nur nach Meldung.
// Ein Feld ohne Klasse und Breite direkt vor einem weiteren Feld ohne Klasse bekommt den
// leeren Text; das folgende Feld wird nach seinen eigenen Regeln genommen.
int Orvu::scan_lauf(const std::vector<Mus>& m, std::string_view s, bool& passt) {
    passt = false;
    size_t pos = 0;
    for (size_t i = 0; i < m.size(); ++i) {
        const Mus& e = m[i];
        const std::string_view rest = s.substr(pos);
        if (e.art == 0) {
            if (!rest.starts_with(e.text)) return 0;
            pos += e.text.size();
            continue;
        }
        if (e.art != 1) {
            meld(927) << " fehler in muster\n";
            return 1;
        }
        bool fs;
        Var* ziel = scan_ziel(e, fs);
        if (fs) return 1;
        size_t len;
        if (e.klasse) {
            const size_t b = static_cast<size_t>(e.breite);
            len = lauf(e, rest, e.breite > 0 ? b : std::string_view::npos);
            if ((e.breite > 0 && len < b) || (e.breite < 0 && len == 0)) return 0;
        } else if (e.breite >= 0) {
            len = static_cast<size_t>(e.breite);
            if (rest.size() < len) return 0;
        } else if (i + 1 == m.size()) {
            len = rest.size();
        } else if (m[i + 1].art == 0) {
            const std::string& lit = m[i + 1].text;
            len = rest.find(lit);
            if (len == std::string_view::npos) return 0;
            speichere(ziel, rest.substr(0, len));
            pos += len + lit.size();
            ++i;
            continue;
        } else if (m[i + 1].art == 1 && m[i + 1].klasse) {
            const Mus& n = m[i + 1];
            const auto& k = *n.klasse;
            len = 0;
            while (len < rest.size() && !k[byte_von(rest[len])]) ++len;
            if (len == rest.size()) return 0;
            const std::string_view weiter = rest.substr(len);
            const size_t n_len = lauf(n, weiter, n.breite > 0 ? static_cast<size_t>(n.breite)
                                                              : std::string_view::npos);
            Var* ziel2 = scan_ziel(n, fs);
            if (fs) return 1;
            speichere(ziel, rest.substr(0, len));
            speichere(ziel2, weiter.substr(0, n_len));
            pos += len + n_len;
            ++i;
            continue;
        } else {
            len = 0;
        }
        speichere(ziel, rest.substr(0, len));
        pos += len;
    }
    passt = true;
    return 0;
}

// text scanf(muster): Text (ohne linken Operanden "&") gegen das Muster pruefen und die
// Felder in ihre Variablen schreiben. Ergebnis BOOL.
int Orvu::scanf_(Term* l, Term* r, Term* erg) {
    if (!r) {
        meld(923) << " scanf rarg fehlt\n";
        return 1;
    }
    if (r->typ != MUSTER || !r->muster) {
        meld(924) << " scanf rarg ist kein muster\n";
        return 1;
    }
    Term t;
    const std::string* text = &var[V_REC].text;
    if (l) {
        if (l->typ == OPER || l->typ == VARREF) {
            if (auswerten(l, t, 925, "\n")) return 1;
            l = &t;
        }
        if (l->typ != TEXT) {
            meld(926) << " scanf larg != text\n";
            return 1;
        }
        text = &l->text;
    }
    // Der Text endet am ersten NUL.
    const std::string_view s(text->data(), std::min(text->find('\0'), text->size()));
    bool passt;
    if (scan_lauf(*r->muster, s, passt)) return 1;
    erg->typ = BOOL;
    erg->izahl = passt;
    return 0;
}

// ---------------------------------------------------------------- next

// next [n]: die naechsten n Zeilen der Eingabe lesen; "&" wird die letzte. Ohne
// Eingabedatei ist next ein Fehler; eine negative Anzahl ebenso.
int Orvu::next(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(971) << " operanden fehler bei next \n";
        return 1;
    }
    erg->typ = BOOL;
    erg->izahl = 0;
    Leser* le = eingabe();
    if (!le) {
        meld(972) << " next ohne eingabedatei\n";
        return 1;
    }
    Var& rec = var[V_REC];
    rec.typ = V_TEXT;
    if (le->am_ende()) {
        rec.text.clear();
        return 0;
    }
    int64_t n = 1;
    if (r && ganz_operand(r, n, 973, " fehler\n")) return 1;
    if (n < 0) {
        meld(974) << " next mit negativer anzahl " << n << "\n";
        return 1;
    }
    rec.text.clear();
    Var& pos = var[V_POS];
    for (int64_t i = 0; i < n; ++i) {
        pos.typ = V_IZAHL;
        pos.izahl = le->pos();
        if (le->zeile(rec.text)) return 0;  // zeile leert den Text am Ende
    }
    Var& znr = var[V_ZNR];
    znr.izahl = static_cast<int64_t>(static_cast<uint64_t>(znr.izahl) + static_cast<uint64_t>(n));
    erg->izahl = 1;
    return 0;
}
