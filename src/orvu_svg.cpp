// SPDX-License-Identifier: MIT
// SVG-Builtins: Dokument oeffnen und schreiben, Achsen, Punkte, Linien, Flaechen, Boegen,
// Funktions- und Datenkurven, Text. Ortsnummern 1601-1799.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "orvu.h"
#include "svg.h"

using O = Orvu;

namespace {

// Baut ein Element: Text, Zahlen in Format F, maskierte Attributwerte.
struct Zeile {
    std::string s;
    Zeile& t(const char* text) { s += text; return *this; }
    Zeile& f(double x) { svg::f(s, x); return *this; }
    Zeile& x(std::string_view wert) { svg::xml(s, wert); return *this; }
};

bool beginnt(const std::string& t, const char* praefix, std::string& rest) {
    const size_t n = std::strlen(praefix);
    if (t.compare(0, n, praefix) != 0) return false;
    rest = t.substr(n);
    return true;
}

// Gelesene Argumente eines Form-Builtins.
struct Gelesen {
    double z[4] = {0, 0, 0, 0};
    size_t n = 0;              // gefuellte Koordinaten
    double sd = 0;
    std::string sf = "black";
    std::string ff = "none";
};

// Wie ein Form-Builtin seine Liste liest.
struct Leseart {
    size_t plaetze;         // Koordinaten
    size_t fv_alle;         // FVECTOR dieser Laenge setzt alle Koordinaten (0: keine)
    bool fv_paar;           // FVECTOR mit 2 Werten fuellt die naechsten zwei
    bool fv_mitte;          // FVECTOR mit 2 Werten setzt x, y; das naechste Element r
    bool fuellung;          // "ff=" erlaubt
    const char* schlecht;   // Meldung fuer ein falsches Element
    bool mit_typ;           // ... gefolgt vom typ und "'\n"
    const char* zuviel;     // Meldung fuer zu viele Koordinaten
};

}  // namespace

Svg* O::svg_dokument(int ort, const char* name) {
    Svg* d = teil_wenn_da<Svg>();
    if (d && d->offen) return d;
    meld(ort) << " " << name << ": kein SVG-Dokument offen (erst svg_open)\n";
    return nullptr;
}

std::vector<double>* O::svg_fvektor_var(Term* k) {
    if (!k || k->typ != VARREF) return nullptr;
    Var* v = var_still(k);
    return v && v->typ == V_FVECTOR ? v->fvector : nullptr;
}

namespace {

svg::Abbildung abbildung(O& o) {
    auto z = [&](int i) { return o.var[static_cast<size_t>(i)].fzahl; };
    return {z(svg::BREITE), z(svg::HOEHE), z(svg::RECHTS), z(svg::HOCH), z(svg::EINHEIT),
            z(svg::PIXEL)};
}

double strich(O& o) { return o.var[svg::STRICH].fzahl; }

// Eine ganzzahlige STRICH-Variable bekommt ihren Wert auch als fzahl (bleibt so).
void strich_angleichen(O& o) {
    O::Var& s = o.var[svg::STRICH];
    if (s.typ == O::V_IZAHL) s.fzahl = static_cast<double>(s.izahl);
}

// Die Elemente einer TERMLIST, sonst keine.
std::vector<O::Term>* elemente(O::Term* r) {
    static std::vector<O::Term> leer;
    if (r && r->typ == O::TERMLIST && r->termlist) return r->termlist;
    leer.clear();
    return &leer;
}

// Eine Stiloption "sd=", "sf=" (und mit fuellung "ff=") nach g; false, wenn w keine ist.
bool stil(const O::Term& w, Gelesen& g, bool fuellung) {
    if (w.typ != O::TEXT) return false;
    std::string rest;
    if (beginnt(w.text, "sd=", rest)) g.sd = std::atof(rest.c_str());
    else if (beginnt(w.text, "sf=", rest)) g.sf = rest;
    else if (fuellung && beginnt(w.text, "ff=", rest)) g.ff = rest;
    else return false;
    return true;
}

// Rechter Operand als VARREF auf einen Fvector mit n Werten (mindestens n, wenn nicht
// genau) nach g.z; sonst meldet ort (kein Fvector) oder ort + 1 (falsche Laenge).
int lies_fvektor(O& o, O::Term* r, size_t n, bool genau, Gelesen& g, int ort,
                 const char* kein, const char* laenge) {
    const std::vector<double>* v = o.svg_fvektor_var(r);
    if (!v) {
        o.meld(ort) << kein;
        return 1;
    }
    if (genau ? v->size() != n : v->size() < n) {
        o.meld(ort + 1) << laenge;
        return 1;
    }
    for (size_t k = 0; k < n; ++k) g.z[k] = (*v)[k];
    g.n = n;
    return 0;
}

}  // namespace

// Liest die Liste eines Form-Builtins (Zahlen, FVECTOR, Optionen) nach g.
static int lies_form(O& o, std::vector<O::Term>& liste, const Leseart& a, Gelesen& g, int ort) {
    auto schlecht = [&](const O::Term& w) {
        o.meld(ort) << a.schlecht;
        if (a.mit_typ) *o.fehler << w.typ << "'\n";
        return 1;
    };
    for (size_t i = 0; i < liste.size(); ++i) {
        O::Term w;
        o.wert(&liste[i], &w);
        double x;
        if (O::als_double(w, x)) {
            if (g.n >= a.plaetze) {
                o.meld(ort + 1) << a.zuviel;
                return 1;
            }
            g.z[g.n++] = x;
        } else if (w.typ == O::FVECTOR && w.fvector) {
            const std::vector<double>& v = *w.fvector;
            if (a.fv_alle && v.size() == a.fv_alle) {
                for (size_t k = 0; k < a.fv_alle; ++k) g.z[k] = v[k];
                g.n = a.fv_alle;
            } else if (a.fv_paar && v.size() == 2) {
                if (g.n + 2 > a.plaetze) return schlecht(w);
                g.z[g.n++] = v[0];
                g.z[g.n++] = v[1];
            } else if (a.fv_mitte && v.size() == 2) {
                O::Term rw;
                if (i + 1 >= liste.size()) {
                    o.meld(ort + 2) << a.zuviel;
                    return 1;
                }
                o.wert(&liste[++i], &rw);
                double r;
                if (!O::als_double(rw, r)) {  // kein Radius: kein stiller Radius 0
                    o.meld(ort + 2) << a.zuviel;
                    return 1;
                }
                g.z[0] = v[0];
                g.z[1] = v[1];
                g.z[2] = r;
                g.n = 3;
            } else {
                return schlecht(w);
            }
        } else if (!stil(w, g, a.fuellung)) {
            return schlecht(w);
        }
    }
    return 0;
}

int O::svg_open(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(1601) << " svg_open fehler: linkes Argument?\n";
        return 1;
    }
    var[svg::EINHEIT].fzahl = 1;
    var[svg::PIXEL].fzahl = 3.71;
    double zahlen[4] = {100, 100, 50, 50};
    size_t n = 0;
    std::string kodierung;
    if (r && r->typ == TERMLIST && r->termlist) {
        for (Term& e : *r->termlist) {
            Term w;
            wert(&e, &w);
            double x;
            std::string rest;
            if (als_double(w, x)) {
                if (n == 4) {
                    meld(1602) << " svg_open zu viele arg\n";
                    return 1;
                }
                zahlen[n++] = x;
            } else if (w.typ == TEXT && beginnt(w.text, "einheit=", rest)) {
                var[svg::EINHEIT].fzahl = std::atof(rest.c_str());
            } else if (w.typ == TEXT && beginnt(w.text, "pixel=", rest)) {
                var[svg::PIXEL].fzahl = std::atof(rest.c_str());
            } else if (w.typ == TEXT && beginnt(w.text, "encoding=", rest)) {
                kodierung = rest;
            } else {
                meld(1603) << " svg_strecke arg fehler '" << w.typ << "'\n";
                return 1;
            }
        }
    }
    // Der Name der Kodierung steht in der XML-Deklaration: nur Zeichen eines Namens.
    const bool name_ok =
        kodierung.empty() ||
        (std::isalpha(static_cast<unsigned char>(kodierung[0])) &&
         kodierung.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                     "0123456789._-") == std::string::npos);
    if (!name_ok) {
        meld(1604) << " svg_open encoding ungueltig: " << kodierung << "\n";
        return 1;
    }
    for (int i = 0; i < 4; ++i) var[static_cast<size_t>(svg::BREITE + i)].fzahl = zahlen[i];
    Svg& d = teil<Svg>();
    d.offen = true;
    d.text.clear();
    const svg::Abbildung a = abbildung(*this);
    Zeile z;
    if (!kodierung.empty()) z.t("<?xml version=\"1.0\" encoding=\"").t(kodierung.c_str()).t("\"?>\n");
    z.t("<svg width='").f(a.sl(a.W)).t("' height='").f(a.sl(a.H));
    z.t("' xmlns='http://www.w3.org/2000/svg'>\n");
    d.text = std::move(z.s);
    return setze_izahl(erg, 0);
}

int O::svg_close(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1610, "svg_close");
    if (!d) return 1;
    if (l) {
        meld(1611) << " operanden fehler bei svg_close \n";
        return 1;
    }
    std::string text = std::move(d->text);
    d->text.clear();
    d->offen = false;
    text += "</svg>\n";
    if (r && r->typ == TEXT) {
        int nr = 0;
        const int rc = svg::datei_ersetzen(r->text, text, nr);
        if (rc == 1) {
            meld(1612) << " svg_close ausgabedate fehler: " << r->text << "\n";
            return 1;
        }
        if (rc == 2) {
            meld(1613) << " svg_close schreibfehler: " << r->text << ": " << std::strerror(nr)
                       << "\n";
            return 1;
        }
    } else if (schreibe_aus(text)) {
        return 1;
    }
    return setze_izahl(erg, 0);
}

int O::svg_kreuz(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1620, "svg_kreuz");
    if (!d) return 1;
    if (l) {
        meld(1621) << " operanden fehler bei svg_close \n";
        return 1;
    }
    const svg::Abbildung a = abbildung(*this);
    double dx = 10 * a.E, dy = 10 * a.E;
    if (r) {
        Term w;
        if (wert(r, &w)) {
            meld(1622) << " svg_kreuz Rechtsargument Fehler\n";
            return 1;
        }
        if (r->typ == TERMLIST) {
            if (!w.termlist || w.termlist->size() < 2) {
                meld(1623) << " svg_kreuz rechtsoperand fehler\n";
                return 1;
            }
            Term x, y;
            wert(&(*w.termlist)[0], &x);
            wert(&(*w.termlist)[1], &y);
            to_fzahl(&x);
            to_fzahl(&y);
            dx = x.fzahl;
            dy = y.fzahl;
        } else if (w.typ == IZAHL) {
            dx = dy = static_cast<double>(w.izahl);
        } else if (w.typ == FZAHL) {
            dx = dy = std::trunc(w.fzahl);
        } else {
            meld(1624) << " svg_kreuz rechtsoperand fehler\n";
            return 1;
        }
    }
    // Mehr Teilstriche als hier waeren keine Achse mehr, sondern ein voller Balken.
    constexpr long MAX_STRICHE = 100000;
    auto zu_viele = [](double laenge, double schritt) {
        return schritt > 0 && laenge / schritt > MAX_STRICHE;
    };
    if (zu_viele(a.W, dx) || zu_viele(a.H, dy)) {
        meld(1625) << " svg_kreuz zu viele Teilstriche (hoechstens " << MAX_STRICHE
                   << " je Achse)\n";
        return 1;
    }
    const double achse = a.H - a.U;
    const char* ende = "' stroke-width='1.0' stroke='black' />\n";
    Zeile z;
    z.t("<line x1='").f(0).t("' y1='").f(a.sl(achse)).t("' x2='").f(a.sl(a.W));
    z.t("' y2='").f(a.sl(achse)).t(ende);
    z.t("<line x1='").f(a.sl(a.R)).t("' y1='").f(0).t("' x2='").f(a.sl(a.R));
    z.t("' y2='").f(a.sl(a.H)).t(ende);
    // Schrittweiten bis null zeichnen keine Teilstriche (die Schleife endete sonst nie).
    if (dx > 0) {
        long k = 0;
        for (double t = a.R - std::trunc(a.R / dx) * dx; a.W > t && k <= MAX_STRICHE; t += dx, ++k) {
            z.t("<line x1='").f(a.sl(t)).t("' y1='").f(a.sl(achse + 1.5)).t("' x2='").f(a.sl(t));
            z.t("' y2='").f(a.sl(achse - 1.5)).t(ende);
        }
    }
    if (dy > 0) {
        long k = 0;
        for (double s = achse - std::trunc(achse / dy) * dy; a.H > s && k <= MAX_STRICHE; s += dy, ++k) {
            z.t("<line x1='").f(a.sl(a.R - 1.5)).t("' y1='").f(a.sl(s)).t("' x2='");
            z.f(a.sl(a.R + 1.5)).t("' y2='").f(a.sl(s)).t(ende);
        }
    }
    d->text += z.s;
    return setze_izahl(erg, 0);
}

namespace {
// Eine Linie wie svg_strecke sie schreibt.
void linie(Zeile& z, const svg::Abbildung& a, double x1, double y1, double x2, double y2,
           double sd, const std::string& farbe) {
    z.t("<line x1='").f(a.sx(x1)).t("' y1='").f(a.sy(y1)).t("' x2='").f(a.sx(x2));
    z.t("' y2='").f(a.sy(y2)).t("' stroke-width='").f(a.P * sd).t("' stroke='").x(farbe);
    z.t("' />\n");
}
}  // namespace

int O::svg_punkt(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1630, "svg_punkt");
    if (!d) return 1;
    if (l || !r) {
        meld(1631) << " svg_punkt fehler: linkes Argument?\n";
        return 1;
    }
    Gelesen g;
    g.sd = strich(*this);
    if (r->typ == VARREF) {
        if (lies_fvektor(*this, r, 2, true, g, 1632, " svg_punkt fehler\n", " svg_gerade fehler\n"))
            return 1;
    } else if (r->typ != TERMLIST) {
        meld(1634) << " svg_punkt fehler\n";
        return 1;
    } else {
        static const Leseart art{2, 2, false, false, false, " svg_punkt arg fehler\n", false,
                                 " svg_punkt arg fehler\n"};
        if (lies_form(*this, *elemente(r), art, g, 1635)) return 1;
        if (g.n != 2) {
            meld(1638) << " svg_punkt fehler\n";
            return 1;
        }
    }
    const svg::Abbildung a = abbildung(*this);
    Zeile z;
    z.t("<circle cx='").f(a.sx(g.z[0] * a.E)).t("' cy='").f(a.sy(g.z[1] * a.E));
    z.t("' r='").f(a.P * g.sd).t("' fill='").x(g.sf).t("' />\n");
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_strecke(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1640, "svg_strecke");
    if (!d) return 1;
    if (l) {
        meld(1641) << " operanden fehler bei svg_strecke \n";
        return 1;
    }
    strich_angleichen(*this);
    Gelesen g;
    g.sd = strich(*this);
    static const Leseart art{4, 0, true, false, false, " svg_strecke arg fehler '", true,
                             " svg_strecke arg fehler\n"};
    if (lies_form(*this, *elemente(r), art, g, 1642)) return 1;
    if (g.n != 4) {
        meld(1645) << " svg_strecke arg fehler " << g.n << "\n";
        return 1;
    }
    Zeile z;
    linie(z, abbildung(*this), g.z[0], g.z[1], g.z[2], g.z[3], g.sd, g.sf);
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_gerade(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1650, "svg_gerade");
    if (!d) return 1;
    if (l || !r) {
        meld(1651) << " operanden fehler bei svg_gerade \n";
        return 1;
    }
    Gelesen g;
    g.sd = strich(*this);
    if (r->typ == VARREF) {
        if (lies_fvektor(*this, r, 3, false, g, 1652, " svg_gerade fehler\n",
                         " svg_strecke arg fehler\n"))
            return 1;
    } else if (r->typ != TERMLIST) {
        meld(1654) << " svg_gerade fehler\n";
        return 1;
    } else {
        static const Leseart art{3, 3, false, false, false, " svg_strecke arg fehler\n", false,
                                 " svg_strecke arg fehler\n"};
        if (lies_form(*this, *elemente(r), art, g, 1655)) return 1;
        if (g.n != 2 && g.n != 3) {
            meld(1658) << " svg_punkt fehler\n";
            return 1;
        }
        if (g.n == 2) {  // b, c: a ist 1
            g.z[2] = g.z[1];
            g.z[1] = g.z[0];
            g.z[0] = 1;
        }
    }
    const svg::Abbildung a = abbildung(*this);
    const double ka = g.z[0], kb = g.z[1], kc = g.z[2];
    double xa, ya, xb, yb;
    if (ka != 0) {
        xa = -a.R;
        xb = a.W - a.R;
        ya = kc / ka + kb * xa / ka;
        yb = kc / ka + kb * xb / ka;
    } else {
        xa = xb = kc / kb;
        ya = -a.U;
        yb = a.H - a.U;
    }
    Zeile z;
    linie(z, a, xa * a.E, ya * a.E, xb * a.E, yb * a.E, g.sd, g.sf);
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_rechteck(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1660, "svg_rechteck");
    if (!d) return 1;
    if (l) {
        meld(1661) << " operanden fehler bei svg_rechteck \n";
        return 1;
    }
    Gelesen g;
    g.sd = strich(*this);
    static const Leseart art{4, 0, false, false, true, " svg_rechteck arg fehler\n", false,
                             " svg_rechteck arg fehler\n"};
    if (lies_form(*this, *elemente(r), art, g, 1662)) return 1;
    if (g.n != 4) {
        meld(1665) << " svg_rechteck arg fehler " << g.n << "\n";
        return 1;
    }
    const svg::Abbildung a = abbildung(*this);
    Zeile z;
    z.t("<rect x='").f(a.sx(g.z[0])).t("' y='").f(a.sy(g.z[1] + g.z[3]));
    z.t("' width='").f(a.sl(g.z[2])).t("' height='").f(a.sl(g.z[3]));
    z.t("' stroke-width='").f(a.P * g.sd).t("' stroke='").x(g.sf).t("' fill='").x(g.ff);
    z.t("' />\n");
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_polygon(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1670, "svg_polygon");
    if (!d) return 1;
    if (l || !r || r->typ != TERMLIST || !r->termlist) {
        meld(1671) << " operanden fehler1 bei svg_polygon \n";
        return 1;
    }
    const svg::Abbildung a = abbildung(*this);
    Gelesen g;
    g.sd = strich(*this);
    std::string punkte = "<polygon points='";
    auto punkt = [&](double x, double y) {
        svg::g(punkte, (a.R + x) * a.E * a.P);
        punkte += ' ';
        svg::g(punkte, (a.H - a.U - y) * a.E * a.P);
        punkte += ' ';
    };
    std::vector<Term>& liste = *r->termlist;
    for (size_t i = 0; i < liste.size(); ++i) {
        Term w;
        wert(&liste[i], &w);
        double x, y;
        if (als_double(w, x)) {
            if (i + 1 >= liste.size()) {
                meld(1672) << " operanden fehler2 bei svg_polygon \n";
                return 1;
            }
            Term wy;
            wert(&liste[++i], &wy);
            if (!als_double(wy, y)) {
                meld(1673) << " operanden fehler3 bei svg_polygon \n";
                return 1;
            }
            punkt(x, y);
        } else if (w.typ == FVECTOR && w.fvector && w.fvector->size() >= 2) {
            punkt((*w.fvector)[0], (*w.fvector)[1]);
        } else if (!stil(w, g, true)) {
            meld(1674) << " svg_polygon arg fehler4 " << w.typ << "\n";
            return 1;
        }
    }
    Zeile z;
    z.s = std::move(punkte);
    z.t("' stroke-width='").f(a.P * g.sd).t("' stroke='").x(g.sf).t("' fill='").x(g.ff);
    z.t("' />\n");
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_winkel(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1680, "svg_winkel");
    if (!d) return 1;
    if (l) {
        meld(1681) << " operanden fehler bei svg_winkel \n";
        return 1;
    }
    std::vector<Term>& liste = *elemente(r);
    if (liste.size() < 4 || liste.size() > 6) {
        meld(1682) << " svg_winkel arg fehler\n";
        return 1;
    }
    Gelesen g;
    g.sd = strich(*this);
    static const Leseart art{4, 0, false, false, false, " svg_strecke arg fehler\n", false,
                             " svg_strecke arg fehler\n"};
    if (lies_form(*this, liste, art, g, 1683)) return 1;
    if (g.n != 4) {
        meld(1686) << " svg_strecke arg fehler " << g.n << "\n";
        return 1;
    }
    const double x = g.z[0], y = g.z[1], len = g.z[2], w = g.z[3];
    Zeile z;
    linie(z, abbildung(*this), x, y, x + len * std::cos(w), y + len * std::sin(w), g.sd, g.sf);
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_kreis(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1690, "svg_kreis");
    if (!d) return 1;
    if (l || !r) {
        meld(1691) << " svg_kreis larg fehler \n";
        return 1;
    }
    Gelesen g;
    g.sd = strich(*this);
    if (r->typ == VARREF) {
        if (lies_fvektor(*this, r, 3, true, g, 1692, " svg_punkt fehler\n", " svg_kreis fehler\n"))
            return 1;
    } else if (r->typ != TERMLIST) {
        meld(1694) << " svg_punkt fehler\n";
        return 1;
    } else {
        static const Leseart art{3, 3, false, true, true, " svg_punkt arg fehler\n", false,
                                 " svg_kreis arg fehler\n"};
        if (lies_form(*this, *elemente(r), art, g, 1695)) return 1;
        if (g.n != 3) {
            meld(1698) << " svg_punkt fehler\n";
            return 1;
        }
    }
    const svg::Abbildung a = abbildung(*this);
    Zeile z;
    z.t("<circle cx='").f(a.sx(g.z[0])).t("' cy='").f(a.sy(g.z[1])).t("' r='").f(a.sl(g.z[2]));
    z.t("' stroke-width='").f(a.P * g.sd).t("' stroke='").x(g.sf).t("' fill='").x(g.ff);
    z.t("' />\n");
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_bogen(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1700, "svg_bogen");
    if (!d) return 1;
    if (l) {
        meld(1701) << " svg_bogen larg fehler \n";
        return 1;
    }
    if (!r) {
        meld(1702) << " svg_bogen rarg fehler\n";
        return 1;
    }
    if (r->typ != TERMLIST || !r->termlist) {
        meld(1703) << " " << r->typ << " svg_bogen arg fehler\n";
        return 1;
    }
    std::vector<Term>& liste = *r->termlist;
    double winkel[2] = {0, svg::PI};
    size_t n_winkel = 0;
    Gelesen g;
    g.sd = strich(*this);
    double x, y, rad;
    size_t i = 0;
    auto zahl = [&](double& z) {
        if (i >= liste.size()) return false;
        Term w;
        wert(&liste[i++], &w);
        return als_double(w, z);
    };
    Term erst;
    if (!liste.empty()) wert(&liste[i++], &erst);
    if (als_double(erst, x)) {
        if (!zahl(y) || !zahl(rad)) {
            meld(1704) << " svg_bogen arg fehler\n";
            return 1;
        }
    } else if (erst.typ == FVECTOR && erst.fvector && erst.fvector->size() == 3) {
        x = (*erst.fvector)[0];
        y = (*erst.fvector)[1];
        rad = (*erst.fvector)[2];
    } else if (erst.typ == FVECTOR && erst.fvector && erst.fvector->size() == 2) {
        if (i >= liste.size()) {
            meld(1705) << " svg_bogen arg fehler\n";
            return 1;
        }
        x = (*erst.fvector)[0];
        y = (*erst.fvector)[1];
        Term w;
        wert(&liste[i++], &w);
        if (!als_double(w, rad)) {  // kein Radius: kein stiller Radius 0
            meld(1708) << " svg_bogen arg fehler\n";
            return 1;
        }
    } else {
        meld(1706) << " svg_bogen fehler\n";
        return 1;
    }
    for (; i < liste.size(); ++i) {
        Term w;
        wert(&liste[i], &w);
        double z;
        if (als_double(w, z) && n_winkel < 2) winkel[n_winkel++] = z;
        else if (!stil(w, g, false)) {
            meld(1707) << " svg_bogen arg fehler\n";
            return 1;
        }
    }
    for (double& a : winkel)
        if (a < 0) a += svg::ZWEI_PI;
    const svg::Abbildung a = abbildung(*this);
    Zeile z;
    z.t("<path d='M").f(a.sx(x + rad * std::cos(winkel[0]))).t(",");
    z.f(a.sy(y + rad * std::sin(winkel[0]))).t(" A").f(a.sl(rad)).t(",").f(a.sl(rad));
    z.t(" 0,").t(svg::grosser_bogen(winkel[0], winkel[1]) ? "1" : "0").t(",0 ");
    z.f(a.sx(x + rad * std::cos(winkel[1]))).t(" ").f(a.sy(y + rad * std::sin(winkel[1])));
    z.t("' fill='none' stroke-width='").f(a.P * g.sd).t("' stroke='").x(g.sf).t("' />\n");
    d->text += z.s;
    return setze_izahl(erg, 0);
}

bool O::svg_funktionswert(int64_t fun, double t, double& y) {
    std::vector<Term> argumente(1);
    argumente[0].typ = FZAHL;
    argumente[0].fzahl = t;
    Term aufruf;
    aufruf.typ = FUNCALL;
    aufruf.izahl = fun;
    aufruf.termlist = &argumente;
    aufruf.fun_anw = &funktionen[static_cast<size_t>(fun)].rumpf;
    Term w;
    if (wert(&aufruf, &w)) return false;
    return als_double(w, y) && std::isfinite(y);
}

int O::svg_kurve(Term* l, Term* r, Term* erg) {
    if (!svg_dokument(1720, "svg_kurve")) return 1;
    if (l) {
        meld(1721) << " operanden fehler bei svg_kurve \n";
        return 1;
    }
    std::vector<Term>& liste = *elemente(r);
    if (liste.size() < 4 || liste.size() > 8) {
        meld(1722) << " svg_kurve arg fehler\n";
        return 1;
    }
    int64_t fun[2];
    for (int k = 0; k < 2; ++k) {
        Term w;
        wert(&liste[static_cast<size_t>(k)], &w);
        if (w.typ != FUNREF) {
            meld(1723) << " Kurve fehler\n";
            return 1;
        }
        fun[k] = w.izahl;
    }
    double t_grenze[2] = {0, 0};
    size_t n = 0;
    double zoom = 1, zp = 100;
    Gelesen g;
    g.sd = strich(*this);
    for (size_t i = 2; i < liste.size(); ++i) {
        Term w;
        wert(&liste[i], &w);
        double z;
        std::string rest;
        if (als_double(w, z)) {
            if (n == 2) {
                meld(1724) << " svg_kurve arg_anz fehler\n";
                return 1;
            }
            t_grenze[n++] = z;
        } else if (w.typ == TEXT && beginnt(w.text, "zoom=", rest)) {
            zoom = std::atof(rest.c_str());
        } else if (w.typ == TEXT && beginnt(w.text, "zp=", rest) &&
                   std::isfinite(std::atof(rest.c_str()))) {
            zp = std::atof(rest.c_str());
        } else if (!stil(w, g, false)) {
            meld(1725) << " svg_kurve arg fehler\n";
            return 1;
        }
    }
    if (n < 2) {
        meld(1726) << " svg_kurve arg fehler " << n << "\n";
        return 1;
    }
    const svg::Abbildung a = abbildung(*this);
    Zeile z;
    z.t("<polyline fill='none' stroke-width='").f(a.P * g.sd).t("' stroke='").x(g.sf);
    z.t("' points='");
    // Ein Punkt, dessen Funktionswert keine endliche Zahl ist, fehlt in der Linie.
    auto punkt = [&](double t) {
        double fx, fy;
        if (!svg_funktionswert(fun[0], t, fx) || !svg_funktionswert(fun[1], t, fy)) return;
        z.f(a.sx(fx * zoom)).t(",").f(a.sy(fy * zoom)).t(" ");
    };
    const double schritt = (t_grenze[1] - t_grenze[0]) / (1 + zp);
    double t = t_grenze[0];
    punkt(t);
    for (int64_t k = 0; zp >= static_cast<double>(k); ++k) {
        if (schritt_erschoepft()) return 1;  // die Punkte zaehlen wie Schleifendurchlaeufe
        t += schritt;
        punkt(t);
    }
    z.t("'/>\n");
    // Die Funktionen koennen das Dokument geschlossen haben.
    Svg* d = svg_dokument(1727, "svg_kurve");
    if (!d) return 1;
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_fieber(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1740, "svg_fieber");
    if (!d) return 1;
    if (l) {
        meld(1741) << " operanden fehler bei svg_fieber \n";
        return 1;
    }
    if (!r || (r->typ != VARREF && r->typ != TERMLIST)) {
        meld(1742) << " svg_fieber arg fehler\n";
        return 1;
    }
    double dehnen_x = 1, dehnen_y = 1, offset_x = 0, offset_y = 0;
    Gelesen g;
    g.sd = strich(*this);
    std::vector<double>* daten = nullptr;
    if (r->typ == VARREF) {
        daten = svg_fvektor_var(r);
        if (!daten) {
            meld(1743) << " fieber fehler\n";
            return 1;
        }
    } else {
        std::vector<Term>& liste = *elemente(r);
        Term erst;
        if (!liste.empty()) wert(&liste[0], &erst);
        if (erst.typ != FVECTOR || !erst.fvector) {
            meld(1744) << " fieber fehler\n";
            return 1;
        }
        daten = erst.fvector;
        for (size_t i = 1; i < liste.size(); ++i) {
            Term w;
            wert(&liste[i], &w);
            std::string rest;
            const bool text = w.typ == TEXT;
            if (stil(w, g, false)) continue;
            if (text && beginnt(w.text, "dehnen_x=", rest)) dehnen_x = std::atof(rest.c_str());
            else if (text && beginnt(w.text, "dehnen_y=", rest)) dehnen_y = std::atof(rest.c_str());
            else if (text && beginnt(w.text, "offset_x=", rest)) offset_x = std::atof(rest.c_str());
            else if (text && beginnt(w.text, "offset_y=", rest)) offset_y = std::atof(rest.c_str());
            else {
                meld(1745) << " svg_fieber arg fehler\n";
                return 1;
            }
        }
    }
    const svg::Abbildung a = abbildung(*this);
    Zeile z;
    z.t("<polyline fill='none' stroke-width='").f(a.P * g.sd).t("' stroke='").x(g.sf);
    z.t("' points='");
    double x = offset_x - dehnen_x;
    for (double v : *daten) {
        x += dehnen_x;
        z.f(a.sx(x)).t(",").f(a.sy(v * dehnen_y + offset_y)).t(" ");
    }
    z.t("'/>\n");
    d->text += z.s;
    return setze_izahl(erg, 0);
}

int O::svg_text(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1760, "svg_text");
    if (!d) return 1;
    if (l || !r || r->typ != TERMLIST || !r->termlist || r->termlist->size() < 2) {
        meld(1761) << " operanden fehler bei svg_text \n";
        return 1;
    }
    std::vector<Term>& liste = *r->termlist;
    double x = 0, y = 0;
    std::string text, stil;
    for (size_t i = 0; i < liste.size(); ++i) {
        Term w;
        wert(&liste[i], &w);
        double z;
        if (w.typ == FVECTOR && w.fvector && w.fvector->size() >= 2) {
            x = (*w.fvector)[0];
            y = (*w.fvector)[1];
            continue;
        }
        if (als_double(w, z)) {
            Term wy;
            if (i + 1 < liste.size()) wert(&liste[++i], &wy);
            if (!als_double(wy, y)) {
                meld(1762) << " svg_text arg fehler\n";
                return 1;
            }
            x = z;
            continue;
        }
        if (w.typ == TEXT) {
            text = std::move(w.text);
            if (i + 1 < liste.size()) {
                Term ws;
                wert(&liste[++i], &ws);
                if (ws.typ != TEXT) {
                    meld(1763) << " svg_text arg fehler\n";
                    return 1;
                }
                stil = std::move(ws.text);
            }
            continue;
        }
        meld(1764) << " svg_text arg fehler\n";
        return 1;
    }
    const svg::Abbildung a = abbildung(*this);
    Zeile zl;
    zl.t("<text x='").f(a.sx(x)).t("' y='").f(a.sy(y)).t("' style='").x(stil).t("'>");
    zl.x(text).t("</text>\n");
    d->text += zl.s;
    return setze_izahl(erg, 0);
}
