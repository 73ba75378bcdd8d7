// SPDX-License-Identifier: MIT
// Tests fuer das Vektorregister und die Grenzen des Interpreters.
#include "vektorregister.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grenzen.h"

namespace {

// Zaehlt lebende Objekte, damit ein Test sieht, wann freigegeben wird.
struct Zaehler {
    static inline int leben = 0;
    Zaehler() { ++leben; }
    ~Zaehler() { --leben; }
};
using ZVektor = std::vector<Zaehler>;

struct ZVektorMitEins : ZVektor {
    ZVektorMitEins() : ZVektor(1) {}
};

TEST(Vektorregister, gibtFreiWasEsAnlegtUndNichtsDoppelt) {
    {
        Vektorregister reg;
        auto* a = reg.anlegen<ZVektorMitEins>();
        auto* b = reg.anlegen<ZVektorMitEins>();
        EXPECT_EQ(Zaehler::leben, 2);
        auto* kopie = a;
        reg.freigeben(a);
        EXPECT_EQ(a, nullptr);
        EXPECT_EQ(Zaehler::leben, 1);
        reg.freigeben(kopie);  // schon frei: nichts geschieht
        EXPECT_EQ(Zaehler::leben, 1);
        ZVektorMitEins fremd;  // nie angelegt: wird nicht freigegeben
        auto* f = &fremd;
        reg.freigeben(f);
        EXPECT_EQ(f, nullptr);
        EXPECT_EQ(Zaehler::leben, 2);
        (void)b;
    }
    EXPECT_EQ(Zaehler::leben, 0);  // der Rest mit dem Register
}

TEST(Vektorregister, vorgemerktErstNachDemAeusserstenHandler) {
    Vektorregister reg;
    auto* v = reg.anlegen<ZVektorMitEins>();
    reg.handler_beginnt();
    reg.handler_beginnt();
    reg.vormerken(v);
    reg.vormerken(v);  // zweimal vorgemerkt, einmal frei
    reg.handler_endet();
    EXPECT_EQ(Zaehler::leben, 1) << "ein Handler laeuft noch";
    reg.handler_endet();
    EXPECT_EQ(Zaehler::leben, 0);
    auto* w = v;
    reg.freigeben(w);  // schon frei: nichts geschieht
    EXPECT_EQ(Zaehler::leben, 0);
}

TEST(Grenzen, pruefenLaengeSpeicherBudgetUndStapel) {
    Grenzen g;
    g.max_laenge = 100;
    EXPECT_FALSE(g.zu_lang(100));
    EXPECT_TRUE(g.zu_lang(101));
    EXPECT_TRUE(g.speicher_reicht(25, 4));
    EXPECT_FALSE(g.speicher_reicht(26, 4));
    g.max_laenge = SIZE_MAX;
    EXPECT_FALSE(g.speicher_reicht(UINT64_MAX / 2, 2)) << "mehr als der physische Speicher";
    g.schritte = 2;
    EXPECT_FALSE(g.budget_zu_ende());
    EXPECT_TRUE(g.budget_zu_ende());
    g.stapel_grenze = 1000;
    g.stapel_ab(5000);
    EXPECT_EQ(g.stapel_ende, 4000u);
    g.stapel_ab(500);
    EXPECT_EQ(g.stapel_ende, 0u) << "ohne Pruefung statt Unterlauf";
}

}  // namespace
