// SPDX-License-Identifier: MIT
// Verzeichnisse: Rdir, read (Eintrag fuer Eintrag), sommer (Aenderungszeiten verschieben),
// delete eines Verzeichnislesers. Ortsnummern 1501 bis 1599.
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <unordered_map>

#include "besitz.h"
#include "orvu.h"
#include "plattform.h"
#include "rdir.h"

namespace {
using O = Orvu;

// Die Verzeichnisleser: von Rdir angelegt, von delete oder am Ende des Laufs freigegeben.
struct Verzeichnisse : O::Teilsystem {
    static constexpr O::Teil platz = O::Teil::verzeichnis;
    std::unordered_map<Rdir*, std::unique_ptr<Rdir>> leser;
};
}  // namespace

// Rdir "pfad"
int Orvu::rdir(Term* l, Term* r, Term* erg) {
    if (l) {
        meld(1501) << " operanden fehler bei rdir \n";
        return 1;
    }
    erg->typ = RDIROBJ;
    erg->objekt = nullptr;
    Term p;
    if (wert(r, &p)) return 1;
    if (p.typ != TEXT) {
        meld(1502) << "Rdir init1 fehler\n";
        return 1;
    }
    auto d = std::make_unique<Rdir>(p.text);
    if (!d->offen()) {
        meld(1503) << "Rdir init2 fehler\n";
        return 1;
    }
    Rdir* z = d.get();
    teil<Verzeichnisse>().leser.emplace(z, std::move(d));
    erg->objekt = z;
    return 0;
}

// read (leser, textzeiger): naechster Eintrag; Art als Ergebnis, Pfad hinter dem Zeiger.
int Orvu::read_(Term* l, Term* r, Term* erg) {
    if (l || !r) {
        meld(1511) << " read fehler1 !!!\n";
        return 1;
    }
    if (r->typ != TERMLIST || !r->termlist) {
        meld(1512) << " read fehler2 !!!\n";
        return 1;
    }
    if (r->termlist->size() != 2) {
        meld(1513) << " read fehler3 !!!" << r->termlist->size() << "\n";
        return 1;
    }
    Term& a = (*r->termlist)[0];
    Term& b = (*r->termlist)[1];
    Var* d = a.typ == VARREF ? var_still(&a) : nullptr;
    Var* t = b.typ == VARREF ? var_still(&b) : nullptr;
    if (!d || !t || d->typ != V_RDIR || !d->objekt || t->typ != V_TEXTPTR || !t->textptr) {
        meld(1514) << " read fehler4 !!!" << a.typ << "\n";
        return 1;
    }
    Rdir* leser = static_cast<Rdir*>(d->objekt);
    const int art = leser->read();
    *t->textptr = leser->eintrag;
    return setze_izahl(erg, art);
}

void Orvu::rdir_loeschen(Var& v) {
    void* p = v.objekt;
    Verzeichnisse* vz = teil_wenn_da<Verzeichnisse>();
    if (!p || !vz) return;
    // Jede Variable, die denselben Leser haelt, verliert ihn (sonst zeigte sie ins Leere).
    auto loesen = [p](Var& x) {
        if (x.typ == V_RDIR && x.objekt == p) {
            x.objekt = nullptr;
            x.typ = V_NONE;
        }
    };
    for (Var& x : var) loesen(x);
    for (size_t i = 0; i < belegt; ++i)
        for (size_t j = 0; j < lokale[i].n; ++j) loesen(lokale[i].slots[j]);
    v.objekt = nullptr;
    auto it = vz->leser.find(static_cast<Rdir*>(p));
    if (it == vz->leser.end()) return;
    it->second->close();
    vz->leser.erase(it);
}

// sekunden sommer "verzeichnis"  oder  sommer ("verzeichnis", sekunden)
int Orvu::sommer(Term* l, Term* r, Term* erg) {
    if (!r) {
        meld(1521) << " sommer rarg fehlt\n";
        return 1;
    }
    Term verz, sek;
    if (l) {
        if (wert(l, &sek) || sek.typ != IZAHL) {
            meld(1522) << " sommer braucht liarg\n";
            return 1;
        }
        if (wert(r, &verz) || verz.typ != TEXT) {
            meld(1523) << " sommer braucht rearg\n";
            return 1;
        }
    } else {
        Term* e = r->typ == TERMLIST && r->termlist && r->termlist->size() == 2
                      ? r->termlist->data()
                      : nullptr;
        if (!e || wert(&e[0], &verz) || verz.typ != TEXT || wert(&e[1], &sek) ||
            sek.typ != IZAHL) {
            meld(1524) << " sommer arg fehler\n";
            return 1;
        }
    }
    int64_t anzahl = 0;
    sommer_up(verz.text, sek.izahl, anzahl);
    return setze_izahl(erg, anzahl);
}

// Geht den Baum ohne Rekursion ab (beliebig tief, je Ebene ein offener Strom nur solange
// sie gelesen wird). Symbolische Links werden nicht verfolgt, so endet auch ein Kreis.
int Orvu::sommer_up(const std::string& pfad, int64_t sekunden, int64_t& anzahl) {
    std::vector<std::string> offen{pfad};
    bool erster = true;
    while (!offen.empty()) {
        const std::string verz = std::move(offen.back());
        offen.pop_back();
        std::vector<std::string> unter;
        {
            Verzeichnis d(verz.c_str());
            if (!d) {
                if (erster) return 1;
                continue;  // unlesbares Unterverzeichnis: still uebergangen
            }
            erster = false;
            while (dirent* e = readdir(d.get())) {
                const std::string name = e->d_name;
                const std::string voll = verz + "/" + name;
                struct stat st;
                if (lstat(voll.c_str(), &st) != 0) continue;
                if (S_ISREG(st.st_mode)) {
                    const int fehlt = plattform::utime_(
                        voll.c_str(), st.st_atim.tv_sec, st.st_mtim.tv_sec + sekunden,
                        st.st_atim.tv_nsec, st.st_mtim.tv_nsec);
                    if (fehlt)
                        meld(1531) << " sommer: Zeit von " << voll << " nicht geaendert: "
                                   << std::strerror(fehlt) << "\n";
                    else
                        ++anzahl;
                } else if (S_ISDIR(st.st_mode) && name != "." && name != "..") {
                    unter.push_back(voll);
                }
            }
        }
        // In Stromreihenfolge weiter: das erste Unterverzeichnis zuerst.
        for (auto it = unter.rbegin(); it != unter.rend(); ++it) offen.push_back(std::move(*it));
    }
    return 0;
}
