// SPDX-License-Identifier: MIT
// Melodien: melodie (Noten relativ zur vorigen) und melodie1 (absolute Tonhoehen).
// Ortsnummern 1901-1999.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "orvu.h"
#include "plattform.h"

namespace {
using O = Orvu;

constexpr double BASIS_HZ = 220.0;
constexpr int GANZE_MS = 1500;    // eine Note ohne Laengenangabe
constexpr size_t WORT_ZEIGEN = 40;  // so viel eines abgelehnten Worts steht in der Meldung

double halbton_faktor() {
    static const double q = std::pow(2, 0.08333333333333333);
    return q;
}

// Halbtonnummer des Notenbuchstabens (c = 0 ... b = 11) oder -1.
int halbton(char c) {
    switch (c) {
    case 'c': return 0;
    case 'd': return 2;
    case 'e': return 4;
    case 'f': return 5;
    case 'g': return 7;
    case 'a': return 9;
    case 'b': return 11;
    default: return -1;
    }
}

bool trenner(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Vorzeichen ab i: jedes "is" einen Halbton hinauf, jedes "es" einen hinab, in der Folge
// auf f angewandt (f darf nullptr sein: nur ueberlesen).
void vorzeichen(std::string_view w, size_t& i, double* f) {
    while (i + 1 < w.size() && (w[i] == 'i' || w[i] == 'e') && w[i + 1] == 's') {
        if (f) *f = w[i] == 'i' ? *f * halbton_faktor() : *f / halbton_faktor();
        i += 2;
    }
}

// Oktavzeichen ab i: "'" hinauf, "," hinab; liefert die Summe.
int64_t oktaven(std::string_view w, size_t& i) {
    int64_t o = 0;
    for (; i < w.size() && (w[i] == '\'' || w[i] == ','); ++i) o += w[i] == '\'' ? 1 : -1;
    return o;
}

// Dauer ab i: Ziffern d geben GANZE_MS / d Millisekunden (ganzzahlig), keine Ziffern oder
// d = 0 eine ganze Note; ein "." danach das Anderthalbfache, abgeschnitten. Grosse d
// saettigen: ab GANZE_MS + 1 ist die Dauer ohnehin 0.
int dauer(std::string_view w, size_t& i) {
    int64_t d = 0;
    for (; i < w.size() && w[i] >= '0' && w[i] <= '9'; ++i)
        if (d <= GANZE_MS) d = d * 10 + (w[i] - '0');
    int ms = d == 0 ? GANZE_MS : static_cast<int>(GANZE_MS / d);
    if (i < w.size() && w[i] == '.') ms = ms * 3 / 2;
    return ms;
}

// Gerade ganze Frequenz im Hoerbereich, oder false.
bool gerade_hz(double f, int& hz) {
    if (!(f >= O::TON_MIN_HZ && f < O::TON_MAX_HZ + 1.0)) return false;
    hz = static_cast<int>(f) / 2 * 2;
    return true;
}

}  // namespace

bool Orvu::melodie_toene(std::string_view text, bool absolut, std::vector<Melodieton>& toene,
                         std::string& falsch) {
    // Tab, Wagenruecklauf und Zeilenende trennen wie ein Blank; jeder Trenner fuer sich,
    // zwei hintereinander umschliessen ein leeres Wort. Ein Backslash zaehlt als "X" und
    // wirkt damit an keiner Stelle eines Worts.
    bool erstes = !absolut;  // melodie: das erste Wort setzt nur den Ausgangspunkt
    int p = 0;
    int64_t o = 0;
    size_t a = 0;
    for (;;) {
        size_t e = a;
        while (e < text.size() && !trenner(text[e])) ++e;
        const std::string_view w = text.substr(a, e - a);
        const int s = w.empty() ? -1 : halbton(w[0]);
        size_t i = 1;
        if (erstes) {
            erstes = false;
            p = s < 0 ? 0 : s;
            if (!w.empty()) {
                vorzeichen(w, i, nullptr);
                o += oktaven(w, i);
            }
        } else if (s >= 0) {
            double f;
            if (absolut) {
                f = BASIS_HZ * std::pow(halbton_faktor(), s - 9);
                vorzeichen(w, i, &f);
                const int64_t k = oktaven(w, i);
                f *= std::pow(2.0, static_cast<double>(k));
            } else {
                // Innerhalb eines Tritonus von der vorigen Note; der Tritonus selbst bleibt.
                if (s - p > 6) --o;
                if (s - p < -6) ++o;
                p = s;
                o += oktaven(w, i);
                f = BASIS_HZ * std::pow(halbton_faktor(), s) *
                    std::pow(2.0, static_cast<double>(o));
                vorzeichen(w, i, &f);
            }
            Melodieton t;
            if (!gerade_hz(f, t.hz)) {
                falsch = w.size() > WORT_ZEIGEN ? std::string(w.substr(0, WORT_ZEIGEN)) + "..."
                                                : std::string(w);
                return false;
            }
            t.ms = dauer(w, i);
            toene.push_back(t);
        }
        if (e >= text.size()) return true;
        a = e + 1;
    }
}

int Orvu::melodie_spielen(Term* l, Term* r, Term* erg, bool absolut) {
    if (l) {
        meld(1901) << " ERR: melodie hat Linksargument!\n";
        return 1;
    }
    if (!r) {
        meld(1902) << " melodie benoetigt rechtsargument\n";
        return 1;
    }
    Term w;
    if (wert(r, &w) || w.typ != TEXT) {
        meld(1903) << " melodie benoetigt rechts text\n";
        return 1;
    }
    std::vector<Melodieton> toene;
    std::string falsch;
    if (!melodie_toene(w.text, absolut, toene, falsch)) {
        meld(1904) << " melodie: Ton " << falsch << " ausserhalb " << TON_MIN_HZ << " bis "
                   << TON_MAX_HZ << " Hz\n";
        return 1;
    }
    const char* w_env = std::getenv("ORVU_WAV");
    const std::string wav = w_env ? w_env : "";
    plattform::Tonausgabe aus(wav);
    if (int rc = aus.fehler()) {
        meld(1905) << " melodie: WAV-Datei " << wav << " nicht angelegt: " << std::strerror(rc)
                   << "\n";
        return 1;
    }
    for (size_t j = 0; j < toene.size(); ++j) {
        if (int rc = aus.ton(toene[j].hz, toene[j].ms)) {
            meld(1906) << " melodie: WAV-Datei " << wav << " nicht geschrieben: "
                       << std::strerror(rc) << "\n";
            return 1;
        }
        *fehler << j << ": " << toene[j].hz << "\n";
    }
    if (int rc = aus.ende()) {
        meld(1907) << " melodie: WAV-Datei " << wav << " nicht geschrieben: "
                   << std::strerror(rc) << "\n";
        return 1;
    }
    return setze_izahl(erg, 0);
}

int Orvu::melodie(Term* l, Term* r, Term* erg) { return melodie_spielen(l, r, erg, false); }

int Orvu::melodie1(Term* l, Term* r, Term* erg) { return melodie_spielen(l, r, erg, true); }
