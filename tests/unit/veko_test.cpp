// SPDX-License-Identifier: MIT
// Veko: bekannte Koeffizienten, Verknuepfung, Zyklen, lange Zeilen und die gemerkte
// Berechnung gegen die unmittelbare Rekursion.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "veko.h"

namespace {

std::string txt(const Bruch& b) { return b.text(); }

// Name, Vater, Mutter je Zeile; "" = unbekannt.
std::vector<std::string> stammbaum() {
    return {
        "A",          // 0 Gruender
        "B",          // 1 Gruender
        "C\tA\tB",    // 2
        "D\tA\tB",    // 3 Vollgeschwister von C
        "X",          // 4
        "H\tX\tB",    // 5 Halbgeschwister von C ueber B
        "Y",          // 6
        "Z",          // 7
        "K\tC\tY",    // 8 Kind von C
        "L\tD\tZ",    // 9 Kind von D: Vetter von K
        "E\tC\tD",    // 10 aus Vollgeschwistern (Inzucht 1/4)
        "F\tE\tE",    // 11 Selbstung von E
        "M\tK",       // 12 Vater bekannt, Mutter nicht
        "N\t\tC",     // 13 Mutter bekannt, Vater nicht
        "G\tE\tC",    // 14 Rueckkreuzung auf C
    };
}

struct Fall {
    const char* a;
    const char* b;
    const char* erwartet;
};

class VekoBekannt : public ::testing::TestWithParam<Fall> {};

TEST_P(VekoBekannt, liefertDenKoeffizienten) {
    Veko v(stammbaum());
    ASSERT_EQ(v.fehlertext(), "");
    const Fall& f = GetParam();
    EXPECT_EQ(txt(v.veko(v.nummer(f.a), v.nummer(f.b))), f.erwartet) << f.a << "," << f.b;
    EXPECT_EQ(txt(v.veko(v.nummer(f.b), v.nummer(f.a))), f.erwartet) << "vertauscht";
}

INSTANTIATE_TEST_SUITE_P(
    Stammbaum, VekoBekannt,
    ::testing::Values(Fall{"C", "A", "1/2"},   // Eltern und Kind
                      Fall{"C", "D", "1/2"},   // Vollgeschwister
                      Fall{"C", "H", "1/4"},   // Halbgeschwister
                      Fall{"K", "L", "1/8"},   // Vettern ersten Grades
                      Fall{"K", "A", "1/4"},   // Enkel und Grosselter
                      Fall{"A", "B", "0/1"},   // zwei Gruender
                      Fall{"C", "C", "1/1"},
                      Fall{"E", "C", "3/4"},   // Kind aus Vollgeschwistern und Elter
                      Fall{"F", "E", "1/1"},   // Selbstung: (v(E,E) + v(E,E)) / 2
                      Fall{"G", "C", "7/8"},   // Rueckkreuzung
                      Fall{"M", "K", "1/2"},   // unbekannte Mutter zaehlt 0, nicht -1
                      Fall{"M", "C", "1/4"},
                      Fall{"N", "C", "1/2"},   // unbekannter Vater: die Mutter zaehlt
                      Fall{"N", "A", "1/4"}));

TEST(Veko, vekomGibtAufDerDiagonalenEinsPlusInzucht) {
    Veko v(stammbaum());
    EXPECT_EQ(txt(v.vekom(v.nummer("E"), v.nummer("E"))), "5/4");
    EXPECT_EQ(txt(v.vekom(v.nummer("F"), v.nummer("F"))), "3/2");  // Selbstung
    EXPECT_EQ(txt(v.vekom(v.nummer("A"), v.nummer("A"))), "1/1");  // Gruender
    EXPECT_EQ(txt(v.vekom(v.nummer("M"), v.nummer("M"))), "1/1");  // ein Elternteil
    EXPECT_EQ(txt(v.vekom(v.nummer("C"), v.nummer("D"))), "1/2");
    EXPECT_EQ(txt(v.vekom(-1, 0)), "0/1");
}

TEST(Veko, beispielAusDreiGenerationen) {
    Veko v(std::vector<std::string>{"A", "B", "C\tA\tB", "D\tA\tB", "E\tC\tB"});
    EXPECT_EQ(txt(v.veko(4, 1)), "3/4");
    EXPECT_EQ(txt(v.vekom(4, 4)), "5/4");
    EXPECT_EQ(v.gener(0), 0);
    EXPECT_EQ(v.gener(2), 1);
    EXPECT_EQ(v.gener(4), 2);
}

TEST(Veko, zeilenAusserhalbUndNamen) {
    Veko v(stammbaum());
    EXPECT_EQ(txt(v.veko(-1, 0)), "-1/1");
    EXPECT_EQ(txt(v.veko(0, v.len())), "-1/1");
    EXPECT_EQ(txt(v.veko(std::string(), std::string("A"))), "-1/1");
    EXPECT_EQ(txt(v.veko(std::string("Q"), std::string("A"))), "-1/1");
    EXPECT_EQ(txt(v.veko(std::string("C"), std::string("A"))), "1/2");
    EXPECT_EQ(v.name(-1), "");
    EXPECT_EQ(v.name(2), "C");
    EXPECT_EQ(v.nummer("Q"), -1);
}

TEST(Veko, doppelteNamenVerknuepfenMitDerLetztenZeile) {
    // Zwei Zeilen "P": Eltern zeigen auf die spaetere, nummer findet die fruehere.
    Veko v(std::vector<std::string>{"P", "Q", "P\tQ", "S\tP"});
    EXPECT_EQ(v.nummer("P"), 0);
    EXPECT_EQ(v.vater(3), 2);
    EXPECT_EQ(txt(v.veko(3, 1)), "1/4");
}

TEST(Veko, leeresElternfeldIstUnbekanntAuchNebenEinerLeerenZeile) {
    // Eine leere Zeile ist eine Zeile, aber nicht Vater oder Mutter jedes Gruenders (sie
    // waere dann auch ihr eigener Vater).
    Veko v(std::vector<std::string>{"", "A\t\t", "B"});
    ASSERT_EQ(v.fehlertext(), "");
    EXPECT_EQ(v.len(), 3);
    EXPECT_EQ(v.vater(1), -1);
    EXPECT_EQ(v.mutter(1), -1);
    EXPECT_EQ(v.vater(0), -1);
    EXPECT_EQ(txt(v.veko(1, 2)), "0/1");
    EXPECT_EQ(txt(v.veko(1, 0)), "0/1");
}

TEST(Veko, textNachDemDrittenTabZaehltNicht) {
    Veko v(std::vector<std::string>{"A", "B", "C\tA\tB\tRest\tmehr"});
    EXPECT_EQ(v.mutter(2), 1);
    EXPECT_EQ(txt(v.veko(2, 1)), "1/2");
}

TEST(Veko, zyklusWirdGemeldet) {
    const std::vector<std::vector<std::string>> faelle = {
        {"A\tA"},                             // eigener Vater
        {"A\tC", "B\tA", "C\tB"},             // Kreis ueber drei Zeilen
        {"R", "A\tR\tC", "B\tA", "C\tB\tR"},  // Kreis ueber die Mutter
    };
    for (const auto& f : faelle) {
        Veko v;
        EXPECT_EQ(v.init(f), 1);
        EXPECT_NE(v.fehlertext().find("Zyklus im Stammbaum"), std::string::npos);
    }
}

struct Datei {
    std::filesystem::path pfad;
    explicit Datei(const std::string& inhalt)
        : pfad(std::filesystem::temp_directory_path() /
               ("veko_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::ofstream(pfad, std::ios::binary) << inhalt;
    }
    ~Datei() {
        std::error_code ec;
        std::filesystem::remove(pfad, ec);
    }
};

TEST(Veko, dateiMitCrLfLangenZeilenUndOhneLetztesZeilenende) {
    const std::string lang(1000, 'n');
    Datei d("A\r\nB\n" + lang + "\tA\tB\r\nK\t" + lang + "\tB");
    Veko v;
    ASSERT_EQ(v.init(d.pfad.string()), 0);
    EXPECT_EQ(v.len(), 4);
    EXPECT_EQ(v.name(0), "A");
    EXPECT_EQ(v.name(2), lang);  // eine Zeile, nicht vier Stuecke
    EXPECT_EQ(v.vater(3), 2);
    EXPECT_EQ(v.mutter(3), 1);   // letzte Zeile ohne Zeilenende behaelt alle Zeichen
    EXPECT_EQ(txt(v.veko(3, 0)), "1/4");
}

TEST(Veko, leereZeileIstEineZeile) {
    Datei d("A\n\nB\n");
    Veko v;
    ASSERT_EQ(v.init(d.pfad.string()), 0);
    EXPECT_EQ(v.len(), 3);
    EXPECT_EQ(v.name(1), "");
}

TEST(Veko, fehlendeDateiScheitert) {
    Veko v;
    EXPECT_EQ(v.init(std::string("/nicht/da/stammbaum.txt")), 1);
    EXPECT_EQ(v.len(), 0);
}

// Die Rekursion unmittelbar, ohne Gedaechtnis: unbekannte Eltern zaehlen 0.
Bruch rekursiv(const std::vector<int>& va, const std::vector<int>& mu, const std::vector<int>& ge,
               int i, int j) {
    if (i < 0 || j < 0) return Bruch(0, 1);
    if (i == j) return Bruch(1, 1);
    auto gruender = [&](int k) { return va[k] < 0 && mu[k] < 0; };
    if (gruender(i) && gruender(j)) return Bruch(0, 1);
    if (ge[i] > ge[j]) return rekursiv(va, mu, ge, j, i);
    return (rekursiv(va, mu, ge, i, mu[j]) + rekursiv(va, mu, ge, i, va[j])) / 2;
}

TEST(Veko, gemerktGleichDerUnmittelbarenRekursion) {
    std::mt19937 zufall(4711);
    for (int runde = 0; runde < 30; ++runde) {
        const int n = 18;
        std::vector<std::string> zeilen;
        std::vector<int> va(n, -1), mu(n, -1), ge(n, 0);
        for (int k = 0; k < n; ++k) {
            auto elter = [&]() {
                return k == 0 || zufall() % 5 == 0 ? -1 : static_cast<int>(zufall() % k);
            };
            va[k] = elter();
            mu[k] = zufall() % 7 == 0 ? va[k] : elter();  // auch Selbstung
            if (va[k] >= 0 || mu[k] >= 0)
                ge[k] = 1 + std::max(va[k] >= 0 ? ge[va[k]] : 0, mu[k] >= 0 ? ge[mu[k]] : 0);
            auto name = [](int x) { return x < 0 ? std::string() : "R" + std::to_string(x); };
            zeilen.push_back(name(k) + "\t" + name(va[k]) + "\t" + name(mu[k]));
        }
        Veko v(zeilen);
        ASSERT_EQ(v.fehlertext(), "");
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                ASSERT_EQ(v.gener(i), ge[i]);
                EXPECT_EQ(txt(v.veko(i, j)), txt(rekursiv(va, mu, ge, i, j)))
                    << "Runde " << runde << " Zeilen " << i << "," << j;
            }
    }
}

// 10 000 Zeilen ueber 20 Generationen, Eltern zufaellig aus der Generation davor: die
// unmittelbare Rekursion braeuchte hier rund 2^38 Aufrufe.
TEST(Veko, grosserStammbaumAntwortetOhneExponentiellenAufwand) {
    const int breite = 500, generationen = 20;
    std::mt19937 zufall(20240611);
    std::vector<std::string> zeilen;
    for (int g = 0; g < generationen; ++g)
        for (int k = 0; k < breite; ++k) {
            std::string z = "g" + std::to_string(g) + "_" + std::to_string(k);
            if (g > 0) {
                const int v = static_cast<int>(zufall() % breite);
                const int m = static_cast<int>(zufall() % breite);
                z += "\tg" + std::to_string(g - 1) + "_" + std::to_string(v) + "\tg" +
                     std::to_string(g - 1) + "_" + std::to_string(m);
            }
            zeilen.push_back(z);
        }
    // Zwei Vollgeschwister am Ende.
    zeilen.push_back("s1\tg19_0\tg19_1");
    zeilen.push_back("s2\tg19_0\tg19_1");
    Veko v(zeilen);
    ASSERT_EQ(v.len(), 10002);
    const int s1 = v.nummer("s1"), s2 = v.nummer("s2");
    const int va = v.vater(s1), mu = v.mutter(s1);
    EXPECT_EQ(v.gener(s1), 20);
    const Bruch eltern = v.veko(va, mu);
    ASSERT_FALSE(v.fehler());
    EXPECT_GT(eltern.zaehler, 0);  // nach 20 Generationen sind alle verwandt
    EXPECT_LT(eltern.zaehler, eltern.nenner);
    // Vollgeschwister und Elter-Kind: (1 + v(Vater, Mutter)) / 2.
    const std::string erwartet = txt((Bruch(1, 1) + eltern) / 2);
    EXPECT_EQ(txt(v.veko(s1, s2)), erwartet);
    EXPECT_EQ(txt(v.veko(s1, va)), erwartet);
    EXPECT_EQ(txt(v.veko(mu, s2)), erwartet);
    // Weitere Fragen an denselben Stammbaum.
    for (int k = 0; k < 20; ++k) {
        const Bruch b = v.veko(9500 + k, 9000 + 3 * k);
        EXPECT_GE(b.zaehler, 0);
        EXPECT_LE(b.zaehler, b.nenner);
    }
}

TEST(Veko, zuTieferStammbaumMeldetStattFalschZuRechnen) {
    // Eine Linie aus 80 Generationen, jede Generation Kind der vorigen und eines Gruenders:
    // der Nenner des Koeffizienten der Enden ist 2^80.
    std::vector<std::string> zeilen{"L0"};
    for (int g = 1; g <= 80; ++g) {
        zeilen.push_back("F" + std::to_string(g));
        zeilen.push_back("L" + std::to_string(g) + "\tL" + std::to_string(g - 1) + "\tF" +
                         std::to_string(g));
    }
    Veko v(zeilen);
    const int ende = v.nummer("L80");
    EXPECT_EQ(txt(v.veko(ende, v.nummer("L60"))), "1/1048576");  // 2^-20
    ASSERT_FALSE(v.fehler());
    v.veko(ende, 0);
    EXPECT_TRUE(v.fehler());
    // Danach rechnet es wieder richtig.
    EXPECT_EQ(txt(v.veko(ende, v.nummer("L79"))), "1/2");
    EXPECT_FALSE(v.fehler());
}

}  // namespace
