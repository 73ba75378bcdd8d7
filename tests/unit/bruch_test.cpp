// SPDX-License-Identifier: MIT
// Tests fuer Bruch: Normalform, ggt, Text und die zwoelf Operatoren.
#include "bruch.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace {

constexpr long long MIN = LLONG_MIN;
constexpr long long MAX = LLONG_MAX;
constexpr long long HALB = 4611686018427387904LL;  // 2^62

struct KuerzFall {
    long long z, n;      // Eingabe
    long long ez, en;    // erwartete Normalform
};

std::ostream& operator<<(std::ostream& os, const KuerzFall& f) {
    return os << f.z << "/" << f.n << " -> " << f.ez << "/" << f.en;
}

class BruchKuerze : public testing::TestWithParam<KuerzFall> {};

TEST_P(BruchKuerze, liefertDieNormalform) {
    const KuerzFall& f = GetParam();
    Bruch b(f.z, f.n);
    b.kuerze();
    EXPECT_EQ(b.zaehler, f.ez);
    EXPECT_EQ(b.nenner, f.en);
}

INSTANTIATE_TEST_SUITE_P(VorzeichenUndGgt, BruchKuerze, testing::Values(
    KuerzFall{3, 4, 3, 4},
    KuerzFall{6, 8, 3, 4},
    KuerzFall{-6, 8, -3, 4},
    KuerzFall{6, -8, -3, 4},
    KuerzFall{-6, -8, 3, 4},
    KuerzFall{10, 5, 2, 1},
    KuerzFall{-7, -1, 7, 1},
    KuerzFall{MAX, MAX, 1, 1},
    KuerzFall{MAX - 1, 2, MAX / 2, 1}));

INSTANTIATE_TEST_SUITE_P(NullImZaehlerOderNenner, BruchKuerze, testing::Values(
    KuerzFall{0, 0, 0, 1},
    KuerzFall{0, 5, 0, 1},
    KuerzFall{0, -5, 0, 1},
    KuerzFall{5, 0, 1, 0},
    KuerzFall{-5, 0, -1, 0},
    KuerzFall{MIN, 0, -1, 0},
    KuerzFall{MAX, 0, 1, 0}));

// LLONG_MIN: Betrag 2^63 ist nicht darstellbar; darstellbare Normalformen werden
// erreicht, sonst bleibt der durch den ggt geteilte Wert stehen.
INSTANTIATE_TEST_SUITE_P(MitLlongMin, BruchKuerze, testing::Values(
    KuerzFall{MIN, 1, MIN, 1},
    KuerzFall{MIN, 2, -HALB, 1},
    KuerzFall{MIN, -2, HALB, 1},
    KuerzFall{MIN, MIN, 1, 1},
    KuerzFall{MIN, MAX, MIN, MAX},
    KuerzFall{2, MIN, -1, HALB},
    KuerzFall{-2, MIN, 1, HALB},
    KuerzFall{MIN, -1, MIN, -1},
    KuerzFall{1, MIN, 1, MIN},
    KuerzFall{-3, MIN, -3, MIN},
    KuerzFall{MAX, MIN, MAX, MIN},
    KuerzFall{6, MIN, -3, HALB}));

struct GgtFall {
    long long a, b, g;
};

TEST(Bruch, ggtRechnetGroesstenGemeinsamenTeiler) {
    const GgtFall faelle[] = {
        {12, 18, 6}, {18, 12, 6}, {7, 0, 7}, {0, 7, 7}, {0, 0, 0}, {1, 1, 1},
        {17, 5, 1}, {MAX, MAX, MAX}, {MAX, 1, 1}, {HALB, 6, 2}, {1071, 462, 21},
    };
    for (const GgtFall& f : faelle) {
        EXPECT_EQ(Bruch::ggt(f.a, f.b), f.g) << "ggt(" << f.a << ", " << f.b << ")";
    }
}

struct TextFall {
    Bruch b;
    const char* text;
};

TEST(Bruch, textUndSchreibeGebenZaehlerSchraegstrichNenner) {
    const TextFall faelle[] = {
        {Bruch(3, 4), "3/4"},
        {Bruch(-1, 2), "-1/2"},
        {Bruch(5, 1), "5/1"},
        {Bruch(0, 1), "0/1"},
        {Bruch(1, 0), "1/0"},
        {Bruch(MIN, MAX), "-9223372036854775808/9223372036854775807"},
        {Bruch(MIN, MIN), "-9223372036854775808/-9223372036854775808"},
    };
    for (const TextFall& f : faelle) {
        EXPECT_EQ(f.b.text(), f.text);
        std::string s = "x=";
        f.b.schreibe(s);
        EXPECT_EQ(s, std::string("x=") + f.text);
    }
}

TEST(Bruch, standardBruchIstNull) {
    Bruch b;
    EXPECT_EQ(b.text(), "0/1");
}

enum class Op { plus, minus, mal, durch };

// Ein Operatorfall: links/rechts sind Bruch oder ganze Zahl.
struct OpFall {
    const char* name;
    Op op;
    Bruch a;
    Bruch b;
    const char* erwartet;
};

std::ostream& operator<<(std::ostream& os, const OpFall& f) { return os << f.name; }

std::string rechne_bb(Op op, const Bruch& a, const Bruch& b) {
    switch (op) {
    case Op::plus: return (a + b).text();
    case Op::minus: return (a - b).text();
    case Op::mal: return (a * b).text();
    case Op::durch: return (a / b).text();
    }
    return {};
}

std::string rechne_kb(Op op, long long k, const Bruch& b) {
    switch (op) {
    case Op::plus: return (k + b).text();
    case Op::minus: return (k - b).text();
    case Op::mal: return (k * b).text();
    case Op::durch: return (k / b).text();
    }
    return {};
}

std::string rechne_bk(Op op, const Bruch& a, long long k) {
    switch (op) {
    case Op::plus: return (a + k).text();
    case Op::minus: return (a - k).text();
    case Op::mal: return (a * k).text();
    case Op::durch: return (a / k).text();
    }
    return {};
}

class BruchMitBruch : public testing::TestWithParam<OpFall> {};

TEST_P(BruchMitBruch, rechnetUndKuerzt) {
    const OpFall& f = GetParam();
    EXPECT_EQ(rechne_bb(f.op, f.a, f.b), f.erwartet);
}

INSTANTIATE_TEST_SUITE_P(Operatoren, BruchMitBruch, testing::Values(
    OpFall{"halbPlusDrittel", Op::plus, Bruch(1, 2), Bruch(1, 3), "5/6"},
    OpFall{"viertelPlusViertel", Op::plus, Bruch(1, 4), Bruch(1, 4), "1/2"},
    OpFall{"plusNegativ", Op::plus, Bruch(1, 2), Bruch(-3, 4), "-1/4"},
    OpFall{"halbMinusHalb", Op::minus, Bruch(1, 2), Bruch(1, 2), "0/1"},
    OpFall{"drittelMinusHalb", Op::minus, Bruch(1, 3), Bruch(1, 2), "-1/6"},
    OpFall{"malGekuerzt", Op::mal, Bruch(2, 3), Bruch(3, 4), "1/2"},
    OpFall{"malNegativ", Op::mal, Bruch(-2, 3), Bruch(-3, 5), "2/5"},
    OpFall{"durch", Op::durch, Bruch(1, 2), Bruch(3, 4), "2/3"},
    OpFall{"durchNegativ", Op::durch, Bruch(1, 2), Bruch(-1, 4), "-2/1"},
    OpFall{"durchNull", Op::durch, Bruch(1, 2), Bruch(0, 1), "1/0"},
    OpFall{"nullDurchNull", Op::durch, Bruch(0, 1), Bruch(0, 1), "0/1"},
    // ohne Ueberlaufpruefung: Ergebnis wie im 64-Bit-Zweierkomplement
    OpFall{"summeLaeuftUeber", Op::plus, Bruch(MAX, 1), Bruch(1, 1), "-9223372036854775808/1"},
    OpFall{"produktLaeuftUeber", Op::mal, Bruch(HALB, 1), Bruch(4, 1), "0/1"},
    OpFall{"differenzLaeuftUeber", Op::minus, Bruch(MIN, 1), Bruch(1, 1), "9223372036854775807/1"}),
    [](const testing::TestParamInfo<OpFall>& i) { return std::string(i.param.name); });

struct GanzOpFall {
    const char* name;
    Op op;
    long long k;
    Bruch b;
    const char* k_links;   // k op b
    const char* k_rechts;  // b op k
};

std::ostream& operator<<(std::ostream& os, const GanzOpFall& f) { return os << f.name; }

class BruchMitGanzzahl : public testing::TestWithParam<GanzOpFall> {};

TEST_P(BruchMitGanzzahl, rechnetVonLinksUndRechts) {
    const GanzOpFall& f = GetParam();
    EXPECT_EQ(rechne_kb(f.op, f.k, f.b), f.k_links);
    EXPECT_EQ(rechne_bk(f.op, f.b, f.k), f.k_rechts);
}

INSTANTIATE_TEST_SUITE_P(Operatoren, BruchMitGanzzahl, testing::Values(
    GanzOpFall{"plus", Op::plus, 2, Bruch(1, 3), "7/3", "7/3"},
    GanzOpFall{"plusNegativ", Op::plus, -1, Bruch(1, 2), "-1/2", "-1/2"},
    GanzOpFall{"minus", Op::minus, 1, Bruch(1, 3), "2/3", "-2/3"},
    GanzOpFall{"minusGleich", Op::minus, 2, Bruch(4, 2), "0/1", "0/1"},
    GanzOpFall{"mal", Op::mal, 3, Bruch(5, 6), "5/2", "5/2"},
    GanzOpFall{"malNull", Op::mal, 0, Bruch(5, 6), "0/1", "0/1"},
    GanzOpFall{"durch", Op::durch, 3, Bruch(3, 4), "4/1", "1/4"},
    GanzOpFall{"durchNegativ", Op::durch, -2, Bruch(1, 4), "-8/1", "-1/8"},
    GanzOpFall{"durchNull", Op::durch, 0, Bruch(1, 4), "0/1", "1/0"},
    GanzOpFall{"nullBruch", Op::durch, 5, Bruch(0, 1), "1/0", "0/1"},
    GanzOpFall{"malLaeuftUeber", Op::mal, 4, Bruch(HALB, 1), "0/1", "0/1"}),
    [](const testing::TestParamInfo<GanzOpFall>& i) { return std::string(i.param.name); });

TEST(Bruch, operatorenKuerzenMitLlongMinUndEnden) {
    // Muss terminieren und unter UBSan sauber bleiben.
    const Bruch m(MIN, 1);
    EXPECT_EQ((m / Bruch(-1, 1)).text(), "-9223372036854775808/-1");
    EXPECT_EQ((m * Bruch(-1, 1)).text(), "-9223372036854775808/1");
    EXPECT_EQ((m / m).text(), "1/1");
    EXPECT_EQ((Bruch(1, 1) / MIN).text(), "1/-9223372036854775808");
    EXPECT_EQ((Bruch(1, 2) / MIN).text(), "1/0");
    EXPECT_EQ((m - m).text(), "0/1");
    EXPECT_EQ((m + m).text(), "0/1");
}

} // namespace
