// SPDX-License-Identifier: MIT
// Lauf im Sandkasten wie beim Fuzzen: Schrittbudget, verweigerte Dateizugriffe, Grenzen.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "orvu_tabelle.h"
#include "sandkasten.h"

namespace {

struct Ergebnis {
    int status;
    std::string aus, fehler;
};

// Wie das Fuzz-Ziel: Programm und Eingabe im Prozess, Sandkasten, kleines Budget.
Ergebnis lauf(const std::string& programm, const std::string& eingabe, bool mit_eingabe,
              uint64_t schritte = 1000) {
    std::ostringstream aus, fehler;
    int status = sandkasten_lauf(programm, mit_eingabe ? &eingabe : nullptr, aus, fehler,
                                 schritte, size_t{1} << 16);
    return {status, aus.str(), fehler.str()};
}

// True, wenn s einen der durch '|' getrennten Teile enthaelt.
bool enthaelt(const std::string& s, const std::string& teile) {
    size_t a = 0;
    for (;;) {
        size_t e = teile.find('|', a);
        if (s.find(teile.substr(a, e == std::string::npos ? e : e - a)) != std::string::npos)
            return true;
        if (e == std::string::npos) return false;
        a = e + 1;
    }
}

struct Fall {
    const char* name;
    const char* programm;
    const char* eingabe;  // nullptr: ohne Eingabe
    size_t laenge;        // Bytes der Eingabe (sie darf NUL enthalten)
    const char* meldung;  // Teil der erwarteten Meldung (Alternativen mit '|')
    uint64_t schritte = 1000;
};

// Die Eingabe des Fuzzer-Fundes, mit ihren NUL-Bytes.
constexpr char pos_eingabe[] = "ALem \n\0\"\0" "19\n; f, \"\\n\";";

class Sandkasten : public testing::TestWithParam<Fall> {};

TEST_P(Sandkasten, endetMitMeldungUndStatusEins) {
    const Fall& f = GetParam();
    Ergebnis e = lauf(f.programm, f.eingabe ? std::string(f.eingabe, f.laenge) : "",
                      f.eingabe != nullptr, f.schritte);
    EXPECT_EQ(e.status, 1) << e.fehler;
    EXPECT_TRUE(enthaelt(e.fehler, f.meldung)) << e.fehler;
}

// Gefunden vom Fuzzer: POS setzt jeden Datensatz zurueck, die Eingabe endet nie.
INSTANTIATE_TEST_SUITE_P(
    Faelle, Sandkasten,
    testing::Values(
        Fall{"posSchleife", "f = 1.5; f += 1;POS -= 3;\" \"; f -=,\"|\",3",
             pos_eingabe, sizeof pos_eingabe - 1, " Schrittbudget erschoepft"},
        // Gefunden vom Fuzzer: Rekursion ohne Operator dazwischen lief am Stapelwaechter
        // vorbei und ueber das Stapelende (mit ASan schon vor der Aufruftiefe).
        Fall{"rekursionOhneOperator", "function z(t) z(\"R\"); x = z(\"L\");", nullptr, 0,
             "Stapel erschoepft|Aufruftiefe 20000", 1000000},
        Fall{"leereSchleife", "for (;;) ;", nullptr, 0, " Schrittbudget erschoepft"},
        Fall{"rekursion", "function f(n) { return f(n + 1); } f(0);", nullptr, 0,
             " Schrittbudget erschoepft"},
        Fall{"include", "include \"/etc/passwd\";", nullptr, 0, " include ist im Sandkasten"},
        Fall{"eingabeDatei", "prolog EIN = \"/etc/passwd\"; $=&;", nullptr, 0,
             " EIN ist im Sandkasten"},
        Fall{"verdoppeln", "s = \"x\"; for (i = 0; i < 40; i++) s = s + s;", nullptr, 0,
             " Text oder Vektor zu lang"}),
    [](const testing::TestParamInfo<Fall>& i) { return std::string(i.param.name); });

TEST(Sandkasten, ohneGrenzeLaeuftDasProgrammNormal) {
    Ergebnis e = lauf("$=ZNR,&;", "a\nb\n", true);
    EXPECT_EQ(e.status, 0);
    EXPECT_EQ(e.aus, "0a\n1b\n");
    EXPECT_EQ(e.fehler, "2 Zeilen bearbeitet\n");
}

}  // namespace

// Jeder Builtin, der nach aussen reicht, verweigert im Sandkasten, in jeder Operandenform,
// ohne dass sein Handler laeuft; reine Builtins bleiben gebunden.
TEST(Sandkasten, verweigertJedenBuiltinMitFaehigkeit) {
    for (const BuiltinName& b : builtin_tabelle()) {
        const std::string n(b.name);
        for (const std::string& p : {"x = " + n + " \"a\";", "x = 1 " + n + " 2;",
                                     "x = " + n + " (\"a\", \"b\");"}) {
            Ergebnis e = lauf(p, "", false);
            const bool verweigert =
                e.fehler.find(" " + n + " ist im Sandkasten nicht erlaubt") != std::string::npos;
            EXPECT_EQ(verweigert, b.faehig != Faehig::rein) << p << "\n" << e.fehler;
            if (b.faehig != Faehig::rein) {
                EXPECT_EQ(e.status, 1) << p;
            }
        }
    }
}

