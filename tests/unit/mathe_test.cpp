// SPDX-License-Identifier: MIT
// Mathematik gegen unabhaengige Rechnungen: bino gegen das Pascalsche Dreieck in 64 Bit,
// Potenzen gegen 128-Bit-Arithmetik.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "sandkasten.h"

namespace {

struct Ergebnis {
    int status;
    std::vector<std::string> zeilen;
    std::string fehler;
};

Ergebnis lauf(const std::string& programm) {
    std::ostringstream aus, fehler;
    const int status = sandkasten_lauf(programm, nullptr, aus, fehler, 10000000, size_t{1} << 24);
    Ergebnis e{status, {}, fehler.str()};
    std::istringstream z(aus.str());
    for (std::string s; std::getline(z, s);) e.zeilen.push_back(s);
    return e;
}

std::string als_text(int64_t z) { return std::to_string(z); }
int64_t als_signed(uint64_t u) { return static_cast<int64_t>(u); }

// Die Rekursion C(n,k) = C(n-1,k-1) + C(n-1,k) mit Summen modulo 2^64, Zeile fuer Zeile.
TEST(Bino, gleichtDerRekursionIn64Bit) {
    constexpr int N = 140;
    const Ergebnis e = lauf("for (n = 0; n <= " + std::to_string(N) +
                            "; n++) for (k = -1; k <= n + 1; k++) $ = n bino k, \"\\n\";");
    ASSERT_EQ(e.status, 0) << e.fehler;
    std::vector<uint64_t> zeile{1};
    size_t i = 0;
    for (int n = 0; n <= N; ++n) {
        if (n > 0) {
            std::vector<uint64_t> neu(static_cast<size_t>(n) + 1, 1);
            for (int k = 1; k < n; ++k) neu[k] = zeile[k - 1] + zeile[k];
            zeile = neu;
        }
        for (int k = -1; k <= n + 1; ++k, ++i) {
            ASSERT_LT(i, e.zeilen.size());
            const int64_t soll = k < 0 || k > n ? 0 : als_signed(zeile[static_cast<size_t>(k)]);
            EXPECT_EQ(e.zeilen[i], als_text(soll)) << n << " bino " << k;
        }
    }
    EXPECT_EQ(i, e.zeilen.size());
}

// Grosse n und k: die Pascal-Regel, die Symmetrie und C(n,1), C(n,2) muessen gelten.
struct GrossesBino {
    int64_t n, k;
};
class BinoGross : public testing::TestWithParam<GrossesBino> {};

TEST_P(BinoGross, erfuelltPascalRegelUndSymmetrie) {
    const auto [n, k] = GetParam();
    const std::string N = std::to_string(n), K = std::to_string(k);
    const Ergebnis e = lauf("n = " + N + "; k = " + K +
                            "; $ = n bino k, \"\\n\", (n - 1) bino (k - 1), \"\\n\", "
                            "(n - 1) bino k, \"\\n\", n bino (n - k), \"\\n\", n bino 1, \"\\n\", "
                            "n bino 2, \"\\n\";");
    ASSERT_EQ(e.status, 0) << e.fehler;
    ASSERT_EQ(e.zeilen.size(), 6u);
    // Werte modulo 2^64
    auto u = [](const std::string& s) { return static_cast<uint64_t>(std::stoll(s)); };
    EXPECT_EQ(u(e.zeilen[0]), u(e.zeilen[1]) + u(e.zeilen[2])) << N << " bino " << K;
    EXPECT_EQ(e.zeilen[0], e.zeilen[3]);
    EXPECT_EQ(e.zeilen[4], N);
    const unsigned __int128 n2 = static_cast<unsigned __int128>(n) * static_cast<uint64_t>(n - 1) / 2;
    EXPECT_EQ(u(e.zeilen[5]), static_cast<uint64_t>(n2));
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, BinoGross,
    testing::Values(GrossesBino{1000000000000000000, 500000000000000000},
                    GrossesBino{4611686018427387904, 2305843009213693952},
                    GrossesBino{9223372036854775807, 4611686018427387903},
                    GrossesBino{123456789012345, 9876543210},
                    GrossesBino{100003, 4097}, GrossesBino{65536, 32768},
                    GrossesBino{8589934591, 4294967295}),
    [](const testing::TestParamInfo<GrossesBino>& i) {
        return std::to_string(i.param.n) + "_" + std::to_string(i.param.k);
    });

// b ** e fuer kleine Basen und alle Exponenten bis 70: exakt, wo es in 64 Bit passt,
// sonst die Ueberlaufmeldung und LLONG_MAX.
TEST(Potenz, istExaktOderMeldetUeberlauf) {
    const Ergebnis e =
        lauf("for (b = -12; b <= 12; b++) for (e = 1; e <= 70; e++) $ = b ** e, \"\\n\";");
    ASSERT_EQ(e.status, 0) << e.fehler;
    size_t i = 0, ueberlaeufe = 0;
    for (int b = -12; b <= 12; ++b) {
        __int128 p = 1;
        bool passt = true;
        for (int ex = 1; ex <= 70; ++ex, ++i) {
            if (passt) p *= b;  // nach dem ersten Ueberlauf nicht weiter (128 Bit reichen)
            if (p > INT64_MAX || p < INT64_MIN) passt = false;
            ASSERT_LT(i, e.zeilen.size());
            const std::string soll = passt ? als_text(static_cast<int64_t>(p)) : als_text(INT64_MAX);
            EXPECT_EQ(e.zeilen[i], soll) << b << " ** " << ex;
            if (!passt) {
                ++ueberlaeufe;
                EXPECT_NE(e.fehler.find(" UEBERLAUF BEI HOCH " + std::to_string(b) + " ** " +
                                        std::to_string(ex) + "\n"),
                          std::string::npos)
                    << b << " ** " << ex;
            }
        }
    }
    size_t meldungen = 0;
    for (size_t pos = 0; (pos = e.fehler.find("UEBERLAUF BEI HOCH", pos)) != std::string::npos; ++pos)
        ++meldungen;
    EXPECT_EQ(meldungen, ueberlaeufe);
}

}  // namespace
