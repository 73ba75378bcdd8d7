// SPDX-License-Identifier: MIT
// skriptlauf: fuehrt die Faelle aus tests/skripte/*.txt gegen das fertige orvu aus.
//
// Aufbau einer Falldatei:
//
//   # Zeilen vor dem ersten Fall werden ignoriert
//   == Zeilen nummerieren
//   args: ein aus '$=ZNR,&;'
//   -- datei ein --
//   a
//   b
//   -- stdout --
//   -- erwartet aus --
//   0a
//   1b
//   -- stderr --
//   2 Zeilen bearbeitet
//
//   -- status: 0
//
// "== NAME" beginnt einen Fall; er reicht bis zur naechsten "== "-Zeile.
// Vor dem ersten Abschnitt eines Falls stehen hoechstens eine "args:"-Zeile,
// Leerzeilen und "#"-Kommentare. Kopfzeilen sind "-- ART [NAME] [FLAGS] --" und
// "-- status: N". Inhalt eines Abschnitts ist jede Zeile nach seinem Kopf bis zur
// naechsten Kopfzeile ("-- ... --", "-- status: N", "== ..."), jeweils mit ihrem
// "\n" -- auch Leerzeilen vor dem naechsten Kopf gehoeren dazu. Nach
// "-- status: N" sind nur Leerzeilen und Kommentare erlaubt.
//
//   args: W1 W2 ...      Argumente, an Leerraum getrennt; '...' schuetzt Leerraum,
//                        '' ist ein leeres Argument, benachbarte Teile werden
//                        verbunden (ss='a b' -> "ss=a b"). Keine Escapes. Fehlt
//                        die Zeile, gibt es keine Argumente.
//   -- datei NAME --     Datei im leeren Arbeitsverzeichnis vor dem Lauf
//                        (NAME relativ, Unterverzeichnisse werden angelegt)
//   -- stdin --          Standardeingabe (fehlt: /dev/null)
//   -- stdout --         erwartete Standardausgabe  } fehlt der Abschnitt,
//   -- stderr --         erwartete Fehlerausgabe    } muss sie leer sein
//   -- erwartet NAME --  Datei NAME muss danach genau diesen Inhalt haben
//   -- fehlt NAME --     Datei NAME darf danach nicht existieren (ohne Inhalt)
//   -- status: N         erwarteter Exit-Status (fehlt: 0); Tod durch Signal
//                        ist immer ein Fehler, ebenso mehr als 20 s Laufzeit
//   speicher: N          (vor dem ersten Abschnitt) begrenzt den Adressraum des
//                        Laufs auf N KiB; mit AddressSanitizer wird der Fall
//                        uebersprungen
//   env: K=V K2= -K3     (vor dem ersten Abschnitt) Umgebung des Laufs: setzt K auf V,
//                        K2 auf den leeren Text, entfernt K3; Woerter wie bei args
//
// Flags hinter dem Abschnittsnamen, in beliebiger Reihenfolge:
//   noeol  entfernt das letzte "\n" des Inhalts
//   zeit=N (nur datei) setzt die Aenderungszeit der Datei auf N Sekunden seit 1970
//   esc    dekodiert \n \r \t \\ \xHH im Inhalt (die echten Zeilenenden bleiben);
//          so lassen sich auch Inhaltszeilen schreiben, die wie Kopfzeilen aussehen
//          ("\x2d- x --", "\x3d= x") oder auf Leerzeichen enden ("a\x20")
//   mal    wiederholt: "<<N*TEXT>>" steht fuer N-mal TEXT (N dezimal, 0 bis 10000000);
//          TEXT reicht bis zum naechsten ">>" und darf Zeilenenden enthalten, so
//          stehen "<<6000*(>>1<<6000*)>>" fuer 6000 Klammern und
//            <<3*src/orvu# fehler
//            >>
//          fuer drei Zeilen. Wiederholt wird zuerst, dann gelten noeol und esc.
//          Grosse erzeugte Programme und Meldungsketten haengen so an einer Zahl.
//
// Vor dem Vergleich von stdout, stderr und erwarteten Dateien wird in beiden
// Texten jedes "src/MODUL123" (MODUL aus a-z und _) zu "src/MODUL#"; erwartete
// Texte schreibt man also mit "#". "{*}" im erwarteten Text passt auf beliebig
// viele Zeichen ausser "\n".
//
// Umgebung: ORVU_BIN und ORVU_SKRIPTE ersetzen die eingebauten Pfade.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifndef ORVU_BIN
#define ORVU_BIN "build/orvu"
#endif
#ifndef ORVU_SKRIPTE
#define ORVU_SKRIPTE "tests/skripte"
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kZeitlimitSekunden = 20;

struct Fall {
    std::string datei;     // Pfad der Falldatei
    int zeile = 0;         // Zeile des "=="-Kopfs
    std::string name;      // wie geschrieben
    std::string testname;  // gueltiger Bezeichner, eindeutig
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> dateien;
    std::optional<std::string> eingabe;
    std::string aus;
    std::string fehl;
    std::vector<std::pair<std::string, std::string>> erwartet;
    std::vector<std::string> fehlt;
    int status = 0;
    long speicher_kib = 0;  // "speicher: N": Adressraum des Laufs in KiB (0 = unbegrenzt)
    std::vector<std::string> umgebung;                    // "env:"-Woerter
    std::vector<std::pair<std::string, long long>> zeiten;  // datei ... zeit=N
    std::string fehler;  // Formatfehler in der Falldatei; nicht leer -> Fall scheitert
};

// Fuer gtest_discover_tests: Parameter kurz und einzeilig ausgeben.
[[maybe_unused]] void PrintTo(const Fall& f, std::ostream* os) {
    *os << f.datei << ":" << f.zeile;
}

// ---------------------------------------------------------------- Zerlegen

// Argumentzeile zerlegen. nullopt bei offenem Anfuehrungszeichen.
std::optional<std::vector<std::string>> zerlege_args(std::string_view s) {
    std::vector<std::string> args;
    std::string wort;
    bool im_wort = false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == ' ' || c == '\t') {
            if (im_wort) args.push_back(std::move(wort));
            wort.clear();
            im_wort = false;
        } else if (c == '\'') {
            size_t ende = s.find('\'', i + 1);
            if (ende == std::string_view::npos) return std::nullopt;
            wort.append(s.substr(i + 1, ende - i - 1));
            im_wort = true;
            i = ende;
        } else {
            wort += c;
            im_wort = true;
        }
    }
    if (im_wort) args.push_back(std::move(wort));
    return args;
}

int hexwert(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// \n \r \t \\ \xHH dekodieren. nullopt bei unbekannter oder unvollstaendiger Folge.
std::optional<std::string> dekodiere_esc(std::string_view s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            r += s[i];
            continue;
        }
        if (++i >= s.size()) return std::nullopt;
        switch (s[i]) {
        case 'n': r += '\n'; break;
        case 'r': r += '\r'; break;
        case 't': r += '\t'; break;
        case '\\': r += '\\'; break;
        case 'x': {
            int h = i + 1 < s.size() ? hexwert(s[i + 1]) : -1;
            int l = i + 2 < s.size() ? hexwert(s[i + 2]) : -1;
            if (h < 0 || l < 0) return std::nullopt;
            r += static_cast<char>(h * 16 + l);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return r;
}

// "<<N*TEXT>>" durch N-mal TEXT ersetzen. nullopt bei unvollstaendiger Folge.
std::optional<std::string> wiederhole(std::string_view s) {
    constexpr unsigned long long kMax = 10000000;
    std::string r;
    size_t i = 0;
    for (;;) {
        size_t a = s.find("<<", i);
        if (a == std::string_view::npos) break;
        r.append(s.substr(i, a - i));
        size_t p = a + 2;
        unsigned long long n = 0;
        size_t ziffern = 0;
        while (p < s.size() && s[p] >= '0' && s[p] <= '9' && n <= kMax) {
            n = n * 10 + static_cast<unsigned>(s[p++] - '0');
            ++ziffern;
        }
        if (ziffern == 0 || n > kMax || p >= s.size() || s[p] != '*') return std::nullopt;
        size_t e = s.find(">>", p + 1);
        if (e == std::string_view::npos) return std::nullopt;
        std::string_view text = s.substr(p + 1, e - p - 1);
        r.reserve(r.size() + text.size() * n);
        for (unsigned long long k = 0; k < n; ++k) r.append(text);
        i = e + 2;
    }
    r.append(s.substr(i));
    return r;
}

bool ist_testzeichen(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Beliebiger Text -> Bezeichner aus [A-Za-z0-9_]; Umlaute werden umschrieben.
std::string bezeichner(std::string_view s) {
    static const std::pair<std::string_view, std::string_view> umschrift[] = {
        {"\xc3\xa4", "ae"}, {"\xc3\xb6", "oe"}, {"\xc3\xbc", "ue"}, {"\xc3\x9f", "ss"},
        {"\xc3\x84", "Ae"}, {"\xc3\x96", "Oe"}, {"\xc3\x9c", "Ue"},
    };
    std::string r;
    for (size_t i = 0; i < s.size();) {
        bool ersetzt = false;
        for (auto& [von, nach] : umschrift) {
            if (s.substr(i, von.size()) == von) {
                r += nach;
                i += von.size();
                ersetzt = true;
                break;
            }
        }
        if (ersetzt) continue;
        unsigned char c = s[i++];
        if (ist_testzeichen(c))
            r += static_cast<char>(c);
        else if (!r.empty() && r.back() != '_')
            r += '_';
    }
    while (!r.empty() && r.back() == '_') r.pop_back();
    return r.empty() ? "fall" : r;
}

bool gueltiger_dateiname(std::string_view n) {
    if (n.empty() || n.front() == '/') return false;
    for (const auto& teil : fs::path(n)) {
        if (teil == "..") return false;
    }
    return true;
}

std::vector<std::string_view> woerter(std::string_view s) {
    std::vector<std::string_view> w;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        size_t a = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > a) w.push_back(s.substr(a, i - a));
    }
    return w;
}

bool beginnt(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

bool ist_abschnittskopf(std::string_view z) {
    return z.size() >= 6 && beginnt(z, "-- ") && z.substr(z.size() - 3) == " --";
}
bool ist_statuskopf(std::string_view z) { return beginnt(z, "-- status:"); }
bool ist_fallkopf(std::string_view z) { return beginnt(z, "== "); }

// Zerlegt den Text einer Falldatei. Formatfehler landen im betroffenen Fall
// (ohne Fall in einem Ersatzfall), damit sie als Testfehler sichtbar werden.
std::vector<Fall> lies_faelle(std::string_view text, const std::string& datei) {
    // Zeilen mit "\n"; fehlt es am Dateiende, gilt es als vorhanden.
    std::vector<std::string> zeilen;
    for (size_t i = 0; i < text.size();) {
        size_t e = text.find('\n', i);
        if (e == std::string_view::npos) {
            zeilen.emplace_back(std::string(text.substr(i)) + "\n");
            break;
        }
        zeilen.emplace_back(text.substr(i, e + 1 - i));
        i = e + 1;
    }

    std::vector<Fall> faelle;
    Fall* f = nullptr;
    enum class Art { keine, datei, eingabe, aus, fehl, erwartet, fehlt };
    Art art = Art::keine;
    std::string abschnitt_name;
    bool noeol = false, esc = false, wdh = false, hat_args = false, hat_status = false;
    bool hat_aus = false, hat_fehl = false;
    std::string inhalt;
    int kopfzeile = 0;

    auto fehler = [&](int nr, const std::string& was) {
        if (f && f->fehler.empty()) f->fehler = datei + ":" + std::to_string(nr) + ": " + was;
    };
    auto abschliessen = [&]() {
        if (!f || art == Art::keine) return;
        std::string s = std::move(inhalt);
        inhalt.clear();
        if (wdh) {
            auto w = wiederhole(s);
            if (!w) {
                fehler(kopfzeile, "unvollstaendiges \"<<N*TEXT>>\" im Abschnitt");
                w = "";
            }
            s = std::move(*w);
        }
        if (noeol && !s.empty() && s.back() == '\n') s.pop_back();
        if (esc) {
            auto d = dekodiere_esc(s);
            if (!d) {
                fehler(kopfzeile, "ungueltige Escape-Folge im Abschnitt");
                d = "";
            }
            s = std::move(*d);
        }
        switch (art) {
        case Art::datei: f->dateien.emplace_back(abschnitt_name, s); break;
        case Art::eingabe: f->eingabe = s; break;
        case Art::aus: f->aus = s; break;
        case Art::fehl: f->fehl = s; break;
        case Art::erwartet: f->erwartet.emplace_back(abschnitt_name, s); break;
        case Art::fehlt:
            if (!s.empty()) fehler(kopfzeile, "\"fehlt\" hat keinen Inhalt");
            f->fehlt.push_back(abschnitt_name);
            break;
        case Art::keine: break;
        }
        art = Art::keine;
    };

    for (size_t n = 0; n < zeilen.size(); ++n) {
        const std::string& roh = zeilen[n];
        std::string_view z(roh.data(), roh.size() - 1);  // ohne "\n"
        int nr = static_cast<int>(n) + 1;

        if (ist_fallkopf(z)) {
            abschliessen();
            faelle.emplace_back();
            f = &faelle.back();
            f->datei = datei;
            f->zeile = nr;
            auto w = woerter(z.substr(3));
            std::string name;
            for (auto x : w) name += (name.empty() ? "" : " ") + std::string(x);
            f->name = name;
            if (name.empty()) fehler(nr, "Fall ohne Namen");
            hat_args = hat_status = hat_aus = hat_fehl = false;
            continue;
        }
        if (!f) continue;  // Vorspann

        if (ist_statuskopf(z)) {
            abschliessen();
            std::string_view rest = z.substr(10);
            auto w = woerter(rest);
            char* ende = nullptr;
            std::string zahl = w.size() == 1 ? std::string(w[0]) : "";
            long v = zahl.empty() ? -1 : std::strtol(zahl.c_str(), &ende, 10);
            if (zahl.empty() || *ende != '\0' || v < 0 || v > 255)
                fehler(nr, "\"-- status: N\" braucht eine Zahl 0..255");
            else if (hat_status)
                fehler(nr, "status doppelt");
            else
                f->status = static_cast<int>(v);
            hat_status = true;
            continue;
        }
        if (ist_abschnittskopf(z)) {
            abschliessen();
            kopfzeile = nr;
            auto w = woerter(z.substr(3, z.size() - 6));
            noeol = esc = wdh = false;
            abschnitt_name.clear();
            if (w.empty()) {
                fehler(nr, "leerer Abschnittskopf");
                art = Art::datei;  // Inhalt schlucken
                continue;
            }
            static const std::map<std::string_view, Art> arten = {
                {"datei", Art::datei},   {"stdin", Art::eingabe},       {"stdout", Art::aus},
                {"stderr", Art::fehl},   {"erwartet", Art::erwartet}, {"fehlt", Art::fehlt},
            };
            auto it = arten.find(w[0]);
            art = it == arten.end() ? Art::datei : it->second;
            if (it == arten.end()) fehler(nr, "unbekannter Abschnitt \"" + std::string(w[0]) + "\"");
            size_t i = 1;
            bool braucht_name = art == Art::datei || art == Art::erwartet || art == Art::fehlt;
            if (braucht_name) {
                if (w.size() < 2) {
                    fehler(nr, "Abschnitt \"" + std::string(w[0]) + "\" braucht einen Dateinamen");
                } else {
                    abschnitt_name = w[1];
                    if (!gueltiger_dateiname(abschnitt_name))
                        fehler(nr, "Dateiname muss relativ sein und ohne \"..\"");
                }
                i = 2;
            }
            for (; i < w.size(); ++i) {
                if (beginnt(w[i], "zeit=") && art == Art::datei) {
                    std::string zahl(w[i].substr(5));
                    char* ende = nullptr;
                    long long t = std::strtoll(zahl.c_str(), &ende, 10);
                    if (zahl.empty() || *ende != '\0')
                        fehler(nr, "zeit=N braucht eine ganze Zahl");
                    else
                        f->zeiten.emplace_back(abschnitt_name, t);
                } else if (w[i] == "noeol" && art != Art::fehlt)
                    noeol = true;
                else if (w[i] == "esc" && art != Art::fehlt)
                    esc = true;
                else if (w[i] == "mal" && art != Art::fehlt)
                    wdh = true;
                else
                    fehler(nr, "unbekanntes Flag \"" + std::string(w[i]) + "\"");
            }
            auto doppelt = [&](const auto& liste) {
                for (const auto& e : liste) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(e)>, std::string>) {
                        if (e == abschnitt_name) return true;
                    } else {
                        if (e.first == abschnitt_name) return true;
                    }
                }
                return false;
            };
            bool schon = (art == Art::eingabe && f->eingabe) || (art == Art::aus && hat_aus) ||
                         (art == Art::fehl && hat_fehl) || (art == Art::datei && doppelt(f->dateien)) ||
                         (art == Art::erwartet && doppelt(f->erwartet)) ||
                         (art == Art::fehlt && doppelt(f->fehlt));
            if (schon) fehler(nr, "Abschnitt doppelt");
            if (art == Art::aus) hat_aus = true;
            if (art == Art::fehl) hat_fehl = true;
            continue;
        }
        if (art != Art::keine) {
            inhalt += roh;
            continue;
        }
        // ausserhalb eines Abschnitts
        if (beginnt(z, "args:")) {
            if (hat_args)
                fehler(nr, "args doppelt");
            else if (hat_status || !f->dateien.empty() || f->eingabe || hat_aus || hat_fehl ||
                     !f->erwartet.empty() || !f->fehlt.empty())
                fehler(nr, "args gehoert vor den ersten Abschnitt");
            auto a = zerlege_args(z.substr(5));
            if (!a)
                fehler(nr, "offenes ' in args");
            else
                f->args = std::move(*a);
            hat_args = true;
            continue;
        }
        if (beginnt(z, "env:")) {
            auto a = zerlege_args(z.substr(4));
            if (!a) {
                fehler(nr, "offenes ' in env");
                continue;
            }
            for (const std::string& e : *a) {
                bool gut = e.size() > 1 && (e[0] == '-' ? e.find('=') == std::string::npos
                                                        : e.find('=') != std::string::npos &&
                                                              e[0] != '=');
                if (!gut)
                    fehler(nr, "env braucht K=V oder -K");
                else
                    f->umgebung.push_back(e);
            }
            continue;
        }
        if (beginnt(z, "speicher:")) {
            auto w = woerter(z.substr(9));
            std::string zahl = w.size() == 1 ? std::string(w[0]) : "";
            char* ende = nullptr;
            long v = zahl.empty() ? 0 : std::strtol(zahl.c_str(), &ende, 10);
            if (zahl.empty() || *ende != '\0' || v <= 0)
                fehler(nr, "\"speicher: N\" braucht eine Zahl > 0 (KiB)");
            else
                f->speicher_kib = v;
            continue;
        }
        if (woerter(z).empty() || beginnt(z, "#")) continue;
        fehler(nr, "Zeile gehoert zu keinem Abschnitt");
    }
    abschliessen();

    if (faelle.empty()) {
        Fall leer;
        leer.datei = datei;
        leer.name = "leer";
        leer.fehler = datei + ": enthaelt keinen Fall (\"== NAME\")";
        faelle.push_back(std::move(leer));
    }
    return faelle;
}

// ---------------------------------------------------------------- Vergleichen

// "src/modul123" -> "src/modul#" (Modul aus a-z und _, Ziffern direkt dahinter).
std::string ohne_stellennummern(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (s.compare(i, 4, "src/") == 0) {
            size_t j = i + 4;
            while (j < s.size() && ((s[j] >= 'a' && s[j] <= 'z') || s[j] == '_')) ++j;
            size_t k = j;
            while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
            if (j > i + 4 && k > j) {
                r.append(s.substr(i, j - i));
                r += '#';
                i = k;
                continue;
            }
        }
        r += s[i++];
    }
    return r;
}

// Zeilen samt "\n" (die letzte evtl. ohne).
std::vector<std::string_view> zeilen_von(std::string_view s) {
    std::vector<std::string_view> z;
    for (size_t i = 0; i < s.size();) {
        size_t e = s.find('\n', i);
        size_t ende = e == std::string_view::npos ? s.size() : e + 1;
        z.push_back(s.substr(i, ende - i));
        i = ende;
    }
    return z;
}

// Eine Zeile gegen ein Muster mit "{*}" (passt auf alles ausser "\n").
bool zeile_passt(std::string_view muster, std::string_view text) {
    bool m_eol = !muster.empty() && muster.back() == '\n';
    bool t_eol = !text.empty() && text.back() == '\n';
    if (m_eol != t_eol) return false;
    if (m_eol) {
        muster.remove_suffix(1);
        text.remove_suffix(1);
    }
    if (text.find('\n') != std::string_view::npos) return false;
    std::vector<std::string_view> teile;
    for (size_t i = 0;;) {
        size_t p = muster.find("{*}", i);
        if (p == std::string_view::npos) {
            teile.push_back(muster.substr(i));
            break;
        }
        teile.push_back(muster.substr(i, p - i));
        i = p + 3;
    }
    if (teile.size() == 1) return muster == text;
    std::string_view vorn = teile.front(), hinten = teile.back();
    if (text.size() < vorn.size() + hinten.size()) return false;
    if (!beginnt(text, vorn) || text.substr(text.size() - hinten.size()) != hinten) return false;
    std::string_view mitte = text.substr(vorn.size(), text.size() - vorn.size() - hinten.size());
    size_t pos = 0;
    for (size_t i = 1; i + 1 < teile.size(); ++i) {
        size_t p = mitte.find(teile[i], pos);
        if (p == std::string_view::npos) return false;
        pos = p + teile[i].size();
    }
    return true;
}

// Da "{*}" nie "\n" deckt, passt der Text genau dann, wenn die Stuecke zwischen
// den "\n" einzeln passen.
std::vector<std::string_view> stuecke(std::string_view s) {
    std::vector<std::string_view> r;
    for (size_t i = 0;;) {
        size_t e = s.find('\n', i);
        if (e == std::string_view::npos) {
            r.push_back(s.substr(i));
            return r;
        }
        r.push_back(s.substr(i, e - i));
        i = e + 1;
    }
}

bool text_passt(std::string_view erwartet, std::string_view ist) {
    auto e = stuecke(erwartet), i = stuecke(ist);
    if (e.size() != i.size()) return false;
    for (size_t k = 0; k < e.size(); ++k)
        if (!zeile_passt(e[k], i[k])) return false;
    return true;
}

// Zeile lesbar machen: Steuerzeichen und ungueltiges UTF-8 als Escape, "\n" sichtbar.
std::string sichtbar(std::string_view z) {
    std::string r;
    char buf[8];
    for (size_t i = 0; i < z.size(); ++i) {
        unsigned char c = z[i];
        if (c == '\n') r += "\\n";
        else if (c == '\t') r += "\\t";
        else if (c == '\r') r += "\\r";
        else if (c == '\\') r += "\\\\";
        else if (c < 0x20 || c == 0x7f) {
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            r += buf;
        } else if (c < 0x80) {
            r += static_cast<char>(c);
        } else {
            size_t n = c >= 0xf0 && c <= 0xf4 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 && c < 0xe0 ? 2 : 0;
            bool ok = n > 0 && i + n <= z.size();
            for (size_t k = 1; ok && k < n; ++k) ok = (static_cast<unsigned char>(z[i + k]) & 0xc0) == 0x80;
            if (ok) {
                r.append(z.substr(i, n));
                i += n - 1;
            } else {
                std::snprintf(buf, sizeof buf, "\\x%02x", c);
                r += buf;
            }
        }
    }
    return r;
}

// Zeilenweiser Unterschied (LCS), mit drei Zeilen Umgebung; "-" erwartet, "+" erhalten.
std::string unterschied(std::string_view erwartet, std::string_view ist) {
    auto e = zeilen_von(erwartet), i = zeilen_von(ist);
    std::ostringstream o;
    // Gemeinsamen Anfang und Ende abtrennen, damit die Tabelle klein bleibt.
    size_t a = 0;
    while (a < e.size() && a < i.size() && zeile_passt(e[a], i[a])) ++a;
    size_t ee = e.size(), ie = i.size();
    while (ee > a && ie > a && zeile_passt(e[ee - 1], i[ie - 1])) --ee, --ie;
    size_t n = ee - a, m = ie - a;
    std::vector<std::pair<char, std::string_view>> ops;  // ' ', '-', '+'
    for (size_t k = 0; k < a; ++k) ops.emplace_back(' ', i[k]);
    if (n * m <= 4'000'000) {
        std::vector<std::vector<unsigned>> L(n + 1, std::vector<unsigned>(m + 1, 0));
        for (size_t x = n; x-- > 0;)
            for (size_t y = m; y-- > 0;)
                L[x][y] = zeile_passt(e[a + x], i[a + y]) ? L[x + 1][y + 1] + 1
                                                          : std::max(L[x + 1][y], L[x][y + 1]);
        size_t x = 0, y = 0;
        while (x < n || y < m) {
            if (x < n && y < m && zeile_passt(e[a + x], i[a + y])) {
                ops.emplace_back(' ', i[a + y]);
                ++x, ++y;
            } else if (x < n && (y == m || L[x + 1][y] >= L[x][y + 1])) {
                ops.emplace_back('-', e[a + x++]);
            } else {
                ops.emplace_back('+', i[a + y++]);
            }
        }
    } else {
        for (size_t x = 0; x < n; ++x) ops.emplace_back('-', e[a + x]);
        for (size_t y = 0; y < m; ++y) ops.emplace_back('+', i[a + y]);
    }
    for (size_t k = ie; k < i.size(); ++k) ops.emplace_back(' ', i[k]);

    constexpr size_t umgebung = 3;
    std::vector<bool> zeigen(ops.size(), false);
    for (size_t k = 0; k < ops.size(); ++k) {
        if (ops[k].first == ' ') continue;
        size_t von = k >= umgebung ? k - umgebung : 0;
        for (size_t j = von; j < std::min(ops.size(), k + umgebung + 1); ++j) zeigen[j] = true;
    }
    bool luecke = false;
    for (size_t k = 0; k < ops.size(); ++k) {
        if (!zeigen[k]) {
            luecke = true;
            continue;
        }
        if (luecke) o << "  ...\n";
        luecke = false;
        o << ops[k].first << " " << sichtbar(ops[k].second) << "\n";
    }
    if (luecke) o << "  ...\n";
    if (e.empty()) o << "  (erwartet: leer)\n";
    if (i.empty()) o << "  (erhalten: leer)\n";
    return o.str();
}

// Ganzer Text, zeilenweise sichtbar gemacht und eingerueckt.
std::string eingerueckt(std::string_view s) {
    if (s.empty()) return "  (leer)\n";
    std::string r;
    auto z = zeilen_von(s);
    constexpr size_t hoechstens = 40;
    for (size_t i = 0; i < z.size() && i < hoechstens; ++i) r += "  " + sichtbar(z[i]) + "\n";
    if (z.size() > hoechstens) r += "  ... (" + std::to_string(z.size() - hoechstens) + " weitere Zeilen)\n";
    return r;
}

// Liefert leeren Text, wenn ist auf erwartet passt, sonst eine Beschreibung.
std::string vergleiche(const std::string& was, const std::string& erwartet, const std::string& ist) {
    std::string e = ohne_stellennummern(erwartet), i = ohne_stellennummern(ist);
    if (text_passt(e, i)) return "";
    return was + " weicht ab (- erwartet, + erhalten):\n" + unterschied(e, i);
}

// ---------------------------------------------------------------- Ausfuehren

struct Lauf {
    int status = -1;
    int signal = 0;
    bool haengt = false;
    std::string fehler;  // konnte nicht gestartet werden o. ae.
};

bool schreibe_datei(const fs::path& p, const std::string& inhalt) {
    std::ofstream o(p, std::ios::binary | std::ios::trunc);
    o.write(inhalt.data(), static_cast<std::streamsize>(inhalt.size()));
    return static_cast<bool>(o);
}

std::optional<std::string> lies_datei(const fs::path& p) {
    std::ifstream i(p, std::ios::binary);
    if (!i) return std::nullopt;
    std::ostringstream s;
    s << i.rdbuf();
    return s.str();
}

// Startet bin mit args (ohne Shell) in cwd; stdin/stdout/stderr aus bzw. in Dateien.
// Umgebung des Kindes: die eigene, geaendert durch die "env:"-Woerter.
std::vector<std::string> kind_umgebung(const std::vector<std::string>& aenderung) {
    std::vector<std::string> u;
    for (char** e = environ; *e; ++e) u.emplace_back(*e);
    for (const std::string& a : aenderung) {
        const bool weg = a[0] == '-';
        const std::string name = weg ? a.substr(1) : a.substr(0, a.find('='));
        std::erase_if(u, [&](const std::string& e) {
            return e.size() > name.size() && e.compare(0, name.size(), name) == 0 &&
                   e[name.size()] == '=';
        });
        if (!weg) u.push_back(a);
    }
    return u;
}

Lauf starte(const std::string& bin, const std::vector<std::string>& args, const fs::path& cwd,
            const fs::path& ein, const fs::path& aus, const fs::path& fehl, long speicher_kib,
            const std::vector<std::string>& umgebung) {
    Lauf l;
    int fd_ein = ::open(ein.c_str(), O_RDONLY | O_CLOEXEC);
    int fd_aus = ::open(aus.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int fd_fehl = ::open(fehl.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ein < 0 || fd_aus < 0 || fd_fehl < 0) {
        l.fehler = std::string("kann Umleitung nicht oeffnen: ") + std::strerror(errno);
        for (int fd : {fd_ein, fd_aus, fd_fehl})
            if (fd >= 0) ::close(fd);
        return l;
    }
    std::vector<std::string> argv_s;
    argv_s.push_back(bin);
    argv_s.insert(argv_s.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_s) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env_s = kind_umgebung(umgebung);
    std::vector<char*> envp;
    for (auto& e : env_s) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string dir = cwd.string();

    pid_t pid = ::fork();
    if (pid == 0) {
        // nur async-signal-sichere Aufrufe
        ::setpgid(0, 0);
        if (::chdir(dir.c_str()) != 0 || ::dup2(fd_ein, 0) < 0 || ::dup2(fd_aus, 1) < 0 ||
            ::dup2(fd_fehl, 2) < 0)
            ::_exit(126);
        ::signal(SIGPIPE, SIG_DFL);
        if (speicher_kib > 0) {
            rlimit r{static_cast<rlim_t>(speicher_kib) * 1024, static_cast<rlim_t>(speicher_kib) * 1024};
            if (::setrlimit(RLIMIT_AS, &r) != 0) ::_exit(125);
        }
        ::execve(argv[0], argv.data(), envp.data());
        static const char m[] = "skriptlauf: execve fehlgeschlagen\n";
        [[maybe_unused]] auto r = ::write(2, m, sizeof m - 1);
        ::_exit(127);
    }
    for (int fd : {fd_ein, fd_aus, fd_fehl}) ::close(fd);
    if (pid < 0) {
        l.fehler = std::string("fork: ") + std::strerror(errno);
        return l;
    }
    ::setpgid(pid, pid);  // auch hier, gegen den Wettlauf mit dem Kind

    int st = 0;
    bool fertig = false;
    int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd p{pidfd, POLLIN, 0};
        int r;
        do r = ::poll(&p, 1, kZeitlimitSekunden * 1000);
        while (r < 0 && errno == EINTR);
        ::close(pidfd);
        fertig = r > 0;
    } else {
        // ohne pidfd: in kleinen Schritten nachsehen
        for (int ms = 0; ms < kZeitlimitSekunden * 1000; ms += 2) {
            pid_t w = ::waitpid(pid, &st, WNOHANG);
            if (w == pid) {
                fertig = true;
                break;
            }
            ::usleep(2000);
        }
        if (fertig) {
            ::kill(-pid, SIGKILL);  // uebrig gebliebene Enkel
            l.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
            l.signal = WIFSIGNALED(st) ? WTERMSIG(st) : 0;
            return l;
        }
    }
    if (!fertig) {
        l.haengt = true;
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
    while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
    }
    ::kill(-pid, SIGKILL);
    if (!l.haengt) {
        l.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        l.signal = WIFSIGNALED(st) ? WTERMSIG(st) : 0;
    }
    return l;
}

std::string umgebung_oder(const char* name, const char* vorgabe) {
    const char* v = std::getenv(name);
    return v && *v ? v : vorgabe;
}

std::string zeige_args(const std::vector<std::string>& args) {
    std::string r = "orvu";
    for (const auto& a : args) r += " '" + sichtbar(a) + "'";
    return r;
}

// ---------------------------------------------------------------- Faelle sammeln

std::vector<Fall> alle_faelle() {
    fs::path dir = umgebung_oder("ORVU_SKRIPTE", ORVU_SKRIPTE);
    std::vector<fs::path> dateien;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file() && e.path().extension() == ".txt") dateien.push_back(e.path());
    std::sort(dateien.begin(), dateien.end());

    std::vector<Fall> alle;
    if (dateien.empty()) {
        Fall f;
        f.datei = dir.string();
        f.name = "keine_skripte";
        f.fehler = "keine Falldateien (*.txt) in " + dir.string();
        alle.push_back(std::move(f));
    }
    std::set<std::string> vergeben;
    for (const auto& p : dateien) {
        std::string text = lies_datei(p).value_or("");
        for (auto& f : lies_faelle(text, p.filename().string())) {
            std::string basis = bezeichner(p.stem().string()) + "_" + bezeichner(f.name);
            std::string t = basis;
            for (int k = 2; vergeben.count(t); ++k) t = basis + "_" + std::to_string(k);
            vergeben.insert(t);
            f.testname = t;
            alle.push_back(std::move(f));
        }
    }
    for (auto& f : alle)
        if (f.testname.empty()) f.testname = bezeichner(f.name);
    return alle;
}

// Leeres Arbeitsverzeichnis je Fall; raeumt sich selbst weg.
struct TempDir {
    fs::path pfad;
    TempDir() {
        std::string muster = (fs::temp_directory_path() / "skriptlauf.XXXXXX").string();
        if (::mkdtemp(muster.data())) pfad = muster;
    }
    ~TempDir() {
        std::error_code ec;
        if (!pfad.empty()) fs::remove_all(pfad, ec);
    }
};

class Skript : public testing::TestWithParam<Fall> {};

TEST_P(Skript, Fall) {
    const Fall& f = GetParam();
    SCOPED_TRACE(f.datei + ":" + std::to_string(f.zeile) + ": " + f.name);
    ASSERT_TRUE(f.fehler.empty()) << f.fehler;
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer braucht selbst viel Adressraum: Faelle mit Speichergrenze nur ohne.
    if (f.speicher_kib > 0) GTEST_SKIP() << "Speichergrenze mit AddressSanitizer nicht pruefbar";
#endif

    TempDir tmp;
    ASSERT_FALSE(tmp.pfad.empty()) << "mkdtemp: " << std::strerror(errno);
    fs::path cwd = tmp.pfad / "lauf";
    fs::create_directory(cwd);
    for (const auto& [name, inhalt] : f.dateien) {
        fs::path p = cwd / name;
        fs::create_directories(p.parent_path());
        ASSERT_TRUE(schreibe_datei(p, inhalt)) << "kann " << p << " nicht schreiben";
    }
    for (const auto& [name, t] : f.zeiten) {
        const timespec ts[2] = {{static_cast<time_t>(t), 0}, {static_cast<time_t>(t), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (cwd / name).c_str(), ts, 0), 0)
            << "utimensat " << name << ": " << std::strerror(errno);
    }
    fs::path ein = "/dev/null";
    if (f.eingabe) {
        ein = tmp.pfad / "stdin";
        ASSERT_TRUE(schreibe_datei(ein, *f.eingabe));
    }
    std::string bin = umgebung_oder("ORVU_BIN", ORVU_BIN);
    Lauf l = starte(bin, f.args, cwd, ein, tmp.pfad / "stdout", tmp.pfad / "stderr",
                    f.speicher_kib, f.umgebung);
    ASSERT_TRUE(l.fehler.empty()) << l.fehler;

    std::string aus = lies_datei(tmp.pfad / "stdout").value_or("");
    std::string fehl = lies_datei(tmp.pfad / "stderr").value_or("");
    std::string aufruf = "Aufruf: " + zeige_args(f.args) + "\n";

    if (l.haengt) {
        ADD_FAILURE() << aufruf << "haengt: nach " << kZeitlimitSekunden << " s abgebrochen\n"
                      << "stderr bis dahin:\n" << eingerueckt(fehl);
        return;
    }
    if (l.signal) {
        ADD_FAILURE() << aufruf << "durch Signal " << l.signal << " (" << strsignal(l.signal)
                      << ") beendet\nstderr:\n" << eingerueckt(fehl);
    } else if (l.status != f.status) {
        ADD_FAILURE() << aufruf << "Exit-Status " << l.status << ", erwartet " << f.status
                      << "\nstderr:\n" << eingerueckt(fehl);
    }
    if (auto d = vergleiche("stdout", f.aus, aus); !d.empty()) ADD_FAILURE() << aufruf << d;
    if (auto d = vergleiche("stderr", f.fehl, fehl); !d.empty()) ADD_FAILURE() << aufruf << d;
    for (const auto& [name, inhalt] : f.erwartet) {
        fs::path p = cwd / name;
        if (!fs::is_regular_file(p)) {
            ADD_FAILURE() << aufruf << "Datei \"" << name << "\" fehlt";
            continue;
        }
        auto ist = lies_datei(p);
        if (!ist) {
            ADD_FAILURE() << aufruf << "Datei \"" << name << "\" nicht lesbar";
            continue;
        }
        if (auto d = vergleiche("Datei \"" + name + "\"", inhalt, *ist); !d.empty())
            ADD_FAILURE() << aufruf << d;
    }
    for (const auto& name : f.fehlt) {
        std::error_code ec;
        if (fs::exists(fs::symlink_status(cwd / name, ec)))
            ADD_FAILURE() << aufruf << "Datei \"" << name << "\" sollte nicht existieren";
    }
}

INSTANTIATE_TEST_SUITE_P(skripte, Skript, testing::ValuesIn(alle_faelle()),
                         [](const testing::TestParamInfo<Fall>& i) { return i.param.testname; });

// ---------------------------------------------------------------- Selbsttests des Formats

struct ArgsFall {
    const char* zeile;
    std::optional<std::vector<std::string>> erwartet;
};

TEST(Format, Args) {
    const ArgsFall faelle[] = {
        {"ein aus '$=ZNR,&;'", std::vector<std::string>{"ein", "aus", "$=ZNR,&;"}},
        {"", std::vector<std::string>{}},
        {"   \t ", std::vector<std::string>{}},
        {"''", std::vector<std::string>{""}},
        {"x '' y", std::vector<std::string>{"x", "", "y"}},
        {"ss='a b'", std::vector<std::string>{"ss=a b"}},
        {"'a'b'c'", std::vector<std::string>{"abc"}},
        {" a\t b  ", std::vector<std::string>{"a", "b"}},
        {"'\\n'", std::vector<std::string>{"\\n"}},
        {"\"a b\"", std::vector<std::string>{"\"a", "b\""}},
        {"'offen", std::nullopt},
        {"a 'b c", std::nullopt},
    };
    for (const auto& f : faelle) EXPECT_EQ(zerlege_args(f.zeile), f.erwartet) << f.zeile;
}

TEST(Format, Escapes) {
    const std::pair<std::string, std::optional<std::string>> faelle[] = {
        {"a\\tb\\r\\n", std::string("a\tb\r\n")},
        {"\\\\n", std::string("\\n")},
        {"\\x00\\xfF\\x41", std::string("\0\xff" "A", 3)},
        {"ohne", std::string("ohne")},
        {"\\q", std::nullopt},
        {"\\", std::nullopt},
        {"\\x4", std::nullopt},
        {"\\x", std::nullopt},
        {"\\xg0", std::nullopt},
    };
    for (const auto& [ein, aus] : faelle) EXPECT_EQ(dekodiere_esc(ein), aus) << ein;
}

TEST(Format, Wiederholung) {
    const std::pair<std::string, std::optional<std::string>> faelle[] = {
        {"ohne", std::string("ohne")},
        {"<<3*ab>>", std::string("ababab")},
        {"x = <<4*(>>1<<4*)>>;", std::string("x = ((((1))));")},
        {"<<2*z\n>>ende\n", std::string("z\nz\nende\n")},
        {"<<0*weg>>", std::string("")},
        {"<<1*<<>>", std::string("<<")},
        {"a >> b", std::string("a >> b")},
        {"<<12*>>", std::string("")},
        {"<<*a>>", std::nullopt},
        {"<<3a>>", std::nullopt},
        {"<<3*a", std::nullopt},
        {"<<", std::nullopt},
        {"<<99999999999999999999*a>>", std::nullopt},
        {"<<10000001*a>>", std::nullopt},
    };
    for (const auto& [ein, aus] : faelle) EXPECT_EQ(wiederhole(ein), aus) << ein;
}

TEST(Format, WiederholungImAbschnitt) {
    auto f = lies_faelle("== w\n-- datei p mal noeol --\n$=<<3*1+>>1;\n"
                         "-- stderr mal --\na\n<<2*b\n>>c\n-- status: 1\n",
                         "t.txt");
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].fehler, "");
    ASSERT_EQ(f[0].dateien.size(), 1u);
    EXPECT_EQ(f[0].dateien[0].second, "$=1+1+1+1;");
    EXPECT_EQ(f[0].fehl, "a\nb\nb\nc\n");
    auto kaputt = lies_faelle("== w\n-- stdout mal --\n<<3*x\n", "t.txt");
    ASSERT_EQ(kaputt.size(), 1u);
    EXPECT_NE(kaputt[0].fehler.find("<<N*TEXT>>"), std::string::npos) << kaputt[0].fehler;
    auto ohne = lies_faelle("== w\n-- stdout --\n<<3*x>>\n", "t.txt");
    EXPECT_EQ(ohne[0].aus, "<<3*x>>\n");
}

TEST(Format, Stellennummern) {
    const std::pair<const char*, const char*> faelle[] = {
        {"src/orvu123 fehler bei wert", "src/orvu# fehler bei wert"},
        {"src/orvu_kon7 open fehler", "src/orvu_kon# open fehler"},
        {"src/up4kein dezstring", "src/up#kein dezstring"},
        {"src/orvu# bleibt", "src/orvu# bleibt"},
        {"a src/x1 b src/y22\n", "a src/x# b src/y#\n"},
        {"src/src/ab12", "src/src/ab#"},
        {"src/Orvu1 src/1 src/a-1 src/", "src/Orvu1 src/1 src/a-1 src/"},
        {"xsrc/a9", "xsrc/a#"},
    };
    for (const auto& [ein, aus] : faelle) EXPECT_EQ(ohne_stellennummern(ein), aus) << ein;
}

TEST(Format, Platzhalter) {
    struct P {
        const char* muster;
        const char* text;
        bool passt;
    };
    const P faelle[] = {
        {"   Kompiliert: {*}\n", "   Kompiliert: 2024-01-02 03:04:05\n", true},
        {"   Kompiliert: {*}\n", "   Kompiliert: \n", true},
        {"a{*}c\n", "a\nc\n", false},
        {"a{*}\n", "ab\nc\n", false},
        {"{*}", "", true},
        {"{*}", "\n", false},
        {"x{*}", "x\n", false},
        {"a{*}b{*}c\n", "a1b2b3c\n", true},
        {"a{*}b{*}c\n", "acb\n", false},
        {"ab{*}ba", "aba", false},
        {"ab", "abc", false},
        {"abc", "ab", false},
        {"1\n2\n", "1\n2\n", true},
        {"1\n2\n", "1\n2", false},
        {"1\n2", "1\n2\n", false},
        {"", "", true},
        {"", "\n", false},
    };
    for (const auto& p : faelle)
        EXPECT_EQ(text_passt(p.muster, p.text), p.passt) << sichtbar(p.muster) << " / " << sichtbar(p.text);
}

TEST(Format, Unterschied) {
    std::string d = unterschied("a\nb\n", "a\nc\td");
    EXPECT_NE(d.find("- b\\n\n"), std::string::npos) << d;
    EXPECT_NE(d.find("+ c\\td\n"), std::string::npos) << d;
    EXPECT_NE(d.find("  a\\n\n"), std::string::npos) << d;
    EXPECT_EQ(sichtbar("\xc3\xa4\xff\x01\\"), "\xc3\xa4\\xff\\x01\\\\");
}

struct DateiFall {
    const char* text;
    const char* fehler;  // nullptr: kein Formatfehler erwartet
};

TEST(Format, Fehler) {
    const DateiFall faelle[] = {
        {"== a\n-- stdout --\nx\n", nullptr},
        {"== a\n-- quatsch --\n", "unbekannter Abschnitt"},
        {"== a\n-- stdout --\n-- stdout --\n", "doppelt"},
        {"== a\n-- datei x --\n-- datei x --\n", "doppelt"},
        {"== a\n-- fehlt x --\n\n", "keinen Inhalt"},
        {"== a\n-- fehlt x noeol --\n", "Flag"},
        {"== a\n-- stdout laut --\n", "Flag"},
        {"== a\n-- datei --\n", "Dateinamen"},
        {"== a\n-- datei ../x --\n", "relativ"},
        {"== a\n-- erwartet /tmp/x --\n", "relativ"},
        {"== a\nargs: a\nargs: b\n", "args doppelt"},
        {"== a\n-- stdout --\n-- status: 0\nargs: a\n", "vor den ersten"},
        {"== a\nargs: 'x\n", "offenes"},
        {"== a\n-- status: x\n", "Zahl"},
        {"== a\n-- status: 256\n", "Zahl"},
        {"== a\n-- status: 1\n-- status: 1\n", "status doppelt"},
        {"== a\n-- status: 1\nirgendwas\n", "keinem Abschnitt"},
        {"== a\nirgendwas\n", "keinem Abschnitt"},
        {"== a\n-- stdout esc --\n\\z\n", "Escape"},
        {"nur Vorspann\n", "keinen Fall"},
        {"== \n", "ohne Namen"},
    };
    for (const auto& f : faelle) {
        auto v = lies_faelle(f.text, "t.txt");
        ASSERT_EQ(v.size(), 1u) << f.text;
        if (f.fehler)
            EXPECT_NE(v[0].fehler.find(f.fehler), std::string::npos) << f.text << " -> " << v[0].fehler;
        else
            EXPECT_EQ(v[0].fehler, "") << f.text;
    }
}

TEST(Format, Abschnitte) {
    const char* text =
        "# Vorspann\n"
        "-- stdout --\n"
        "== erster Fall \n"
        "# Kommentar\n"
        "\n"
        "args: ein aus '$=ZNR,&;'\n"
        "-- datei ein --\n"
        "a\n"
        "b\n"
        "-- stdout --\n"
        "-- erwartet aus --\n"
        "0a\n"
        "-- stderr --\n"
        "2 Zeilen bearbeitet\n"
        "\n"
        "-- status: 3\n"
        "\n"
        "== zweiter\n"
        "-- datei sub/x esc noeol --\n"
        "\\x00\\t\n"
        "y\n"
        "-- stdin noeol --\n"
        "ohne Ende\n"
        "-- stdout esc --\n"
        "a\\nb\n"
        "-- fehlt aus --\n"
        "-- erwartet e noeol esc --\n"
        "\n"
        "== dritter\n"
        "args:\n"
        "-- stderr noeol --\n"
        "\n"
        "\n"
        "-- erwartet leer noeol --\n"
        "== zweiter";  // ohne "\n" am Dateiende
    auto v = lies_faelle(text, "t.txt");
    ASSERT_EQ(v.size(), 4u);
    for (const auto& f : v) EXPECT_EQ(f.fehler, "") << f.name;

    EXPECT_EQ(v[0].name, "erster Fall");
    EXPECT_EQ(v[0].zeile, 3);
    EXPECT_EQ(v[0].args, (std::vector<std::string>{"ein", "aus", "$=ZNR,&;"}));
    ASSERT_EQ(v[0].dateien.size(), 1u);
    EXPECT_EQ(v[0].dateien[0], (std::pair<std::string, std::string>{"ein", "a\nb\n"}));
    EXPECT_FALSE(v[0].eingabe);
    EXPECT_EQ(v[0].aus, "");
    ASSERT_EQ(v[0].erwartet.size(), 1u);
    EXPECT_EQ(v[0].erwartet[0], (std::pair<std::string, std::string>{"aus", "0a\n"}));
    EXPECT_EQ(v[0].fehl, "2 Zeilen bearbeitet\n\n");
    EXPECT_EQ(v[0].status, 3);

    ASSERT_EQ(v[1].dateien.size(), 1u);
    EXPECT_EQ(v[1].dateien[0].first, "sub/x");
    EXPECT_EQ(v[1].dateien[0].second, std::string("\0\t\ny", 4));
    EXPECT_EQ(v[1].eingabe, std::optional<std::string>("ohne Ende"));
    EXPECT_EQ(v[1].aus, "a\nb\n");
    EXPECT_EQ(v[1].fehlt, std::vector<std::string>{"aus"});
    ASSERT_EQ(v[1].erwartet.size(), 1u);
    EXPECT_EQ(v[1].erwartet[0].second, "");
    EXPECT_EQ(v[1].status, 0);
    EXPECT_TRUE(v[1].args.empty());

    EXPECT_TRUE(v[2].args.empty());
    EXPECT_EQ(v[2].fehl, "\n");
    ASSERT_EQ(v[2].erwartet.size(), 1u);
    EXPECT_EQ(v[2].erwartet[0].second, "");
    EXPECT_EQ(v[3].name, "zweiter");
}

TEST(Format, Bezeichner) {
    const std::pair<const char*, const char*> faelle[] = {
        {"Zeilen nummerieren", "Zeilen_nummerieren"},
        {"-h  (Hilfe)", "h_Hilfe"},
        {"Gr\xc3\xb6\xc3\x9f" "e \xc3\x84nderung", "Groesse_Aenderung"},
        {"!!!", "fall"},
        {"a__b", "a_b"},
    };
    for (const auto& [ein, aus] : faelle) EXPECT_EQ(bezeichner(ein), aus) << ein;
}

}  // namespace

TEST(Format, UmgebungUndDateizeit) {
    const char* text =
        "== a\n"
        "env: TZ=UTC LEER= -WEG 'MIT=zwei worte'\n"
        "-- datei d/x zeit=86400 --\n"
        "x\n"
        "== b\n"
        "env: =x\n"
        "== c\n"
        "-- datei y zeit=eins --\n";
    auto v = lies_faelle(text, "t.txt");
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].fehler, "");
    EXPECT_EQ(v[0].umgebung,
              (std::vector<std::string>{"TZ=UTC", "LEER=", "-WEG", "MIT=zwei worte"}));
    ASSERT_EQ(v[0].zeiten.size(), 1u);
    EXPECT_EQ(v[0].zeiten[0], (std::pair<std::string, long long>{"d/x", 86400}));
    EXPECT_NE(v[1].fehler.find("env braucht"), std::string::npos);
    EXPECT_NE(v[2].fehler.find("zeit=N"), std::string::npos);

    ::setenv("SKRIPTLAUF_WEG", "1", 1);
    auto u = kind_umgebung({"SKRIPTLAUF_NEU=a", "-SKRIPTLAUF_WEG"});
    EXPECT_NE(std::find(u.begin(), u.end(), "SKRIPTLAUF_NEU=a"), u.end());
    for (const auto& e : u) EXPECT_NE(e.rfind("SKRIPTLAUF_WEG=", 0), 0u) << e;
}
