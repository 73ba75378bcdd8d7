// SPDX-License-Identifier: MIT
// Die Welt draussen: ganze Dateien lesen und schreiben, HTTPS-Downloads, Umgebung,
// Befehle der Shell, der Titelblock der Eingabe. Ortsnummern 1201-1299.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "besitz.h"
#include "geturl.h"
#include "orvu.h"
#include "plattform.h"
#include "up.h"

using O = Orvu;

// Rechter Operand wie geschrieben (Blatt oder ausgewertet) als TEXT; ein Fehler der
// Auswertung meldet "\n" unter ort, ein anderer Typ meldung unter ort + 1.
int Orvu::text_rechts(Term* r, Term& w, int ort, const char* meldung) {
    if (wie_geschrieben(r, w, ort, "\n")) return 1;
    if (w.typ == TEXT) return 0;
    meld(ort + 1) << meldung;
    return 1;
}

// Der Textvektor der Variablen, leer: ein vorhandener wird geleert und weiter benutzt,
// sonst ersetzt ein neuer den bisherigen Wert (ein anderer Vektor wird freigegeben, wenn
// niemand sonst ihn haelt).
std::vector<std::string>& Orvu::leerer_textvektor(Var& v) {
    if (v.typ == V_SVECTOR && v.svector) {
        v.svector->clear();
        return *v.svector;
    }
    if (v.hat_vektor() && !vektor_geteilt(v)) var_vektor_freigeben(v);
    v.bvector = nullptr;
    v.ivector = nullptr;
    v.rvector = nullptr;
    v.fvector = nullptr;
    v.svector = vektor_anlegen<std::vector<std::string>>();
    v.typ = V_SVECTOR;
    return *v.svector;
}

// ---------------------------------------------------------------- Dateien

// text putfile name: schreibt den Text (oder die Elemente eines Textvektors) in die Datei.
int Orvu::putfile(Term* l, Term* r, Term* erg) {
    if (beide(l, r, 1201, " operanden fehlen bei iarray \n")) return 1;
    Term name;
    if (text_rechts(r, name, 1202, " operanden fehlen bei putfile1 \n")) return 1;
    Datei f(name.text.c_str(), "wb");
    if (!f) {
        meld(1204) << " openfehler bei putfile \n";
        return 1;
    }
    const Var* v = l->typ == VARREF ? var_still(l) : nullptr;
    bool ok = true;
    if (l->typ == TEXT || l->typ == OPER || (v && v->typ == V_TEXT)) {
        Term t;
        if (wie_geschrieben(l, t, 1205, "\n")) return 1;
        if (t.typ != TEXT) {
            meld(1206) << " operanden fehlen bei putfile1 \n";
            return 1;
        }
        ok = std::fwrite(t.text.data(), 1, t.text.size(), f.get()) == t.text.size();
    } else if (v && v->typ == V_SVECTOR && v->svector) {
        for (const std::string& s : *v->svector)
            if (ok) ok = std::fwrite(s.data(), 1, s.size(), f.get()) == s.size();
    } else {
        meld(1207) << " operanden fehlen bei putfile \n";
        return 1;  // die Datei bleibt angelegt und leer
    }
    const int fehlercode = f.schliessen();
    if (!ok || fehlercode) {
        meld(1208) << " schreibfehler bei putfile " << name.text << ": "
                   << std::strerror(fehlercode ? fehlercode : EIO) << "\n";
        return 1;
    }
    return setze_izahl(erg, 0);
}

// Liest die ganze Datei; CR LF wird zu LF wie im Textmodus. Eine Datei, die sich nicht
// oeffnen laesst, ist leer. 0 ok, 1 nach Meldung (Lesefehler, zu gross).
int Orvu::datei_text(const std::string& name, std::string& inhalt, int ort) {
    inhalt.clear();
    Datei f(name.c_str(), "rb");
    if (!f) return 0;
    char puf[65536];
    bool cr = false;  // das letzte Byte des vorigen Blocks war ein CR
    size_t n;
    while ((n = std::fread(puf, 1, sizeof puf, f.get())) > 0) {
        if (zu_lang(inhalt.size() + n)) return 1;
        size_t a = 0;
        if (cr) {
            if (puf[0] != '\n') inhalt += '\r';
            cr = false;
        }
        for (size_t i = 0; i < n; ++i) {
            if (puf[i] != '\r') continue;
            if (i + 1 == n) {
                inhalt.append(puf + a, i - a);
                a = n;
                cr = true;
            } else if (puf[i + 1] == '\n') {
                inhalt.append(puf + a, i - a);
                a = i + 1;
            }
        }
        inhalt.append(puf + a, n - a);
    }
    if (cr) inhalt += '\r';
    if (std::ferror(f.get())) {
        meld(ort) << " lesefehler bei getfile " << name << ": " << std::strerror(errno) << "\n";
        inhalt.clear();
        return 1;
    }
    return 0;
}

// [ziel] getfile name: der Inhalt als Text, oder in die Zielvariable.
int Orvu::getfile(Term* l, Term* r, Term* erg) {
    if (!r) {
        meld(1211) << " operanden fehlen bei iarray \n";
        return 1;
    }
    Term name;
    if (text_rechts(r, name, 1212, " operanden fehlen bei getfile1 \n")) return 1;
    Var* v = nullptr;
    if (l && !(v = ziel_var(l, 1214, " operanden fehlen bei getfile2 \n"))) return 1;
    std::string inhalt;
    if (datei_text(name.text, inhalt, 1215)) return 1;
    if (!v) return setze_text(erg, std::move(inhalt));
    v->text = std::move(inhalt);
    v->typ = V_TEXT;
    return 0;  // das Ergebnis bleibt, wie es kam
}

int Orvu::getta(Term* l, Term* r, Term* erg) { return getfile(l, r, erg); }

// ziel agetfile name: die Zeilen der Datei (jede mit "\n") in einen Textvektor.
int Orvu::agetfile(Term* l, Term* r, Term* erg) {
    static const char* const fehlt = " operanden fehlen bei agetfile \n";
    if (beide(l, r, 1221, fehlt)) return 1;
    Term name;
    if (auswerten(r, name, 1222, fehlt)) return 1;
    if (name.typ != TEXT) {
        meld(1223) << fehlt;
        return 1;
    }
    Datei f(name.text.c_str(), "rb");
    if (!f) {
        meld(1224) << " openfehler bei agetfile \n";
        return 1;
    }
    Var* v = ziel_var(l, 1225, fehlt);
    if (!v) return 1;
    std::vector<std::string>& zeilen = leerer_textvektor(*v);
    std::string z;
    size_t summe = 0;
    while (Getline(f.get(), z) == 0) {
        summe += z.size();
        if (zu_lang(summe)) {
            zeilen.clear();
            v->izahl = 0;
            return 1;
        }
        zeilen.push_back(std::move(z));
        z = std::string();
    }
    v->izahl = static_cast<int64_t>(zeilen.size());
    if (std::ferror(f.get())) {
        meld(1227) << " lesefehler bei agetfile " << name.text << ": " << std::strerror(errno)
                   << "\n";
        return 1;
    }
    return setze_izahl(erg, 0);
}

// ---------------------------------------------------------------- URLs

// Ein Download mit den Zeitlimits aus der Umgebung, begrenzt durch die Speichergrenze.
int Orvu::herunterladen(const std::string& url, std::string& antwort) {
    std::fflush(aus);  // "host:" und "site:" erscheinen nach der Ausgabe davor
    Geturl g;
    g.zeiten_aus_umgebung();
    g.passt = [this](size_t n) { return speicher_reicht(n, 1); };
    return g.holen(url, antwort, *fehler);
}

// [ziel] geturl url: die rohe HTTPS-Antwort als Text, oder in die Zielvariable.
int Orvu::geturl_(Term* l, Term* r, Term* erg) {
    if (!r) {
        meld(1231) << " geturl benoetigt 1 rechtes textargument !!!\n";
        return 1;
    }
    Term url;
    if (text_rechts(r, url, 1232, " geturl fehler\n")) return 1;
    if (!l) {
        std::string antwort;
        if (herunterladen(url.text, antwort)) {
            meld(1234) << " geturl fehler'" << url.text << "'\n";
            return 1;
        }
        return setze_text(erg, std::move(antwort));
    }
    Var* v = ziel_var(l, 1235, " operanden fehlen bei getfile2 \n");
    if (!v) return 1;
    v->text.clear();
    if (herunterladen(url.text, v->text)) {
        meld(1236) << " geturl fehler '" << url.text << "'\n";
        return 1;
    }
    v->typ = V_TEXT;
    return setze_izahl(erg, 0);
}

// Zerlegt an CR LF oder LF (ohne Zeilenende); ein einzelnes CR ist ein Zeichen.
void Orvu::zeilen_teilen(const std::string& s, std::vector<std::string>& zeilen) {
    size_t a = 0;
    while (a < s.size()) {
        size_t e = s.find('\n', a);
        if (e == std::string::npos) {
            zeilen.push_back(s.substr(a));
            return;
        }
        const size_t ende = e > a && s[e - 1] == '\r' ? e - 1 : e;
        zeilen.push_back(s.substr(a, ende - a));
        a = e + 1;
    }
}

// ziel ageturl url: die Zeilen der Antwort in einen Textvektor; Ergebnis ihre Anzahl.
int Orvu::ageturl(Term* l, Term* r, Term* erg) {
    static const char* const fehlt = " operanden fehlen bei ageturl \n";
    if (beide(l, r, 1241, fehlt)) return 1;
    Term url;
    if (auswerten(r, url, 1242, fehlt)) return 1;
    if (url.typ != TEXT) {
        meld(1243) << fehlt;
        return 1;
    }
    std::string antwort;
    if (herunterladen(url.text, antwort)) {
        meld(1244) << " geturl fehler\n";
        return 1;
    }
    Var* v = ziel_var(l, 1245, " operanden fehlen bei agetfile \n");
    if (!v) return 1;
    std::vector<std::string>& zeilen = leerer_textvektor(*v);
    zeilen_teilen(antwort, zeilen);
    return setze_izahl(erg, static_cast<int64_t>(zeilen.size()));
}

// ---------------------------------------------------------------- Umgebung, Prozesse

// [ziel] getenv name: der Wert der Umgebungsvariablen (leer, wenn sie fehlt).
int Orvu::getenv_(Term* l, Term* r, Term* erg) {
    static const char* const kein_text = " getenv rechtsarg muss text sein\n";
    if (!r) {
        meld(1251) << " getenv benoetigt 1 rechtes textargument !!!\n";
        return 1;
    }
    Term name;
    if (text_rechts(r, name, 1252, kein_text)) return 1;
    Var* v = nullptr;
    if (l && !(v = ziel_var(l, 1254, kein_text))) return 1;
    const char* w = std::getenv(name.text.c_str());
    std::string wert = w ? w : "";
    if (!v) return setze_text(erg, std::move(wert));
    v->text = std::move(wert);
    v->typ = V_TEXT;
    return setze_izahl(erg, 0);
}

// putenv "NAME=WERT": setzt die Variable; "NAME=" entfernt sie.
int Orvu::putenv_(Term* l, Term* r, Term* erg) {
    if (nur_rechts(l, r, 1261, " putenv benoetigt 1 rechtes textargument !!!\n")) return 1;
    Term t;
    if (text_rechts(r, t, 1262, " putenv fehler\n")) return 1;
    if (plattform::putenv_(t.text)) {
        meld(1264) << " putenv fehler: NAME=WERT erwartet\n";
        return 1;
    }
    return setze_izahl(erg, 0);
}

// system "befehl": fuehrt die Zeile mit der Shell aus; Ergebnis ihr Exit-Status.
int Orvu::system_(Term* l, Term* r, Term* erg) {
    static const char* const fehlt = " up system benoetigt 1 rechtes textargument !!!\n";
    if (nur_rechts(l, r, 1271, fehlt)) return 1;
    Term t;
    if (text_rechts(r, t, 1272, fehlt)) return 1;
    std::fflush(nullptr);  // Ausgabe davor erscheint vor der des Befehls
    return setze_izahl(erg, plattform::befehl(t.text.c_str()));
}

// titel vektor: die aktuelle Zeile und die folgenden der Eingabe bis zur ersten leeren.
int Orvu::titel(Term* l, Term* r, Term* erg) {
    Var* v = !l && r && r->typ == VARREF ? var_still(r) : nullptr;
    if (!v || v->typ != V_SVECTOR || !v->svector) {
        meld(1281) << " operanden fehlen bei titel \n";
        return 1;
    }
    Leser* le = eingabe();
    if (!le) {
        meld(1282) << " titel ohne eingabedatei\n";
        return 1;
    }
    std::vector<std::string>& zeilen = *v->svector;
    zeilen.clear();
    Var& rec = var[V_REC];
    zeilen.push_back(rec.text);
    std::string z;
    while (le->zeile(z) == 0 && z != "\n") zeilen.push_back(z);
    if (le->fehler()) {
        meld(1283) << " lesefehler eingabe bei titel: " << std::strerror(errno) << "\n";
        return 1;
    }
    Var& pos = var[V_POS];
    pos.typ = V_IZAHL;
    pos.izahl = le->pos();
    rec.text.clear();
    rec.typ = V_TEXT;
    v->izahl = static_cast<int64_t>(zeilen.size());
    return setze_izahl(erg, v->izahl);
}
