// SPDX-License-Identifier: MIT
// Umwandlungen und Typen: typeof, Zahlenbasen, int/float, Byte-Records, utf8, roem.
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "orvu.h"
#include "up.h"

namespace {
using O = Orvu;

// Groesste Breite fuer roem; mehr waere nur ein Speicherfresser.
constexpr int64_t MAX_ROEMBREITE = 1000;

// Rechter Operand: Anwendungen, Aufrufe und Variablen werden ausgewertet, andere Knoten
// sind selbst der Wert. Scheitert die Auswertung, steht nur der Ort in der Meldung.
int rechtswert(O& o, O::Term* r, O::Term& w) {
    if (r->typ == O::OPER || r->typ == O::FUNCALL || r->typ == O::VARREF) {
        if (o.wert(r, &w)) {
            o.meld(801) << "\n";
            return 1;
        }
        return 0;
    }
    w = *r;
    return 0;
}

// Breite aus dem linken Operanden: zaehlt nur als Ganzzahl-Literal, wird nie ausgewertet.
int64_t breite(const O::Term* l) { return l && l->typ == O::IZAHL ? l->izahl : 0; }

void text_ergebnis(O::Term* erg, std::string s) {
    erg->typ = O::TEXT;
    erg->text = std::move(s);
}

void zahl_ergebnis(O::Term* erg, int64_t z) {
    erg->typ = O::IZAHL;
    erg->izahl = z;
}

// Text als Zahl zur Basis 8, 10 oder 16 wie bei Stromextraktion: Blanks, Vorzeichen,
// keine Ziffern 0, ausserhalb des Bereichs der groesste bzw. kleinste Wert.
int64_t text_lesen(const std::string& s, int basis) {
    if (basis != 10) return std::strtoll(s.c_str(), nullptr, basis);
    // Dezimal ohne Locale-Umweg (haeufig, etwa fuer Spalten): wie strtoll zur Basis 10.
    const char* p = s.c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    const bool neg = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    const uint64_t grenze = neg ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    uint64_t w = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const uint64_t d = static_cast<uint64_t>(*p - '0');
        if (w > (grenze - d) / 10) return neg ? INT64_MIN : INT64_MAX;
        w = w * 10 + d;
    }
    return neg ? static_cast<int64_t>(0 - w) : static_cast<int64_t>(w);
}

// Ziffernwert eines Zeichens zur Basis, sonst -1.
int ziffer(char c, int basis) {
    int z = c >= '0' && c <= '9' ? c - '0'
          : c >= 'a' && c <= 'f' ? c - 'a' + 10
          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                 : -1;
    return z < basis ? z : -1;
}

// "dec" eines Textes: Praefix 0b, 0o, 0d, 0x/0X waehlt die Basis, gerechnet modulo 2^64.
int64_t dec_text(const std::string& s) {
    int basis = 0;
    if (s.size() >= 2 && s[0] == '0') {
        switch (s[1]) {
        case 'b': basis = 2; break;
        case 'o': basis = 8; break;
        case 'd': basis = 10; break;
        case 'x': case 'X': basis = 16; break;
        default: break;
        }
    }
    if (!basis) return text_lesen(s, 10);
    uint64_t v = 0;
    for (size_t i = 2; i < s.size(); ++i) {
        int z = ziffer(s[i], basis);
        if (z < 0) break;
        v = v * static_cast<uint64_t>(basis) + static_cast<uint64_t>(z);
    }
    return static_cast<int64_t>(v);
}

// Zeichen '0' als 0, jedes andere als 1; nur die letzten 64 Stellen bleiben.
int64_t bin_text(const std::string& s) {
    uint64_t v = 0;
    for (char c : s) v = (v << 1) | (c != '0' ? 1u : 0u);
    return static_cast<int64_t>(v);
}

// Die 64 Bits, fuehrende Nullen weg (mindestens eine Stelle); Breite 1..64: genau
// die letzten w Stellen.
std::string bin_zahl(int64_t z, int64_t w) {
    std::string s(64, '0');
    const uint64_t u = static_cast<uint64_t>(z);
    for (int i = 0; i < 64; ++i)
        if (u >> i & 1u) s[static_cast<size_t>(63 - i)] = '1';
    if (w >= 1 && w <= 64) return s.substr(static_cast<size_t>(64 - w));
    size_t erst = s.find('1');
    return s.substr(erst == std::string::npos ? 63 : erst);
}

// Ziffern mit Nullen links auf mindestens w Stellen, wenn 1 <= w <= max.
std::string aufgefuellt(std::string s, int64_t w, int64_t max) {
    if (w >= 1 && w <= max && static_cast<size_t>(w) > s.size())
        s.insert(0, static_cast<size_t>(w) - s.size(), '0');
    return s;
}

template <class T>
std::string ziffern(T z, int basis) {
    char puf[72];
    auto e = std::to_chars(puf, puf + sizeof puf, z, basis);
    return std::string(puf, e.ptr);
}

struct Basis {
    const char* name;
    int zahl;           // Basis der Textdarstellung
    int64_t max_w;      // groesste Breite
    const char* typen;  // erlaubte Rechtsoperanden, fuer die Meldung
};

const Basis BASIS_BIN{"bin", 2, 64, "izahl oder text"};
const Basis BASIS_OCT{"oct", 8, 32, "izahl oder text"};
const Basis BASIS_HEX{"hex", 16, 32, "izahl oder text"};
const Basis BASIS_DEC{"dec", 10, 16, "izahl, text oder ziffer"};

std::string zahl_als_text(const Basis& b, int64_t z, int64_t w) {
    switch (b.zahl) {
    case 2: return bin_zahl(z, w);
    case 10: return aufgefuellt(ziffern(z, 10), w, b.max_w);
    default: return aufgefuellt(ziffern(static_cast<uint64_t>(z), b.zahl), w, b.max_w);
    }
}

int64_t text_als_zahl(const Basis& b, const std::string& s) {
    switch (b.zahl) {
    case 2: return bin_text(s);
    case 10: return dec_text(s);
    default: return text_lesen(s, b.zahl);
    }
}

// Die vier Zahlenbasen: TEXT -> IZAHL, IZAHL -> TEXT (Breite aus dem Links-Literal).
int basis_wandeln(O& o, const Basis& b, O::Term* l, O::Term* r, O::Term* erg) {
    if (!r) {
        o.meld(810) << " Operation " << b.name << " ohne Rechtsargument\n";
        return 1;
    }
    O::Term w;
    if (rechtswert(o, r, w)) return 1;
    if (w.typ == O::TEXT) {
        zahl_ergebnis(erg, text_als_zahl(b, w.text));
    } else if (w.typ == O::IZAHL) {
        text_ergebnis(erg, zahl_als_text(b, w.izahl, breite(l)));
    } else if (b.zahl == 10 && w.typ == O::BYTE && w.byte >= '0' && w.byte <= '9') {
        zahl_ergebnis(erg, w.byte - '0');
    } else {
        o.meld(811) << " Operation " << b.name << " benoetigt rechtsoperanden typ " << b.typen
                    << ", nicht typ " << w.typ << "\n";
        return 1;
    }
    return 0;
}

// Wert, der nicht in eine 64-Bit-Ganzzahl passt (auch NaN und Bruch mit Nenner 0).
int nicht_ganz(O& o, const O::Term& w) {
    std::string s;
    if (w.typ == O::FZAHL) O::fzahl_text(s, w.fzahl);
    else w.rzahl.schreibe(s);
    o.meld(823) << " int: Wert " << s << " ist keine 64-Bit-Ganzzahl\n";
    return 1;
}

// Little endian: die n niedrigen Bytes von u, das niedrigste zuerst.
std::string bytes_le(uint64_t u, int n) {
    std::string s(static_cast<size_t>(n), '\0');
    for (int i = 0; i < n; ++i) s[static_cast<size_t>(i)] = static_cast<char>(u >> (8 * i) & 0xFF);
    return s;
}

uint64_t le_bytes(const std::string& s) {
    uint64_t u = 0;
    for (size_t i = s.size(); i-- > 0;) u = u << 8 | static_cast<uint8_t>(s[i]);
    return u;
}

// Double auf einfache Genauigkeit gerundet; ausserhalb des Bereichs unendlich bzw. der
// groesste Wert, wie IEEE 754 rundet (ohne undefinierte Umwandlung).
float als_float(double x) {
    const double grenze = 0x1.ffffffp127;  // Mitte zwischen FLT_MAX und 2^128
    if (std::fabs(x) >= grenze) return x > 0 ? INFINITY : -INFINITY;
    if (std::fabs(x) > 0x1.fffffep127) return x > 0 ? 0x1.fffffep127f : -0x1.fffffep127f;
    return static_cast<float>(x);
}

// UTF-8 eines Codepunkts (Surrogate wie andere Werte); ueber 0x10FFFF "ERROR".
// Negative Werte geben ihr unteres Byte.
std::string utf8_kodieren(int32_t c) {
    if (c < 0) return std::string(1, static_cast<char>(c & 0xFF));
    if (c > 1114111) return "ERROR";
    char puf[5];
    return std::string(puf, static_cast<size_t>(utf8_schreiben(static_cast<uint32_t>(c), puf)));
}

// Codepunkt eines Textes aus genau einem kodierten Zeichen (ueberlange Formen erlaubt),
// sonst -1.
int64_t utf8_dekodieren(const std::string& s) {
    const auto u = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    size_t n;
    int64_t c;
    if (u(0) < 0x80) n = 1, c = u(0);
    else if (u(0) >= 0xC0 && u(0) <= 0xDF) n = 2, c = u(0) & 0x1F;
    else if (u(0) >= 0xE0 && u(0) <= 0xEF) n = 3, c = u(0) & 0x0F;
    else if (u(0) >= 0xF0 && u(0) <= 0xF4) n = 4, c = u(0) & 0x07;
    else return -1;
    if (s.size() != n) return -1;
    for (size_t i = 1; i < n; ++i) {
        if (u(i) < 0x80 || u(i) > 0xBF) return -1;
        c = c << 6 | (u(i) & 0x3F);
    }
    return c;
}

// Text fester Laenge n oder Ganzzahl: gemeinsamer Teil von int16 und int32.
int int_n(O& o, O::Term* l, O::Term* r, O::Term* erg, int n, const char* falsch) {
    if (l) {
        o.meld(855) << " Operation int32 benoetigt kein Linksargument\n";
        return 1;
    }
    O::Term w;  // ohne Rechtsargument NONE: dann die Typmeldung
    if (r && rechtswert(o, r, w)) return 1;
    if (w.typ == O::IZAHL) {
        text_ergebnis(erg, bytes_le(static_cast<uint64_t>(w.izahl), n));
    } else if (w.typ == O::TEXT && w.text.size() == static_cast<size_t>(n)) {
        const uint64_t u = le_bytes(w.text);
        zahl_ergebnis(erg, n == 2 ? int64_t{static_cast<int16_t>(u)}
                                  : int64_t{static_cast<int32_t>(u)});
    } else {
        o.meld(n == 2 ? 856 : 857) << falsch;
        return 1;
    }
    return 0;
}

// Text von genau n Bytes, in umgekehrter Bytefolge.
int swap_n(O& o, O::Term* l, O::Term* r, O::Term* erg, size_t n) {
    const char* name = n == 2 ? "swap16" : "swap32";
    if (l || !r) {
        o.meld(860) << " " << name << " Aufruf ohne Links- aber mit Rechtsargument!\n";
        return 1;
    }
    O::Term w;
    if (rechtswert(o, r, w)) return 1;
    if (w.typ != O::TEXT || w.text.size() != n) {
        o.meld(861) << " " << name << " benoetigt rechtsoperanden typ text len 4!\n";
        return 1;
    }
    text_ergebnis(erg, std::string(w.text.rbegin(), w.text.rend()));
    return 0;
}

// zaehler und nenner: rechts ein Bruch, links nichts.
int bruchteil(O& o, O::Term* l, O::Term* r, O::Term* erg, bool oben) {
    O::Term w;
    if (!l && r) {
        if (rechtswert(o, r, w)) return 1;
        if (w.typ == O::RZAHL) {
            zahl_ergebnis(erg, oben ? w.rzahl.zaehler : w.rzahl.nenner);
            return 0;
        }
    }
    o.meld(835) << " Operation zaehler argument fehler\n";
    return 1;
}

int roemwert(char c) {
    switch (c) {
    case 'I': return 1;
    case 'V': return 5;
    case 'X': return 10;
    case 'L': return 50;
    case 'C': return 100;
    case 'D': return 500;
    case 'M': return 1000;
    default: return 0;
    }
}
}  // namespace

// ---------------------------------------------------------------- Typen

int Orvu::typeofall(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 802, " operanden fehler bei typeofall \n")) return 1;
    text_ergebnis(erg, "NONE\nIZAHL\nFZAHL\nRZAHL\nBOOL\nTEXT\nIZAHLPTR\nTEXTPTR");
    return 0;
}

// ORDER TYPCODES: Namen der Werttypen.
int Orvu::typeof_(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(803) << " operanden fehler bei typeof \n";
        return 1;
    }
    Term w;
    if (wert(r, &w)) return 1;
    const char* name;
    switch (w.typ) {
    case NONE: name = "NONE"; break;
    case IZAHL: name = "IZAHL"; break;
    case RZAHL: name = "RZAHL"; break;
    case FZAHL: name = "FZAHL"; break;
    case BOOL: name = "BOOL"; break;
    case BYTE: name = "BYTE"; break;
    case TEXT: name = "TEXT"; break;
    case IZAHLPTR: name = "IZAHLPTR"; break;
    case TEXTPTR: name = "TEXTPTR"; break;
    case BVECTOR: name = "BVECTOR"; break;
    case IVECTOR: name = "IVECTOR"; break;
    case RVECTOR: name = "RVECTOR"; break;
    case FVECTOR: name = "FVECTOR"; break;
    case SVECTOR: name = "SVECTOR"; break;
    case TERMLIST: name = "TERMLIST"; break;
    default: name = "ELSE"; break;
    }
    text_ergebnis(erg, name);
    return 0;
}

// ---------------------------------------------------------------- Zahlenbasen

int Orvu::bin_(Term* l, Term* r, Term* erg) { return basis_wandeln(*this, BASIS_BIN, l, r, erg); }
int Orvu::oct_(Term* l, Term* r, Term* erg) { return basis_wandeln(*this, BASIS_OCT, l, r, erg); }
int Orvu::hex_(Term* l, Term* r, Term* erg) { return basis_wandeln(*this, BASIS_HEX, l, r, erg); }
int Orvu::dec_(Term* l, Term* r, Term* erg) { return basis_wandeln(*this, BASIS_DEC, l, r, erg); }

// ---------------------------------------------------------------- int, float, Brueche

int Orvu::int_(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 820, " 'int'-Operation ohne Rechtsargument\n")) return 1;
    Term w;
    if (auswerten(r, w, 821, " int8 Rechtsargument Fehler\n")) return 1;
    switch (w.typ) {
    case IZAHL: zahl_ergebnis(erg, w.izahl); return 0;
    case BYTE: zahl_ergebnis(erg, w.byte); return 0;
    case TEXT: zahl_ergebnis(erg, text_lesen(w.text, 10)); return 0;
    case RZAHL: {
        const Bruch& b = w.rzahl;
        if (b.nenner == 0 || (b.nenner == -1 && b.zaehler == INT64_MIN))
            return nicht_ganz(*this, w);
        zahl_ergebnis(erg, b.zaehler / b.nenner);
        return 0;
    }
    case FZAHL:
        // NaN besteht keinen der beiden Vergleiche.
        if (!(w.fzahl >= -0x1p63 && w.fzahl < 0x1p63)) return nicht_ganz(*this, w);
        zahl_ergebnis(erg, static_cast<int64_t>(w.fzahl));
        return 0;
    default:
        meld(822) << " int benoetigt einen rechtsoperanden typ izahl oder fzahl\n";
        return 1;
    }
}

int Orvu::float_(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 825, " Operation float ohne Rechtsargument\n")) return 1;
    Term w;
    if (rechtswert(*this, r, w)) return 1;
    switch (w.typ) {
    case IZAHL: erg->fzahl = static_cast<double>(w.izahl); break;
    case RZAHL:
        erg->fzahl = static_cast<double>(w.rzahl.zaehler) / static_cast<double>(w.rzahl.nenner);
        break;
    case FZAHL: erg->fzahl = w.fzahl; break;
    case TEXT: erg->fzahl = std::atof(w.text.c_str()); break;
    default:
        meld(826) << " int benoetigt einen rechtsoperanden typ izahl oder fzahl\n";
        return 1;
    }
    erg->typ = FZAHL;
    return 0;
}

int Orvu::zaehler(Term* l, Term* r, Term* erg) { return bruchteil(*this, l, r, erg, true); }
int Orvu::nenner(Term* l, Term* r, Term* erg) { return bruchteil(*this, l, r, erg, false); }

// ---------------------------------------------------------------- Byte-Records

// FZAHL -> 4 Bytes einfacher Genauigkeit (little endian), und zurueck.
int Orvu::float32(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 830, " Operation float ohne Rechtsargument\n")) return 1;
    Term w;
    if (rechtswert(*this, r, w)) return 1;
    if (w.typ == FZAHL) {
        text_ergebnis(erg, bytes_le(std::bit_cast<uint32_t>(als_float(w.fzahl)), 4));
    } else if (w.typ == TEXT && w.text.size() == 4) {
        erg->typ = FZAHL;
        erg->fzahl = std::bit_cast<float>(static_cast<uint32_t>(le_bytes(w.text)));
    } else {
        meld(831) << " float benoetigt einen rechtsoperanden typ fzahl oder text\n";
        return 1;
    }
    return 0;
}

int Orvu::int8(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 850, " int8 ohne Links- aber mit Rechtsargument aufrufen!\n")) return 1;
    Term w;
    if (auswerten(r, w, 851, " int8 Rechtsargument Fehler\n")) return 1;
    if (w.typ == IZAHL) text_ergebnis(erg, bytes_le(static_cast<uint64_t>(w.izahl), 1));
    else if (w.typ == TEXT && w.text.size() == 1)
        zahl_ergebnis(erg, static_cast<uint8_t>(w.text[0]));
    else if (w.typ == BYTE) zahl_ergebnis(erg, w.byte);
    else {
        meld(852) << " int8 Rechtsargument int oder text mit len 1 !\n";
        return 1;
    }
    return 0;
}

int Orvu::int16(Term* l, Term* r, Term* erg) {
    return int_n(*this, l, r, erg, 2,
                 " float benoetigt einen rechtsoperanden typ fzahl oder text\n");
}

int Orvu::int32(Term* l, Term* r, Term* erg) {
    return int_n(*this, l, r, erg, 4,
                 " int32 benoetigt einen rechtsoperanden typ izahl oder text\n");
}

int Orvu::swap16_(Term* l, Term* r, Term* erg) { return swap_n(*this, l, r, erg, 2); }
int Orvu::swap32_(Term* l, Term* r, Term* erg) { return swap_n(*this, l, r, erg, 4); }

// ---------------------------------------------------------------- utf8

int Orvu::utf8(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 840, " utf bitte mit Recht- aber ohne Linkssargument aufrufen!\n"))
        return 1;
    Term w;
    if (auswerten(r, w, 841, " utf Rechtsargument Fehler\n")) return 1;
    if (w.typ == IZAHL) {
        text_ergebnis(erg, utf8_kodieren(static_cast<int32_t>(static_cast<uint32_t>(w.izahl))));
        return 0;
    }
    if (w.typ != TEXT || w.text.empty()) {
        meld(843) << " utf8 Rechtsargument int oder text mit len >=1 \n";
        return 1;
    }
    const int64_t c = utf8_dekodieren(w.text);
    if (c < 0) {
        const unsigned zweites = w.text.size() > 1 ? static_cast<uint8_t>(w.text[1]) : 0u;
        meld(842) << " utf8 Rechtsargument ungueltiger utf8str" << w.text.size()
                  << unsigned{static_cast<uint8_t>(w.text[0])} << zweites << "\n";
        return 1;
    }
    zahl_ergebnis(erg, c);
    return 0;
}

// ---------------------------------------------------------------- Roemische Zahlen

int Orvu::roem(Term* l, Term* r, Term* erg) {
    if (!r) {
        meld(870) << " Operation roem ohne Rechtsargument\n";
        return 1;
    }
    Term w;
    if (rechtswert(*this, r, w)) return 1;
    if (w.typ == TEXT) {
        int64_t z;
        if (roem2int(w.text, &z)) return 1;
        zahl_ergebnis(erg, z);
        return 0;
    }
    if (w.typ != IZAHL) {
        meld(873) << " Operation roem benoetigt rechtsoperanden typ izahl oder text, nicht typ "
                  << w.typ << "\n";
        return 1;
    }
    std::string s;
    if (int2roem(w.izahl, &s)) return 1;
    const int64_t b = breite(l);
    if (b > MAX_ROEMBREITE) {
        meld(874) << " Operation roem Breite " << b << " zu gross (hoechstens " << MAX_ROEMBREITE
                  << ")\n";
        return 1;
    }
    if (b > 0 && static_cast<size_t>(b) > s.size())
        s.insert(0, static_cast<size_t>(b) - s.size(), ' ');
    text_ergebnis(erg, std::move(s));
    return 0;
}

// Nur Buchstaben aus "ivxlcdmIVXLCDM"; der Wert wird in 64 Bit gerechnet, so kann
// auch ein sehr langer Text nicht ueberlaufen (jeder Buchstabe hoechstens 1000).
int Orvu::roem2int(std::string& text, int64_t* erg) {
    if (text.find_first_not_of("ivxlcdmIVXLCDM") != std::string::npos) {
        meld(871) << " roemtoint fehler\n";
        return 1;
    }
    *erg = roem2int_up(text.data(), text.size());
    return 0;
}

// Von rechts nach links: ein Buchstabe ab dem bisher groessten Wert zaehlt dazu, eine
// Gruppe kleinerer links davon wird (rekursiv bewertet) abgezogen. IIX ist 8. Die
// Rekursion ist hoechstens sieben Stufen tief: jede Gruppe hat einen kleineren Hoechstwert.
int64_t Orvu::roem2int_up(char* text, size_t laenge) {
    size_t a = 0;
    while (a < laenge && text[a] == ' ') ++a;
    size_t e = a;
    for (; e < laenge && std::isalpha(static_cast<unsigned char>(text[e])); ++e)
        text[e] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[e])));
    int64_t summe = 0;
    int max = 0;
    for (size_t i = e; i > a;) {
        const int v = roemwert(text[i - 1]);
        if (v >= max) {
            summe += v;
            max = v;
            --i;
            continue;
        }
        size_t g = i - 1;
        while (g > a && roemwert(text[g - 1]) < max) --g;
        summe -= roem2int_up(text + g, i - g);
        i = g;
    }
    return summe;
}

struct RoemStufe {
    int wert;
    int schwelle;
    char buchstabe;
    const char* paar;  // Subtraktionspaar an der Schwelle
};

int Orvu::int2roem(int64_t z, std::string* aus) {
    static const RoemStufe stufen[] = {
        {1000, 4000, 'M', ""}, {500, 900, 'D', "CM"}, {100, 400, 'C', "CD"},
        {50, 90, 'L', "XC"},   {10, 40, 'X', "XL"},   {5, 9, 'V', "IX"},
        {1, 4, 'I', "IV"}};
    if (z >= 4000 || z <= 0) {
        meld(872) << " Operation roem int >=4000 oder <=0 \n";
        return 1;
    }
    aus->clear();
    for (const RoemStufe& s : stufen) {
        if (z < s.wert) continue;
        if (z >= s.schwelle) {
            *aus += s.paar;
            z -= s.schwelle;
        } else {
            for (; z >= s.wert; z -= s.wert) aus->push_back(s.buchstabe);
        }
    }
    return 0;
}
