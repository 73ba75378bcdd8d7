// SPDX-License-Identifier: MIT
// Tit (Satz ab einem Offset) und Nl (Index, Suche, gleiche Schluessel, 64-Bit-Offsets).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "nl.h"
#include "testhilfe.h"
#include "tit.h"

namespace {

namespace fs = std::filesystem;


TEST(Tit, liestDenBlockBisZurLeerzeile) {
    Ordner o;
    Datei f(o.datei("d", "kopf\neins\r\nzwei\n\ndanach\n").c_str(), "rb");
    Tit t(f.get());
    ASSERT_EQ(t.lesen(5), 0);
    ASSERT_EQ(t.anzahl(), 2u);
    EXPECT_EQ(t.zeile(0), "eins\n");  // CR LF wird "\n"
    EXPECT_EQ(t.zeile(1), "zwei\n");
    EXPECT_EQ(t.laenge(), 10u);
    EXPECT_EQ(t.offset(), 16);  // vor der Leerzeile
    ASSERT_EQ(t.lesen(0, 1), 0);
    EXPECT_EQ(t.anzahl(), 1u);
    EXPECT_EQ(t.zeile(0), "kopf\n");
    EXPECT_EQ(t.offset(), 5);
    ASSERT_EQ(t.lesen(16), 0);  // auf der Leerzeile: nichts
    EXPECT_EQ(t.anzahl(), 0u);
    ASSERT_EQ(t.lesen(17), 0);
    EXPECT_EQ(t.zeile(0), "danach\n");
    EXPECT_EQ(t.lesen(-1), 1);
}

TEST(Nl, gleicheSchluesselDerReiheNach) {
    Ordner o;
    const std::string d = o.datei("d", "A\nB1\nB2\nC\n");
    const std::string x = o.datei("x", "0\ta\n2\tb\n5\tb\n8\tc\n");
    Nl t;
    std::ostringstream fehler;
    ASSERT_EQ(t.init(d, x, fehler), 0) << fehler.str();
    ASSERT_EQ(t.anzahl(), 4u);
    EXPECT_EQ(t.eintrag(2).offset, 5);
    EXPECT_STREQ(t.eintrag(2).schluessel, "b");
    const struct {
        const char* schluessel;
        const char* satz;
    } folge[] = {{"b", "B1\n"}, {"", "B2\n"}, {"", ""}, {"", ""}, {"c", "C\n"}, {"", ""},
                 {"a", "A\n"},  {"", ""},     {"bb", ""}, {"", ""}, {"0", ""}, {"d", ""}};
    for (const auto& f : folge) {
        std::string aus = "alt";
        ASSERT_EQ(t.hole(f.schluessel, aus, fehler), 0);
        EXPECT_EQ(aus, f.satz) << "Schluessel '" << f.schluessel << "'";
    }
    EXPECT_EQ(fehler.str(), "");
}

TEST(Nl, unsortiertOderKaputtWirdBeimOeffnenGemeldet) {
    const char* form = " Zeile 1: erwartet Offset, Tab und Schluessel\n";
    const struct {
        const char* index;
        const char* ort;
        const char* rest;
    } faelle[] = {
        {"0\tb\n0\ta\n", "7", " Zeile 2: nicht nach Schluesseln sortiert\n"},
        {"0\ta\n0\tB\n", "7", " Zeile 2: nicht nach Schluesseln sortiert\n"},  // Bytefolge
        {"0 a\n", "6", form},
        {"\n", "6", form},
        {"-1\ta\n", "6", form},
        {"99999999999999999999\ta\n", "6", form},
    };
    for (const auto& f : faelle) {
        Ordner o;
        const std::string d = o.datei("d", "A\n");
        const std::string x = o.datei("x", f.index);
        Nl t;
        std::ostringstream fehler;
        EXPECT_EQ(t.init(d, x, fehler), 1);
        EXPECT_EQ(fehler.str(), std::string("src/nl") + f.ort + x + f.rest) << f.index;
    }
}

TEST(Nl, offsetJenseits4GiB) {
    Ordner o;
    const std::string d = (o.pfad / "gross").string();
    const int64_t weit = (int64_t{5} << 30) + 7;  // 5 GiB + 7
    {
        const int fd = ::open(d.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string satz = "weit weg\n";
        const bool ok = ::pwrite(fd, satz.data(), satz.size(), static_cast<off_t>(weit)) ==
                        static_cast<ssize_t>(satz.size());
        struct stat st;
        ::fstat(fd, &st);
        ::close(fd);
        if (!ok || st.st_blocks * 512 > (int64_t{1} << 30))
            GTEST_SKIP() << "Dateisystem ohne duenn besetzte Dateien";
    }
    const std::string x = o.datei("x", "0\tnah\n" + std::to_string(weit) + "\tweit\n");
    Nl t;
    std::ostringstream fehler;
    ASSERT_EQ(t.init(d, x, fehler), 0) << fehler.str();
    EXPECT_EQ(t.eintrag(1).offset, weit);
    std::string aus;
    ASSERT_EQ(t.hole("weit", aus, fehler), 0) << fehler.str();
    EXPECT_EQ(aus, "weit weg\n");
}

TEST(Nl, offsetHinterDemEndeWirdGemeldet) {
    Ordner o;
    const std::string d = o.datei("d", "A\n");
    const std::string x = o.datei("x", "2\tam_ende\n3\tdahinter\n");
    Nl t;
    std::ostringstream fehler;
    ASSERT_EQ(t.init(d, x, fehler), 0);
    std::string aus;
    EXPECT_EQ(t.hole("am_ende", aus, fehler), 0);  // am Ende: leerer Satz
    EXPECT_EQ(aus, "");
    EXPECT_EQ(t.hole("dahinter", aus, fehler), 1);
    EXPECT_NE(fehler.str().find("Offset 3 des Schluessels 'dahinter' liegt hinter dem Ende"),
              std::string::npos);
}

}  // namespace
