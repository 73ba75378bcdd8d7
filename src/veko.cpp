// SPDX-License-Identifier: MIT
// Veko: Stammbaum lesen, Eltern verknuepfen, Generationstiefe; Koeffizienten exakt ueber
// die Zerlegung A = T D T' (T Genfluss, D Mendel-Anteile je Zeile, gemerkt).
//
// Die Koeffizienten sind die der Rekursion v(i,i) = 1, v(i,j) = (v(i,vater j) + v(i,mutter j))/2
// fuer gener(i) <= gener(j), ein unbekannter Elternteil zaehlt 0. Diese Rekursion erfuellt
// (I-P) A (I-P)' = D diagonal; daraus v(i,j) = Summe ueber gemeinsame Vorfahren k von
// T(i,k) T(j,k) d(k) mit d(k) = 1 (keine Eltern), 3/4 (ein Elternteil),
// (1 - v(vater k, mutter k))/2 (beide). Jedes d(k) wird einmal berechnet.
#include "veko.h"

#include <algorithm>
#include <climits>

#include "besitz.h"

namespace {

// Kuerzt m / 2^e; schlecht, wenn das Ergebnis nicht in 63 Bit und Nenner 2^62 passt.
Veko::Dy normal(__int128 m, int e, bool schlecht) {
    if (schlecht) return Veko::Dy{0, 0, true};
    if (m == 0) {
        e = 0;
    } else if (e > 0 && (m & 1) == 0) {
        const uint64_t unten = static_cast<uint64_t>(m);
        const int null = unten ? __builtin_ctzll(unten)
                               : 64 + __builtin_ctzll(static_cast<uint64_t>(m >> 64));
        const int k = std::min(null, e);
        m >>= k;  // exakt: die unteren k Bits sind 0
        e -= k;
    }
    if (e > 62 || m > LLONG_MAX || m < LLONG_MIN) return Veko::Dy{0, 0, true};
    return Veko::Dy{static_cast<int64_t>(m), e, false};
}

uint64_t schluessel(int i, int j) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(i)) << 32) | static_cast<uint32_t>(j);
}

// Eine ganze Zeile ohne ihr Zeilenende (LF oder CR LF); false am Dateiende.
bool zeile_lesen(FILE* f, std::string& zeile) {
    zeile.clear();
    char puffer[4096];
    bool etwas = false;
    while (std::fgets(puffer, sizeof puffer, f)) {
        etwas = true;
        zeile.append(puffer);
        if (!zeile.empty() && zeile.back() == '\n') {
            zeile.pop_back();
            if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
            return true;
        }
    }
    return etwas;
}

// Feld bis zum naechsten TAB ab pos; pos danach hinter dem TAB (oder am Ende).
std::string feld(const std::string& z, size_t& pos) {
    if (pos > z.size()) return {};
    const size_t tab = z.find('\t', pos);
    const size_t ende = tab == std::string::npos ? z.size() : tab;
    std::string f = z.substr(pos, ende - pos);
    pos = tab == std::string::npos ? z.size() + 1 : tab + 1;
    return f;
}

}  // namespace

int Veko::init(const std::string& pfad) {
    std::vector<std::string> liste;
    Datei f(pfad.c_str(), "r");
    if (!f) {
        init(liste);
        fehlertext_ = "Stammbaum '" + pfad + "' laesst sich nicht oeffnen";
        return 1;
    }
    std::string zeile;
    while (zeile_lesen(f.get(), zeile)) liste.push_back(zeile);
    if (std::ferror(f.get())) {
        init(std::vector<std::string>());
        fehlertext_ = "Stammbaum '" + pfad + "': Lesefehler";
        return 1;
    }
    return init(liste);
}

int Veko::init(const std::vector<std::string>& liste) {
    zeilen = static_cast<int32_t>(liste.size());
    tab.assign(liste.size(), Tabt());
    for (size_t i = 0; i < liste.size(); ++i) {
        size_t pos = 0;
        tab[i].name = feld(liste[i], pos);
        tab[i].vater_name = feld(liste[i], pos);
        tab[i].mutter_name = feld(liste[i], pos);
    }
    return tab_erstellen();
}

int Veko::tab_erstellen() {
    fehlertext_.clear();
    ueberlauf = false;
    const size_t n = static_cast<size_t>(zeilen);
    verweise.assign(n, Verweis());
    erste_zeile.clear();
    letzte_zeile.clear();
    for (size_t i = 0; i < n; ++i) {
        erste_zeile.emplace(tab[i].name, static_cast<int>(i));
        letzte_zeile[tab[i].name] = static_cast<int>(i);
    }
    // Ein leeres Elternfeld heisst unbekannt; es verweist nicht auf eine leere Zeile (die
    // waere sonst ihr eigener Vater und jeder Gruender ihr Kind).
    auto suche = [&](const std::string& name) {
        if (name.empty()) return -1;
        auto it = letzte_zeile.find(name);
        return it == letzte_zeile.end() ? -1 : it->second;
    };
    for (size_t i = 0; i < n; ++i) {
        verweise[i].nummer = static_cast<int32_t>(i);
        verweise[i].vater = suche(tab[i].vater_name);
        verweise[i].mutter = suche(tab[i].mutter_name);
    }
    paare.clear();
    anteile.assign(n, Dy());
    anteil_da.assign(n, 0);
    wa.assign(n, 0);
    wb.assign(n, 0);
    ma.assign(n, 0);
    mb.assign(n, 0);
    mu.assign(n, 0);
    stempel_ = 0;

    // Generationstiefe ohne Rekursion: Tiefensuche ueber die Eltern; eine Zeile im
    // Zustand 1 liegt auf dem aktuellen Pfad, trifft man sie wieder, ist es ein Zyklus.
    std::vector<char> zustand(n, 0);
    std::vector<int> st;
    for (size_t start = 0; start < n; ++start) {
        if (zustand[start]) continue;
        st.push_back(static_cast<int>(start));
        while (!st.empty()) {
            const int x = st.back();
            Verweis& v = verweise[static_cast<size_t>(x)];
            if (zustand[x] == 2) {
                st.pop_back();
                continue;
            }
            if (zustand[x] == 0) {
                zustand[x] = 1;
                for (int p : {v.vater, v.mutter}) {
                    if (p < 0) continue;
                    if (zustand[p] == 1) {
                        fehlertext_ = "Zyklus im Stammbaum: '" + tab[p].name +
                                      "' (Zeile " + std::to_string(p) +
                                      ") ist sein eigener Vorfahr";
                        return 1;
                    }
                    if (zustand[p] == 0) st.push_back(p);
                }
                continue;
            }
            int g = 0;
            if (v.vater >= 0 || v.mutter >= 0) {
                const int gv = v.vater >= 0 ? verweise[v.vater].gener : 0;
                const int gm = v.mutter >= 0 ? verweise[v.mutter].gener : 0;
                g = 1 + std::max(gv, gm);
            }
            v.gener = g;
            zustand[x] = 2;
            st.pop_back();
        }
    }
    return 0;
}

int Veko::nummer(const std::string& name) const {
    auto it = erste_zeile.find(name);
    return it == erste_zeile.end() ? -1 : it->second;
}

Bruch Veko::veko(int i, int j) {
    ueberlauf = false;
    if (!drin(i) || !drin(j)) return Bruch(-1, 1);
    if (i == j) return Bruch(1, 1);
    return als_bruch(rel(i, j));
}

Bruch Veko::veko(const std::string& a, const std::string& b) {
    ueberlauf = false;
    if (a.empty() || b.empty()) return Bruch(-1, 1);
    auto zeile = [&](const std::string& s) {
        auto it = letzte_zeile.find(s);
        return it == letzte_zeile.end() ? -1 : it->second;
    };
    return veko(zeile(a), zeile(b));
}

Bruch Veko::vekom(int i, int j) {
    ueberlauf = false;
    if (!drin(i) || !drin(j)) return Bruch(0, 1);
    if (i != j) return als_bruch(rel(i, j));
    const int v = vater(i), m = mutter(i);
    Dy r;
    if (v >= 0 && m >= 0) r = v == m ? Dy{1, 0} : rel(v, m);
    return als_bruch(plus(Dy{1, 0}, halb(r)));
}

// ---------------------------------------------------------------- Genfluss

uint32_t Veko::neuer_stempel() {
    if (++stempel_ == 0) {
        std::fill(ma.begin(), ma.end(), 0);
        std::fill(mb.begin(), mb.end(), 0);
        std::fill(mu.begin(), mu.end(), 0);
        stempel_ = 1;
    }
    return stempel_;
}

// Haengt i und alle seine Vorfahren, die noch nicht den Stempel tragen, an liste an.
void Veko::vorfahren(int i, std::vector<int>& liste, std::vector<uint32_t>& marke,
                     uint32_t stempel) {
    if (marke[i] == stempel) return;
    marke[i] = stempel;
    stapel.assign(1, i);
    while (!stapel.empty()) {
        const int x = stapel.back();
        stapel.pop_back();
        liste.push_back(x);
        for (int p : {verweise[x].vater, verweise[x].mutter})
            if (p >= 0 && marke[p] != stempel) {
                marke[p] = stempel;
                stapel.push_back(p);
            }
    }
}

// w[k] = T(i,k) * 2^gener(i) fuer i und jeden Vorfahren k, ganzzahlig und exakt: jeder
// Pfad von i nach k ist hoechstens gener(i) - gener(k) lang, also ist w[k] ein Vielfaches
// von 2^gener(k), und das Halbieren zu den Eltern (gener >= 1) geht auf.
// liste = diese Zeilen; false, wenn gener(i) > 62.
bool Veko::fluss(int i, std::vector<int>& liste, std::vector<uint64_t>& w,
                 std::vector<uint32_t>& marke, uint32_t stempel) {
    liste.clear();
    const int tiefe = verweise[i].gener;
    if (tiefe > 62) return false;
    // Eimer je Generationstiefe, von der tiefsten an: Eltern sind stets weniger tief, also
    // ist das Gewicht einer Zeile vollstaendig, wenn ihr Eimer an der Reihe ist.
    eimer.resize(static_cast<size_t>(tiefe) + 1);
    for (auto& e : eimer) e.clear();
    marke[i] = stempel;
    w[i] = uint64_t{1} << tiefe;
    eimer[tiefe].push_back(i);
    for (int g = tiefe; g >= 0; --g)
        for (size_t k = 0; k < eimer[g].size(); ++k) {
            const int x = eimer[g][k];
            liste.push_back(x);
            const uint64_t h = w[x] >> 1;
            for (int p : {verweise[x].vater, verweise[x].mutter}) {
                if (p < 0) continue;
                if (marke[p] != stempel) {
                    marke[p] = stempel;
                    w[p] = 0;
                    eimer[verweise[p].gener].push_back(p);
                }
                w[p] += h;
            }
        }
    return true;
}

// v(a,b) aus den Genfluessen; die Anteile aller Vorfahren sind schon berechnet.
Veko::Dy Veko::summe(int a, int b) {
    const uint32_t sa = neuer_stempel();
    if (!fluss(a, la, wa, ma, sa)) return Dy{0, 0, true};
    const uint32_t sb = neuer_stempel();
    if (!fluss(b, lb, wb, mb, sb)) return Dy{0, 0, true};
    const int e = verweise[a].gener + verweise[b].gener;
    Dy s;
    for (int x : la)
        if (mb[x] == sb) {
            const __int128 p = static_cast<__int128>(wa[x]) * wb[x];
            s = plus(s, mal(normal(p, e, false), anteile[x]));
            if (s.schlecht) return s;
        }
    return s;
}

Veko::Dy Veko::anteil(int k) {
    const int v = verweise[k].vater, m = verweise[k].mutter;
    if (v < 0 && m < 0) return Dy{1, 0};
    if (v < 0 || m < 0) return Dy{3, 2};
    Dy r = v == m ? Dy{1, 0} : summe(v, m);
    if (r.schlecht) r = rek(v, m);
    return halb(plus(Dy{1, 0}, Dy{-r.m, r.e, r.schlecht}));
}

Veko::Dy Veko::rel(int i, int j) {
    if (i == j) return Dy{1, 0};
    // Fehlende Anteile der Vorfahren beider, von den aeltesten an.
    const uint32_t s = neuer_stempel();
    lu.clear();
    vorfahren(i, lu, mu, s);
    vorfahren(j, lu, mu, s);
    std::erase_if(lu, [&](int k) { return anteil_da[k] != 0; });
    std::sort(lu.begin(), lu.end(),
              [&](int a, int b) { return verweise[a].gener < verweise[b].gener; });
    const std::vector<int> fehlend = lu;  // summe() braucht die Arbeitslisten
    for (int k : fehlend) {
        anteile[k] = anteil(k);
        anteil_da[k] = 1;
    }
    const Dy r = summe(i, j);
    // Der Genfluss braucht Stellen bis 2^-(gener i + gener j), auch wo das Ergebnis selbst
    // kurz ist; dann rechnet die Rekursion, die an gemeinsamen Vorfahren endet.
    return r.schlecht ? rek(i, j) : r;
}

// Die Rekursion selbst, mit Gedaechtnis und eigenem Stapel statt Maschinenstapel:
// v(i,j) = (v(i, mutter j) + v(i, vater j)) / 2 fuer gener(i) <= gener(j).
Veko::Dy Veko::rek(int i0, int j0) {
    constexpr size_t grenze = 4000000;  // Paare im Gedaechtnis
    auto ordne = [&](int& i, int& j) {
        if (i >= 0 && j >= 0 && (verweise[i].gener > verweise[j].gener ||
                                 (verweise[i].gener == verweise[j].gener && i > j)))
            std::swap(i, j);
    };
    auto sofort = [&](int i, int j, Dy& w) {
        if (i < 0 || j < 0) return w = Dy{0, 0}, true;
        if (i == j) return w = Dy{1, 0}, true;
        const Verweis &a = verweise[i], &b = verweise[j];
        if (a.vater < 0 && a.mutter < 0 && b.vater < 0 && b.mutter < 0) return w = Dy{0, 0}, true;
        auto it = paare.find(schluessel(i, j));
        if (it == paare.end()) return false;
        w = it->second;
        return true;
    };
    ordne(i0, j0);
    Dy w;
    if (sofort(i0, j0, w)) return w;
    std::vector<std::pair<int, int>> st{{i0, j0}};
    while (!st.empty()) {
        if (paare.size() > grenze) {
            paare.clear();
            return Dy{0, 0, true};
        }
        auto [i, j] = st.back();
        if (paare.count(schluessel(i, j))) {  // doppelt aufgelegt, schon berechnet
            st.pop_back();
            continue;
        }
        int ia = i, ma_ = verweise[j].mutter, iv = i, va_ = verweise[j].vater;
        ordne(ia, ma_);
        ordne(iv, va_);
        Dy a, b;
        const bool da_a = sofort(ia, ma_, a), da_b = sofort(iv, va_, b);
        if (da_a && da_b) {
            paare[schluessel(i, j)] = halb(plus(a, b));
            st.pop_back();
            continue;
        }
        if (!da_a) st.emplace_back(ia, ma_);
        if (!da_b) st.emplace_back(iv, va_);
    }
    sofort(i0, j0, w);
    return w;
}

// ---------------------------------------------------------------- Dyadische Brueche


Veko::Dy Veko::plus(Dy a, Dy b) {
    const int e = std::max(a.e, b.e);
    const __int128 m = static_cast<__int128>(a.m) * (static_cast<__int128>(1) << (e - a.e)) +
                       static_cast<__int128>(b.m) * (static_cast<__int128>(1) << (e - b.e));
    return normal(m, e, a.schlecht || b.schlecht);
}

Veko::Dy Veko::mal(Dy a, Dy b) {
    return normal(static_cast<__int128>(a.m) * b.m, a.e + b.e, a.schlecht || b.schlecht);
}

Veko::Dy Veko::halb(Dy a) { return normal(a.m, a.e + 1, a.schlecht); }

Bruch Veko::als_bruch(Dy x) {
    ueberlauf = x.schlecht;
    if (x.schlecht) return Bruch(0, 1);
    return Bruch(x.m, static_cast<long long>(1) << x.e);
}
