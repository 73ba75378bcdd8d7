// SPDX-License-Identifier: MIT
// Datum und Zeit: datum, wochentag, tag, uhr, jetzt, Prozessorzeit (auch TAG, UHR, CPUZEIT).
// Die Umrechnungen macht die Klasse Kalender.
#include <cstdio>
#include <ctime>

#include "kalender.h"
#include "orvu.h"
#include "rdir.h"

namespace {
bool lokalzeit(std::tm& tm) { return Kalender::ortszeit(std::time(nullptr), tm); }
}  // namespace

int Orvu::tag(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 601, " 'tag' benoetigt keine argumente !!!\n")) return 1;
    std::tm tm{};
    lokalzeit(tm);
    char puf[64];
    int n = snprintf(puf, sizeof puf, "%04d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                     tm.tm_mday);
    erg->typ = TEXT;
    erg->text.assign(puf, static_cast<size_t>(n));
    return 0;
}

int Orvu::uhr(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 602, " 'jetzt' benoetigt keine argumente !!!\n")) return 1;
    std::tm tm{};
    lokalzeit(tm);
    char puf[64];
    int n = snprintf(puf, sizeof puf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    erg->typ = TEXT;
    erg->text.assign(puf, static_cast<size_t>(n));
    return 0;
}

// Ortszeit "JJJJ-MM-TT HH:MM:SS" (datum ohne Rechtsargument).
int Orvu::jetzt(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 604, " 'jetzt' benoetigt keine argumente !!!\n")) return 1;
    return setze_text(erg, Kalender::zeitstempel(std::time(nullptr)));
}

// Prozessorzeit in Sekunden, in einfacher Genauigkeit berechnet.
int Orvu::cpuzeit(Term* l, Term* r, Term* erg) {
    if (keiner(l, r, 603, " cpuzeit benoetigt keine argumente !!!\n")) return 1;
    return setze_fzahl(erg, static_cast<float>(std::clock()) / static_cast<float>(CLOCKS_PER_SEC));
}

// clock und clock(): leere Klammern sind kein Operand.
int Orvu::clock_(Term* l, Term* r, Term* erg) {
    if ((l && l->typ != NONE) || (r && r->typ != NONE)) {
        meld(605) << " clock benoetigt keine argumente !!!\n";
        return 1;
    }
    return cpuzeit(nullptr, nullptr, erg);
}

// [optionen] datum x: Text -> Tagesnummer, Tagesnummer -> Text; ohne x (auch datum())
// die Ortszeit. Ein Datum, das sich nicht lesen laesst, gibt 0 bzw. den leeren Text,
// die Meldung steht dann schon da; andere Typen geben NONE.
int Orvu::datum(Term* l, Term* r, Term* erg) {
    if (!r || r->typ == NONE) return jetzt(nullptr, nullptr, erg);
    Term L, R;
    if (l && auswerten(l, L, 606, " fehler bei datum (optionen)\n")) return 1;
    if (auswerten(r, R, 607, " fehler bei datum\n")) return 1;
    const char* optionen = L.typ == TEXT ? L.text.c_str() : "";
    const Kalender kalender;
    if (R.typ == TEXT) {
        int64_t n = 0;
        kalender.kal2int(R.text.c_str(), &n, optionen, *fehler);
        return setze_izahl(erg, n);
    }
    if (R.typ == IZAHL) {
        std::string s;
        kalender.int2kal(R.izahl, s, optionen, *fehler);
        return setze_text(erg, std::move(s));
    }
    // Zeitstempel des aktuellen Eintrags eines Verzeichnislesers.
    if (R.typ == RDIROBJ && R.objekt) return setze_text(erg, static_cast<Rdir*>(R.objekt)->zeit);
    erg->typ = NONE;
    return 0;
}

// wochentag x: Name des Wochentags einer Tagesnummer oder eines Datumstexts; die
// Tagesnummer bleibt in izahl des Ergebnisses.
int Orvu::wochentag(Term* l, Term* r, Term* erg) {
    static const char* const meldung = " fehler bei wochentag\n";
    if (nur_rechts(l, r, 608, meldung)) return 1;
    Term w;
    if (auswerten(r, w, 609, meldung)) return 1;
    int64_t n = 0, tag_nr = 0;
    if (w.typ == IZAHL) {
        n = tag_nr = w.izahl;
    } else if (w.typ == TEXT) {
        bool jd = false;
        Kalender().kal2int(w.text.c_str(), &n, "", *fehler, &jd);
        // Mit Suffix "a" ist n die julianische Tageszahl; der Wochentag gehoert zum Tag.
        tag_nr = jd ? n - Kalender::JULDAT : n;
    } else {
        meld(610) << meldung;
        return 1;
    }
    setze_text(erg, Kalender::wochentag(tag_nr));
    erg->izahl = n;
    return 0;
}

// Lesen von TAG, UHR, CPUZEIT: bei jedem Lesen neu berechnet, nie gespeichert.
int Orvu::zeit_var(int index, Term* erg) {
    if (index == V_TAG) return tag(nullptr, nullptr, erg);
    if (index == V_UHR) return uhr(nullptr, nullptr, erg);
    return cpuzeit(nullptr, nullptr, erg);
}
