// SPDX-License-Identifier: MIT
// paket: baut das Debian-Paket mit cpack, prueft seine Dateien und startet das gepackte orvu.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Shell nur hier: die Befehle sind fest, die Pfade stammen aus mkdtemp und CMake.
struct Ausgabe {
    int status;
    std::string text;
};

Ausgabe befehl(const std::string& cmd) {
    Ausgabe a{-1, ""};
    FILE* p = ::popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return a;
    std::array<char, 4096> puf;
    size_t n;
    while ((n = std::fread(puf.data(), 1, puf.size(), p)) > 0) a.text.append(puf.data(), n);
    int st = ::pclose(p);
    a.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return a;
}

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

struct TempDir {
    fs::path pfad;
    TempDir() {
        std::string muster = (fs::temp_directory_path() / "orvu-paket-XXXXXX").string();
        if (::mkdtemp(muster.data())) pfad = muster;
    }
    ~TempDir() {
        std::error_code ec;
        if (!pfad.empty()) fs::remove_all(pfad, ec);
    }
};

TEST(Paket, enthaeltProgrammHandbuchBeispieleUndLaeuft) {
    TempDir tmp;
    ASSERT_FALSE(tmp.pfad.empty());
    Ausgabe bau = befehl(std::string(ORVU_CPACK) + " -G DEB --config " + ORVU_CPACK_KONFIG +
                         " -B " + q(tmp.pfad / "bau"));
    ASSERT_EQ(bau.status, 0) << bau.text;

    fs::path deb;
    for (const auto& e : fs::directory_iterator(tmp.pfad / "bau"))
        if (e.path().extension() == ".deb") deb = e.path();
    ASSERT_FALSE(deb.empty()) << "kein .deb erzeugt:\n" << bau.text;
    EXPECT_NE(deb.filename().string().find(ORVU_VERSION), std::string::npos) << deb;

    Ausgabe liste = befehl("dpkg-deb -c " + q(deb));
    ASSERT_EQ(liste.status, 0) << liste.text;
    for (const char* datei : {"./usr/bin/orvu", "./usr/share/man/man1/orvu.1",
                              "./usr/share/doc/orvu/README.md", "./usr/share/doc/orvu/LICENSE",
                              "./usr/share/doc/orvu/CHANGELOG.md", "./usr/share/doc/orvu/reference.md",
                              "./usr/share/doc/orvu/examples/README.md",
                              "./usr/share/bash-completion/completions/orvu"})
        EXPECT_NE(liste.text.find(std::string(datei)), std::string::npos)
            << datei << " fehlt im Paket:\n" << liste.text;

    // Abhaengigkeiten kommen aus dpkg-shlibdeps: mindestens die C-Bibliothek.
    Ausgabe abh = befehl("dpkg-deb -f " + q(deb) + " Depends");
    ASSERT_EQ(abh.status, 0) << abh.text;
    EXPECT_NE(abh.text.find("libc6"), std::string::npos) << abh.text;

    fs::path wurzel = tmp.pfad / "wurzel";
    Ausgabe aus = befehl("dpkg-deb -x " + q(deb) + " " + q(wurzel));
    ASSERT_EQ(aus.status, 0) << aus.text;
    Ausgabe v = befehl(q(wurzel / "usr/bin/orvu") + " --version");
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.text, std::string("orvu ") + ORVU_VERSION + "\n");
}

}  // namespace
