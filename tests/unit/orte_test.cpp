// SPDX-License-Identifier: MIT
// Ortsnummern: jede Nummer nennt genau eine Stelle ihres Moduls, und jede Datei der
// Tabelle in src/orte.h bleibt in ihrem Block. Liest die Quellen unter src/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Quelle {
    std::string name;  // Dateiname ohne Verzeichnis
    std::string text;
};

struct Stelle {
    std::string modul;
    long nummer;
    std::string wo;  // datei:zeile
};

// Modul einer Datei: orvu.cpp und orvu_*.* (ausser orvu_kon) sind "src/orvu".
std::string modul_von(const std::string& datei) {
    std::string stamm = fs::path(datei).stem().string();
    if (stamm == "orvu" || (stamm.rfind("orvu_", 0) == 0 && stamm != "orvu_kon")) return "src/orvu";
    return "src/" + stamm;
}

bool wortzeichen(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Kommentare durch Leerzeichen ersetzen (Zeilenenden bleiben); Text- und Zeichenliterale
// bleiben stehen.
std::string ohne_kommentare(const std::string& s) {
    std::string r = s;
    for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] == '"' || r[i] == '\'') {
            const char q = r[i];
            for (++i; i < r.size() && r[i] != q; ++i)
                if (r[i] == '\\') ++i;
        } else if (r.compare(i, 2, "//") == 0) {
            for (; i < r.size() && r[i] != '\n'; ++i) r[i] = ' ';
        } else if (r.compare(i, 2, "/*") == 0) {
            size_t e = r.find("*/", i + 2);
            e = e == std::string::npos ? r.size() : e + 2;
            for (; i < e; ++i)
                if (r[i] != '\n') r[i] = ' ';
            --i;
        }
    }
    return r;
}

size_t zeile_bei(const std::string& s, size_t pos) {
    return 1 + static_cast<size_t>(std::count(s.begin(), s.begin() + static_cast<long>(pos), '\n'));
}

// Die Argumente eines Aufrufs, dessen "(" bei auf steht (oberste Ebene, an Kommas getrennt).
std::vector<std::string> argumente(const std::string& s, size_t auf) {
    std::vector<std::string> args;
    std::string akt;
    int tiefe = 0;
    for (size_t i = auf + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {  // Literal ganz uebernehmen
            size_t j = i;
            for (++j; j < s.size() && s[j] != c; ++j)
                if (s[j] == '\\') ++j;
            akt.append(s, i, j - i + 1);
            i = j;
            continue;
        }
        if (c == '(' || c == '[' || c == '{') ++tiefe;
        if (c == ')' || c == ']' || c == '}') {
            if (tiefe == 0) {
                args.push_back(akt);
                return args;
            }
            --tiefe;
        }
        if (c == ',' && tiefe == 0) {
            args.push_back(akt);
            akt.clear();
        } else {
            akt += c;
        }
    }
    return args;
}

// Funktionen (auch Lambdas "name = [..](..)"), die eine Ortsnummer nehmen: Name ->
// Stelle des Parameters "int ort" / "int stelle". meld und ort nehmen sie immer zuerst.
std::map<std::string, size_t> ort_funktionen(const std::vector<Quelle>& quellen) {
    std::map<std::string, size_t> f = {{"meld", 0}, {"ort", 0}};
    static const std::regex param(R"(\bint\s+(ort|stelle)\s*[,)])");
    for (const Quelle& q : quellen) {
        const std::string s = ohne_kommentare(q.text);
        for (auto it = std::sregex_iterator(s.begin(), s.end(), param); it != std::sregex_iterator();
             ++it) {
            size_t i = static_cast<size_t>(it->position());
            size_t kommas = 0;
            int tiefe = 0;
            while (i > 0) {
                const char c = s[--i];
                if (c == ')') ++tiefe;
                else if (c == '(' && tiefe-- == 0) break;
                else if (c == ',' && tiefe == 0) ++kommas;
            }
            size_t e = i;
            while (e > 0 && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
            if (e > 0 && s[e - 1] == ']') {  // Lambda: Name vor "= ["
                size_t a = s.rfind('[', e - 1);
                if (a == std::string::npos) continue;
                e = a;
                while (e > 0 && (std::isspace(static_cast<unsigned char>(s[e - 1])) || s[e - 1] == '='))
                    --e;
            }
            size_t a = e;
            while (a > 0 && wortzeichen(s[a - 1])) --a;
            if (a < e) f[s.substr(a, e - a)] = kommas;
        }
    }
    return f;
}

bool ganze_zahl(const std::string& a, long& z) {
    static const std::regex zahl(R"(\s*([0-9]+)\s*)");
    std::smatch m;
    if (!std::regex_match(a, m, zahl)) return false;
    z = std::stol(m[1]);
    return true;
}

// Alle Stellen der Quellen. Mehrere Vorkommen in einer Zeile sind eine Stelle.
std::vector<Stelle> stellen(const std::vector<Quelle>& quellen) {
    const auto funktionen = ort_funktionen(quellen);
    std::vector<Stelle> r;
    std::set<std::tuple<std::string, long, std::string>> gesehen;
    auto neu = [&](const std::string& modul, long n, const std::string& wo) {
        if (gesehen.emplace(modul, n, wo).second) r.push_back({modul, n, wo});
    };
    static const std::regex literal(R"x("src/([a-z_]*[a-z])([0-9]+))x");
    for (const Quelle& q : quellen) {
        const std::string s = ohne_kommentare(q.text);
        const std::string modul = modul_von(q.name);
        for (size_t i = 0; i < s.size(); ++i) {
            if (!wortzeichen(s[i]) || (i > 0 && wortzeichen(s[i - 1]))) continue;
            size_t e = i;
            while (e < s.size() && wortzeichen(s[e])) ++e;
            size_t auf = e;
            while (auf < s.size() && std::isspace(static_cast<unsigned char>(s[auf]))) ++auf;
            auto f = funktionen.find(s.substr(i, e - i));
            if (auf < s.size() && s[auf] == '(' && f != funktionen.end()) {
                auto args = argumente(s, auf);
                long n;
                if (f->second < args.size() && ganze_zahl(args[f->second], n))
                    neu(modul, n, q.name + ":" + std::to_string(zeile_bei(s, i)));
            }
            i = e - 1;
        }
        for (auto it = std::sregex_iterator(s.begin(), s.end(), literal);
             it != std::sregex_iterator(); ++it) {
            neu("src/" + (*it)[1].str(), std::stol((*it)[2].str()),
                q.name + ":" + std::to_string(zeile_bei(s, static_cast<size_t>(it->position()))));
        }
    }
    return r;
}

// "modul N: a, b" fuer jede Nummer mit mehr als einer Stelle.
std::vector<std::string> doppelte(const std::vector<Stelle>& st) {
    std::map<std::pair<std::string, long>, std::vector<std::string>> je;
    for (const Stelle& s : st) je[{s.modul, s.nummer}].push_back(s.wo);
    std::vector<std::string> r;
    for (auto& [k, wo] : je) {
        if (wo.size() < 2) continue;
        std::sort(wo.begin(), wo.end());
        std::string z = k.first + std::to_string(k.second) + ":";
        for (const std::string& w : wo) z += " " + w;
        r.push_back(z);
    }
    return r;
}

std::vector<Quelle> lies_quellen() {
    std::vector<Quelle> q;
    for (const auto& e : fs::directory_iterator("src")) {
        const std::string ext = e.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        std::ifstream f(e.path(), std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        q.push_back({e.path().filename().string(), s.str()});
    }
    std::sort(q.begin(), q.end(), [](const Quelle& a, const Quelle& b) { return a.name < b.name; });
    return q;
}

TEST(Orte, findenStellenUndDoppelteInBeispielquellen) {
    struct Fall {
        const char* name;
        std::vector<Quelle> quellen;
        std::vector<std::string> doppelt;
    };
    const Fall faelle[] = {
        {"eindeutig",
         {{"orvu_a.cpp", "meld(101) << \"x\";\nmeld(102) << \"y\";\n"},
          {"orvu_kon.cpp", "std::cerr << ort(101);\n"}},
         {}},
        {"zwei Dateien eines Moduls",
         {{"orvu.cpp", "  meld(7) << 1;\n"}, {"orvu_b.cpp", "\n meld( 7 ) << 2;\n"}},
         {"src/orvu7: orvu.cpp:1 orvu_b.cpp:2"}},
        {"zweimal in einer Zeile ist eine Stelle",
         {{"orvu_kon.cpp", "x << ort(5) << y << ort(5);\n"}},
         {}},
        {"Hilfe mit Parameter int ort",
         {{"orvu.h", "int nur_rechts(const Term* l, const Term* r, int ort, const char* m);\n"},
          {"orvu_c.cpp", "if (nur_rechts(l, r, 812, \" a, b\")) return 1;\n"
                         "if (nur_rechts(l, f(r, 2), 812, \"c\")) return 1;\n"}},
         {"src/orvu812: orvu_c.cpp:1 orvu_c.cpp:2"}},
        {"Lambda mit int ort",
         {{"orvu_d.cpp", "auto falsch = [&](int ort, bool b) { meld(ort) << b; };\n"
                         "falsch(430, true);\nmeld(430);\n"}},
         {"src/orvu430: orvu_d.cpp:2 orvu_d.cpp:3"}},
        {"Textliteral mit Modulpfad",
         {{"up.cpp", "f << \"src/up20backslash\";\nint g(int stelle);\ng(20);\n"}},
         {"src/up20: up.cpp:1 up.cpp:3"}},
        {"Kommentare zaehlen nicht",
         {{"orvu_e.cpp", "// meld(5)\nmeld(5); /* meld(5) */\n"}},
         {}},
        {"eigene Module je Klasse",
         {{"kalender.cpp", "meld(3);\n"}, {"zins.cpp", "meld(3);\n"}},
         {}},
    };
    for (const Fall& f : faelle) EXPECT_EQ(doppelte(stellen(f.quellen)), f.doppelt) << f.name;
    auto st = stellen(faelle[3].quellen);
    ASSERT_EQ(st.size(), 2u);
    EXPECT_EQ(st[0].modul, "src/orvu");
    EXPECT_EQ(st[0].nummer, 812);
}

TEST(Orte, jedeNummerNenntGenauEineStelleIhresModuls) {
    const auto st = stellen(lies_quellen());
    std::map<std::string, size_t> je_modul;
    for (const Stelle& s : st) ++je_modul[s.modul];
    // Die Suche muss die bekannten Module finden, sonst prueft sie nichts.
    EXPECT_GT(je_modul["src/orvu"], 300u);
    EXPECT_GT(je_modul["src/orvu_kon"], 5u);
    EXPECT_GT(je_modul["src/up"], 5u);
    for (const std::string& d : doppelte(st)) ADD_FAILURE() << "Ortsnummer doppelt: " << d;
}

TEST(Orte, jedeDateiDerTabelleBleibtInIhremBlock) {
    std::ifstream f("src/orte.h");
    ASSERT_TRUE(f) << "src/orte.h fehlt";
    static const std::regex datei(R"(^//\s+(orvu[a-z_]*\.(?:cpp|h))\s+([0-9]+)-([0-9]+)\s)");
    static const std::regex weiter(R"(^//\s{10,}([0-9]+)\s)");
    std::map<std::string, std::vector<std::pair<long, long>>> bloecke;
    std::string letzte, z;
    while (std::getline(f, z)) {
        std::smatch m;
        if (std::regex_search(z, m, datei)) {
            letzte = m[1];
            bloecke[letzte].emplace_back(std::stol(m[2]), std::stol(m[3]));
        } else if (!letzte.empty() && std::regex_search(z, m, weiter)) {
            bloecke[letzte].emplace_back(std::stol(m[1]), std::stol(m[1]));
        } else {
            letzte.clear();
        }
    }
    EXPECT_GT(bloecke.size(), 10u);
    EXPECT_EQ(bloecke["orvu_parser.cpp"].size(), 2u);
    for (const Stelle& s : stellen(lies_quellen())) {
        if (s.modul != "src/orvu") continue;
        const std::string name = s.wo.substr(0, s.wo.find(':'));
        auto b = bloecke.find(name);
        if (b == bloecke.end()) continue;
        bool drin = std::any_of(b->second.begin(), b->second.end(), [&](auto& ab) {
            return s.nummer >= ab.first && s.nummer <= ab.second;
        });
        EXPECT_TRUE(drin) << s.wo << ": src/orvu" << s.nummer << " liegt nicht im Block von "
                          << name << " (src/orte.h)";
    }
}

}  // namespace
