// SPDX-License-Identifier: MIT
// Igel (logo_start, logo_strecke, logo_bogen) und Gleisbau ("gleisbau", "+=" und "-=" auf
// einer Gleislage). Der Igel steht in LOGO_X, LOGO_Y, LOGO_W. Ortsnummern 1801-1899.
#include <cmath>
#include <string>

#include "logo.h"
#include "orvu.h"
#include "svg.h"

using O = Orvu;

namespace {

logo::Lage igel(O& o) {
    return {o.var[svg::LOGO_X].fzahl, o.var[svg::LOGO_Y].fzahl, o.var[svg::LOGO_W].fzahl};
}

svg::Abbildung abbildung(O& o) {
    auto z = [&](int i) { return o.var[static_cast<size_t>(i)].fzahl; };
    return {z(svg::BREITE), z(svg::HOEHE), z(svg::RECHTS), z(svg::HOCH), z(svg::EINHEIT),
            z(svg::PIXEL)};
}

// Zahl wie to_fzahl sie liest (IZAHL, BOOL, BYTE, RZAHL, FZAHL); false fuer anderes.
bool zahl(const O::Term& w, double& x) {
    if (w.typ == O::BOOL) x = static_cast<double>(w.izahl);
    else if (w.typ == O::BYTE) x = w.byte;
    else return O::als_double(w, x);
    return true;
}

}  // namespace

int O::logo_start(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(1801) << " logo_start fehler: Was soll linkes Argument?\n";
        return 1;
    }
    if (r && r->typ == TERMLIST && r->termlist) {
        std::vector<Term>& liste = *r->termlist;
        if (liste.size() > 3) {
            meld(1802) << " logo_start fehler: hoechstens 3 Werte (x, y, w)\n";
            return 1;
        }
        double neu[3] = {var[svg::LOGO_X].fzahl, var[svg::LOGO_Y].fzahl, var[svg::LOGO_W].fzahl};
        for (size_t i = 0; i < liste.size(); ++i) {
            if (liste[i].typ == NONE) continue;
            Term w;
            if (wert(&liste[i], &w) || !zahl(w, neu[i])) {
                meld(1803) << " logo_start fehler: Element " << i << " ist keine Zahl\n";
                return 1;
            }
        }
        for (int i = 0; i < 3; ++i) var[static_cast<size_t>(svg::LOGO_X + i)].fzahl = neu[i];
    }
    return setze_izahl(erg, 0);
}

int O::logo_strecke(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1810, "logo_strecke");
    if (!d) return 1;
    if (l || !r) {
        meld(1811) << " logo_strecke fehler\n";
        return 1;
    }
    Var& s = var[svg::STRICH];
    if (s.typ == V_IZAHL) s.fzahl = static_cast<double>(s.izahl);
    double sd = s.fzahl;
    std::string farbe = "black";
    Term* laenge = r;
    if (r->typ == TERMLIST) {
        std::vector<Term>* liste = r->termlist;
        if (!liste || liste->empty() || liste->size() > 3) {
            meld(1812) << " logo_strecke arg fehler\n";
            return 1;
        }
        if (liste->size() == 3) {
            Term w;
            wert(&(*liste)[2], &w);
            if (w.typ != TEXT) {
                meld(1813) << " svg_strecke arg fehler\n";
                return 1;
            }
            farbe = std::move(w.text);
        }
        if (liste->size() >= 2) {
            Term w;
            wert(&(*liste)[1], &w);
            if (!zahl(w, sd)) {
                meld(1814) << " logo_strecke arg fehler\n";
                return 1;
            }
        }
        laenge = &(*liste)[0];
    }
    Term w;
    double dist;
    if (wert(laenge, &w) || !zahl(w, dist)) {
        meld(1815) << " logo_strecke fehler\n";
        return 1;
    }
    const logo::Lage alt = igel(*this);
    logo::Lage neu = alt;
    logo::gerade(neu, dist);
    const svg::Abbildung a = abbildung(*this);
    std::string& t = d->text;
    t += "<line x1='";
    svg::f(t, a.sx(alt.x));
    t += "' y1='";
    svg::f(t, a.sy(alt.y));
    t += "' x2='";
    svg::f(t, a.sx(neu.x));
    t += "' y2='";
    svg::f(t, a.sy(neu.y));
    t += "' stroke-width='";
    svg::f(t, a.P * sd);
    t += "' stroke='";
    svg::xml(t, farbe);
    t += "' />\n";
    var[svg::LOGO_X].fzahl = neu.x;
    var[svg::LOGO_Y].fzahl = neu.y;
    return setze_izahl(erg, 0);
}

int O::logo_bogen(Term* l, Term* r, Term* erg) {
    Svg* d = svg_dokument(1820, "logo_bogen");
    if (!d) return 1;
    if (l || !r || r->typ != TERMLIST || !r->termlist || r->termlist->size() < 2 ||
        r->termlist->size() > 4) {
        meld(1821) << " svg_bogen arg fehler\n";
        return 1;
    }
    std::vector<Term>& liste = *r->termlist;
    std::string farbe = "black";
    if (liste.size() == 4) {
        Term w;
        wert(&liste[3], &w);
        if (w.typ != TEXT) {
            meld(1822) << " svg_bogen arg fehler\n";
            return 1;
        }
        farbe = std::move(w.text);
    }
    double sd = var[svg::STRICH].fzahl, rad, phi;
    Term w;
    if (liste.size() >= 3 && liste[2].typ != NONE && (wert(&liste[2], &w) || !zahl(w, sd))) {
        meld(1823) << " svg_bogen arg fehler\n";
        return 1;
    }
    Term wr, wp;
    if (wert(&liste[0], &wr) || !zahl(wr, rad) || wert(&liste[1], &wp) || !zahl(wp, phi)) {
        meld(1824) << " svg_bogen arg fehler\n";
        return 1;
    }
    const logo::Lage alt = igel(*this);
    const logo::Bogen b = logo::igelbogen(alt, rad, phi);
    const svg::Abbildung a = abbildung(*this);
    std::string& t = d->text;
    t += "<path d='M";
    svg::f(t, a.sx(b.ax));
    t += ",";
    svg::f(t, a.sy(b.ay));
    t += " A";
    svg::f(t, a.sl(rad));
    t += ",";
    svg::f(t, a.sl(rad));
    t += svg::grosser_bogen_drehung(phi) ? " 0,1,0 " : " 0,0,0 ";
    svg::f(t, a.sx(b.bx));
    t += " ";
    svg::f(t, a.sy(b.by));
    t += "' fill='none' stroke-width='";
    svg::f(t, a.P * sd);
    t += "' stroke='";
    svg::xml(t, farbe);
    t += "' />\n";
    var[svg::LOGO_X].fzahl = b.ex;
    var[svg::LOGO_Y].fzahl = b.ey;
    var[svg::LOGO_W].fzahl = alt.w + phi;
    return setze_izahl(erg, 0);
}

int O::gleis_stueck(Var& v, Term& w, bool rueckwaerts) {
    if (v.typ != V_FVECTOR || !v.fvector) {
        meld(1831) << " gleisbau linksarg kein FVECTOR\n";
        return 1;
    }
    std::vector<double>& lage = *v.fvector;
    if (lage.size() < 3) {
        meld(1832) << " gleisbau Gleislage braucht 3 Elemente (x, y, w), hat " << lage.size()
                   << "\n";
        return 1;
    }
    logo::Lage g{lage[0], lage[1], lage[2]};
    double d;
    if (zahl(w, d)) {
        logo::gerade(g, rueckwaerts ? -d : d);
    } else {
        double rad, phi;
        bool ok = false;
        if (w.typ == FVECTOR && w.fvector && w.fvector->size() >= 2) {
            rad = (*w.fvector)[0];
            phi = (*w.fvector)[1];
            ok = true;
        } else if (w.typ == TERMLIST && w.termlist && w.termlist->size() >= 2) {
            Term a, b;
            ok = !wert(&(*w.termlist)[0], &a) && zahl(a, rad) && !wert(&(*w.termlist)[1], &b) &&
                 zahl(b, phi);
        }
        if (!ok) {
            meld(1833) << " gleisbau Bogen braucht Radius und Winkel\n";
            return 1;
        }
        logo::kurve(g, rad, rueckwaerts ? -phi : phi);
    }
    lage[0] = g.x;
    lage[1] = g.y;
    lage[2] = g.w;
    return 0;
}

int O::gleisbau(Term* l, Term* r, Term* erg) {
    const bool rueckwaerts = opcode(erg) == 3;
    if (!l || !r) {
        meld(1840) << " gleisbau braucht li+re arg\n";
        return 1;
    }
    if (l->typ != VARREF) {
        meld(1841) << " gpleisbau li_arg keine Var\n";
        return 1;
    }
    Term w;
    if (wert(r, &w)) {
        meld(1842) << " gleisbau auswertungsfehler\n";
        return 1;
    }
    if (w.typ != IZAHL && w.typ != FZAHL && w.typ != RZAHL && w.typ != FVECTOR &&
        w.typ != TERMLIST) {
        meld(1843) << " gleisplus re_arg muss fzahl oder fvector sein\n";
        return 1;
    }
    Var* v = variable(l);
    if (!v) return 1;
    return gleis_stueck(*v, w, rueckwaerts);
}

int O::gleis_haken(Term* l, Term& w, int op) {
    if ((op != 2 && op != 3) || !l || l->typ != VARREF) return -1;
    Var* v = var_still(l);
    if (!v || v->typ != V_FVECTOR || !v->fvector || v->fvector->size() != 3) return -1;
    const bool passt = w.typ == FZAHL || w.typ == IZAHL ||
                       (w.typ == FVECTOR && w.fvector && w.fvector->size() == 2) ||
                       (w.typ == TERMLIST && w.termlist && w.termlist->size() == 2);
    if (!passt) return -1;
    return gleis_stueck(*v, w, op == 3);
}
