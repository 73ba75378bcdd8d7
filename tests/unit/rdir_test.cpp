// SPDX-License-Identifier: MIT
// Rdir (Eintraege, Groesse, Zeittext) und sommer_up (Zeiten verschieben, Links, Fehler).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "orvu.h"
#include "plattform.h"
#include "rdir.h"
#include "testhilfe.h"

namespace {

namespace fs = std::filesystem;


struct stat lstatus(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(lstat(p.c_str(), &st), 0) << p;
    return st;
}

struct NormFall {
    const char* ctime;
    const char* erwartet;
};

class RdirNorm : public ::testing::TestWithParam<NormFall> {};

TEST_P(RdirNorm, machtDenDatumstext) {
    std::string s = "alt";
    Rdir::norm(GetParam().ctime, s);
    EXPECT_EQ(s, GetParam().erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Texte, RdirNorm,
    ::testing::Values(NormFall{"Thu Mar  5 14:02:11 2020\n", "2020-03-5 14:02:11"},
                      NormFall{"Sun Dec 31 23:59:59 1995\n", "1995-12-31 23:59:59"},
                      NormFall{"Mon Jan 12 00:00:00 2004\n", "2004-01-12 00:00:00"},
                      NormFall{"Mon Xyz 12 00:00:00 2004\n", "2004-99-12 00:00:00"},
                      NormFall{"", "-99- "}));

// Alle Eintraege eines Lesers: Pfad -> Art.
std::map<std::string, int> alle(Rdir& r) {
    std::map<std::string, int> m;
    while (r.read() != 0) m[r.eintrag] = r.art;
    return m;
}

TEST(Rdir, liestArtPfadGroesseUndZeit) {
    setenv("TZ", "UTC", 1);
    tzset();
    Ordner o;
    const fs::path a = o.datei("a", "12345");
    o.datei("s/b");
    symlink("a", (o.pfad / "l").c_str());
    symlink("fehlt", (o.pfad / "kaputt").c_str());
    ASSERT_EQ(plattform::utime_(a.c_str(), 1583416931, 1583416931), 0);
    Rdir r(o.pfad.string());
    ASSERT_TRUE(r.offen());
    EXPECT_EQ(r.pfad, o.pfad.string() + "/");
    std::map<std::string, int> m;
    while (r.read() != 0) {
        m[r.eintrag] = r.art;
        if (r.eintrag == r.pfad + "a") {
            EXPECT_EQ(r.groesse, 5);
            EXPECT_EQ(r.zeit, "2020-03-5 14:02:11");
        }
    }
    const std::string p = r.pfad;
    EXPECT_EQ(m, (std::map<std::string, int>{{p + ".", 2}, {p + "..", 2}, {p + "a", 1},
                                              {p + "s", 2}, {p + "l", 1}, {p + "kaputt", 3}}));
    const std::string letzt = r.eintrag;
    EXPECT_EQ(r.read(), 0);
    EXPECT_EQ(r.art, 0);
    EXPECT_EQ(r.eintrag, letzt);
    EXPECT_EQ(r.close(), 0);
    EXPECT_EQ(r.read(), 0);  // geschlossen: bleibt am Ende
}

TEST(Rdir, rueckstrichBleibtAmEnde) {
    Ordner o;
    o.datei("b\\/x");  // Verzeichnis mit dem Namen "b\"
    Rdir r((o.pfad / "b\\").string());
    ASSERT_TRUE(r.offen());
    EXPECT_EQ(alle(r).count((o.pfad / "b\\x").string()), 1u);
}

TEST(Rdir, leererPfadIstDieWurzel) {
    Rdir r("");
    EXPECT_EQ(r.pfad, "/");
    EXPECT_TRUE(r.offen());
}

TEST(Rdir, fehlendesVerzeichnisIstNichtOffen) {
    Rdir r("/nicht/da/verzeichnis");
    EXPECT_FALSE(r.offen());
    EXPECT_EQ(r.read(), 0);
}

TEST(Rdir, groesseUeber4GiB) {
    Ordner o;
    const fs::path g = o.pfad / "gross";
    const int fd = ::open(g.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const off_t n = (off_t{5} << 30) + 3;
    const bool ok = ftruncate(fd, n) == 0;
    ::close(fd);
    if (!ok) GTEST_SKIP() << "Dateisystem ohne duenn besetzte Dateien";
    Rdir r(o.pfad.string());
    int64_t gefunden = -1;
    while (r.read() != 0)
        if (r.eintrag == r.pfad + "gross") gefunden = r.groesse;
    EXPECT_EQ(gefunden, static_cast<int64_t>(n));
}

// Ein Interpreter, dessen Meldungen der Test liest.
struct Interpreter {
    std::ostringstream fehler;
    Orvu o;
    Interpreter() { o.fehler = &fehler; }
};

TEST(Sommer, verschiebtAenderungszeitenUndLaesstZugriffszeiten) {
    Ordner o;
    const fs::path dateien[] = {o.datei("a"), o.datei("s/b"), o.datei("s/t/c")};
    for (const fs::path& p : dateien)
        ASSERT_EQ(plattform::utime_(p.c_str(), 2000000, 1000000, 123456789, 5), 0);
    Interpreter l;
    int64_t n = 0;
    EXPECT_EQ(l.o.sommer_up(o.pfad.string(), -3600, n), 0);
    EXPECT_EQ(n, 3);
    for (const fs::path& p : dateien) {
        const struct stat st = lstatus(p);
        EXPECT_EQ(st.st_mtim.tv_sec, 1000000 - 3600) << p;
        EXPECT_EQ(st.st_mtim.tv_nsec, 5) << p;
        EXPECT_EQ(st.st_atim.tv_sec, 2000000) << p;
        EXPECT_EQ(st.st_atim.tv_nsec, 123456789) << p;
    }
    EXPECT_EQ(l.fehler.str(), "");
}

TEST(Sommer, folgtKeinenLinksAuchKeinemKreis) {
    Ordner o;
    const fs::path a = o.datei("d/a");
    const fs::path aussen = o.datei("aussen");
    ASSERT_EQ(plattform::utime_(a.c_str(), 0, 1000000), 0);
    ASSERT_EQ(plattform::utime_(aussen.c_str(), 0, 1000000), 0);
    ASSERT_EQ(symlink("..", (o.pfad / "d/kreis").c_str()), 0);       // zurueck nach oben
    ASSERT_EQ(symlink("../aussen", (o.pfad / "d/l").c_str()), 0);    // Datei ausserhalb
    Interpreter l;
    int64_t n = 0;
    EXPECT_EQ(l.o.sommer_up((o.pfad / "d").string(), 60, n), 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(lstatus(a).st_mtime, 1000060);
    EXPECT_EQ(lstatus(aussen).st_mtime, 1000000);
}

TEST(Sommer, fehlendesVerzeichnis) {
    Interpreter l;
    int64_t n = 0;
    EXPECT_EQ(l.o.sommer_up("/nicht/da/verzeichnis", 60, n), 1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(l.fehler.str(), "");
}

TEST(Sommer, meldetDateienDerenZeitBleibt) {
    Ordner o;
    const fs::path fest = o.datei("fest");
    const fs::path frei = o.datei("frei");
    ASSERT_EQ(plattform::utime_(fest.c_str(), 0, 1000000), 0);
    // Unveraenderlich machen geht nur mit Rechten und auf manchen Dateisystemen.
    const int fd = ::open(fest.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    const bool gesetzt = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                         (flags |= FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!gesetzt) {
        ::close(fd);
        GTEST_SKIP() << "keine unveraenderlichen Dateien hier";
    }
    Interpreter l;
    int64_t n = 0;
    const int rc = l.o.sommer_up(o.pfad.string(), 60, n);
    flags &= ~FS_IMMUTABLE_FL;
    ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(lstatus(fest).st_mtime, 1000000);
    EXPECT_NE(l.fehler.str().find("src/orvu1531 sommer: Zeit von " + fest.string() +
                                  " nicht geaendert: "),
              std::string::npos)
        << l.fehler.str();
}

}  // namespace
