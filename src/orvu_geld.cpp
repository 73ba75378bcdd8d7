// SPDX-License-Identifier: MIT
// Zins und Geld: zins (ueber die Klasse Zins) und cent (Geldtext <-> ganze Cent).
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "orvu.h"
#include "zins.h"

namespace {

enum class Geld { ok, zu_viele_stellen, komma_fehlt, zu_gross };

// "[-]euro[,cc]" -> Cent. Der Eurobetrag wird wie von atoi gelesen (Leerraum, Vorzeichen,
// Ziffern; was danach kommt, zaehlt nicht), nach dem Komma stehen null bis zwei Ziffern:
// eine Ziffer sind Zehntel ("1,5" ist 150 Cent). Gerechnet in 64 Bit.
Geld lies_geld(const char* s, int64_t& cent) {
    const char* p = s;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    const bool minus = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    uint64_t betrag = 0;
    bool zu_gross = false;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
        zu_gross |= __builtin_mul_overflow(betrag, 10u, &betrag) ||
                    __builtin_add_overflow(betrag, static_cast<uint64_t>(*p - '0'), &betrag);
    uint64_t c = 0;
    if (*p == ',') {
        int stellen = 0;
        for (++p; std::isdigit(static_cast<unsigned char>(*p)); ++p, ++stellen)
            c = c * 10 + static_cast<uint64_t>(*p - '0');
        if (stellen > 2) return Geld::zu_viele_stellen;
        if (stellen == 1) c *= 10;
    } else if (std::strchr(p, ',')) {
        return Geld::komma_fehlt;  // etwa "1.234,56": das Komma gehoert nicht zur Zahl
    }
    zu_gross |= __builtin_mul_overflow(betrag, 100u, &betrag) ||
                __builtin_add_overflow(betrag, c, &betrag);
    const uint64_t grenze = minus ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    if (zu_gross || betrag > grenze) return Geld::zu_gross;
    cent = minus ? static_cast<int64_t>(0 - betrag) : static_cast<int64_t>(betrag);
    return Geld::ok;
}

// Cent -> "[-]euro,cc".
std::string geld_text(int64_t cent) {
    const uint64_t betrag = cent < 0 ? 0 - static_cast<uint64_t>(cent) : static_cast<uint64_t>(cent);
    std::string s = cent < 0 ? "-" : "";
    s += std::to_string(betrag / 100);
    s += ',';
    s += static_cast<char>('0' + betrag % 100 / 10);
    s += static_cast<char>('0' + betrag % 10);
    return s;
}

}  // namespace

// zins "liste": der Jahresfaktor q (1 + Zinssatz) der Zahlungsliste als FZAHL. Kann die
// Liste nicht gelesen oder keine Nullstelle gefunden werden, steht die Meldung da und
// q ist 1.0 (Status 0).
int Orvu::zins(Term* l, Term* r, Term* erg) {
    static const char* const meldung = " kein gueltiger zinsaufruf\n";
    if (nur_rechts(l, r, 1301, meldung)) return 1;
    Term w;
    if (wie_geschrieben(r, w, 1302, "\n")) return 1;
    if (w.typ != TEXT) {
        meld(1303) << meldung;
        return 1;
    }
    double q = 1.0;
    Zins().berechne(w.text.c_str(), &q, *fehler);
    return setze_fzahl(erg, q);
}

// cent "12,34" ist 1234, cent 1234 ist "12,34".
int Orvu::cent(Term* l, Term* r, Term* erg) {
    static const char* const meldung = " Operation cent: ohne Linksargument, mit Rechtsargument\n";
    if (nur_rechts(l, r, 1304, meldung)) return 1;
    Term w;
    if (auswerten(r, w, 1305, " fehler bei cent\n")) return 1;
    if (w.typ == IZAHL) return setze_text(erg, geld_text(w.izahl));
    if (w.typ != TEXT) {
        meld(1306) << meldung;
        return 1;
    }
    int64_t c = 0;
    switch (lies_geld(w.text.c_str(), c)) {
    case Geld::ok: return setze_izahl(erg, c);
    case Geld::zu_viele_stellen:
        meld(1307) << " cent: mehr als zwei Stellen nach dem Komma: " << w.text << "\n";
        return 1;
    case Geld::komma_fehlt:
        meld(1308) << " cent: Komma nicht direkt hinter der Zahl: " << w.text << "\n";
        return 1;
    case Geld::zu_gross:
        meld(1309) << " cent: Betrag ausserhalb von 64 Bit: " << w.text << "\n";
        return 1;
    }
    return 1;
}
