// SPDX-License-Identifier: MIT
// doku: haelt Dokumentation, Beispiele und Builtin-Tabelle zusammen.
//
// 1. Jeder Name der Builtin-Tabelle steht in Backticks in einer "### "-Ueberschrift
//    einer Datei doc/builtins/*.md.
// 2. Beispiele in doc/**/*.md und README.md: ein Codeblock mit der Info "orvu", dem
//    (nur durch Leerzeilen getrennt) ein Block "output" folgt, wird als
//        orvu '<programm>'
//    in einem leeren temporaeren Verzeichnis mit TZ=UTC ausgefuehrt; die Standardausgabe
//    muss genau der output-Block sein, der Status 0. Ein Programm darf nicht mit "//"
//    beginnen (die Kommandozeile endet an so einem Argument).
//    Zusaetze, beide freiwillig:
//    - steht direkt vor dem orvu-Block ein Block "input", wird er als Datei "ein"
//      angelegt und der Lauf ist  orvu ein '' '<programm>';
//    - folgt dem output-Block direkt ein Block "stderr" (Info "stderr" oder
//      "stderr status=N"), muss die Fehlerausgabe genau so lauten und der Status N
//      sein (ohne Angabe 0). Ohne stderr-Block wird die Fehlerausgabe nicht verglichen.
// 3. examples/NAME.orvu laeuft in einer temporaeren Kopie von examples/:
//    - gibt es NAME.io:  orvu io=NAME.io sf=NAME.orvu, danach muss NAME.io gleich
//      NAME.aus sein (Umschreiben an Ort und Stelle);
//    - sonst gibt es NAME.ein:  orvu NAME.ein '' sf=NAME.orvu;
//    - sonst:  orvu sf=NAME.orvu.
//    Die Standardausgabe muss gleich NAME.aus sein (bei NAME.io leer), der Status 0.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvu_tabelle.h"

namespace fs = std::filesystem;

namespace {

std::string quelle() {
    const char* q = std::getenv("ORVU_QUELLE");
    return q ? q : ORVU_QUELLE;
}
std::string binaer() {
    const char* b = std::getenv("ORVU_BIN");
    return b ? b : ORVU_BIN;
}

std::string lies(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void schreibe(const fs::path& p, const std::string& inhalt) {
    std::ofstream f(p, std::ios::binary);
    f << inhalt;
}

struct Ergebnis {
    int status = -1;  // -1: Signal oder nicht gestartet
    std::string aus, fehler;
};

// Fuehrt argv im Verzeichnis dir mit TZ=UTC aus, ohne Shell, Standardeingabe /dev/null.
// Haengt ein Lauf, wird er nach 60 s beendet (Schutz, keine Zeitmessung).
Ergebnis ausfuehren(const std::vector<std::string>& argv, const fs::path& dir) {
    Ergebnis e;
    int po[2], pe[2];
    if (::pipe(po) != 0 || ::pipe(pe) != 0) {
        e.fehler = std::string("pipe: ") + std::strerror(errno);
        return e;
    }
    std::vector<char*> av;
    for (const std::string& a : argv) av.push_back(const_cast<char*>(a.c_str()));
    av.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(po[1], 1);
        ::dup2(pe[1], 2);
        int n = ::open("/dev/null", O_RDONLY);
        ::dup2(n, 0);
        ::close(po[0]);
        ::close(pe[0]);
        if (::chdir(dir.c_str()) != 0) ::_exit(126);
        ::setenv("TZ", "UTC", 1);
        ::execv(av[0], av.data());
        ::_exit(127);
    }
    ::close(po[1]);
    ::close(pe[1]);
    if (pid < 0) {
        ::close(po[0]);
        ::close(pe[0]);
        e.fehler = std::string("fork: ") + std::strerror(errno);
        return e;
    }
    pollfd p[2] = {{po[0], POLLIN, 0}, {pe[0], POLLIN, 0}};
    int offen = 2;
    bool getoetet = false;
    while (offen > 0) {
        int r = ::poll(p, 2, 60000);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            ::kill(pid, SIGKILL);
            getoetet = true;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (p[i].fd < 0 || !(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char puf[65536];
            ssize_t n = ::read(p[i].fd, puf, sizeof puf);
            if (n > 0) {
                (i == 0 ? e.aus : e.fehler).append(puf, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(p[i].fd);
                p[i].fd = -1;
                --offen;
            }
        }
    }
    for (pollfd& q : p)
        if (q.fd >= 0) ::close(q.fd);
    int st = 0;
    while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
    }
    if (!getoetet && WIFEXITED(st)) e.status = WEXITSTATUS(st);
    if (getoetet) e.fehler += "\n(nach 60 s beendet)";
    return e;
}

// Leeres temporaeres Verzeichnis, am Ende geloescht.
struct TempDir {
    fs::path pfad;
    TempDir() {
        std::string muster = (fs::temp_directory_path() / "orvu-doku-XXXXXX").string();
        if (::mkdtemp(muster.data())) pfad = muster;
    }
    ~TempDir() {
        std::error_code ec;
        if (!pfad.empty()) fs::remove_all(pfad, ec);
    }
};

// ---------------------------------------------------------------- Markdown

struct Block {
    std::string info;    // erstes Wort der Info-Zeile
    std::string zusatz;  // Rest der Info-Zeile
    std::string inhalt;  // Zeilen mit je "\n"
    int zeile;           // Zeile der oeffnenden Zaunmarke (ab 1)
    bool direkt;         // nur Leerzeilen zwischen dem vorigen Block und diesem
};

std::vector<Block> bloecke(const std::string& text) {
    std::vector<Block> b;
    std::istringstream in(text);
    std::string z;
    int nr = 0;
    bool im_block = false, nur_leer = false;
    Block akt;
    while (std::getline(in, z)) {
        ++nr;
        std::string t = z;
        t.erase(0, t.find_first_not_of(' '));
        if (!im_block) {
            if (t.starts_with("```")) {
                std::string info = t.substr(3);
                size_t l = info.find(' ');
                akt = Block{info.substr(0, l), l == std::string::npos ? "" : info.substr(l + 1),
                            "", nr, nur_leer && !b.empty()};
                im_block = true;
            } else if (!t.empty()) {
                nur_leer = false;
            }
        } else if (t == "```") {
            b.push_back(akt);
            im_block = false;
            nur_leer = true;
        } else {
            akt.inhalt += z + "\n";
        }
    }
    return b;
}

std::vector<fs::path> doku_dateien() {
    std::vector<fs::path> d;
    fs::path wurzel = quelle();
    if (fs::exists(wurzel / "README.md")) d.push_back(wurzel / "README.md");
    if (fs::exists(wurzel / "doc"))
        for (const auto& e : fs::recursive_directory_iterator(wurzel / "doc"))
            if (e.is_regular_file() && e.path().extension() == ".md") d.push_back(e.path());
    std::sort(d.begin(), d.end());
    return d;
}

struct Beispiel {
    std::string datei;  // relativ zur Quelle
    int zeile;
    std::string eingabe;
    bool mit_eingabe = false;
    std::string programm, ausgabe;
    bool mit_fehler = false;
    std::string fehler;
    int status = 0;
};

void PrintTo(const Beispiel& b, std::ostream* os) { *os << b.datei << ":" << b.zeile; }

std::vector<Beispiel> doku_beispiele() {
    std::vector<Beispiel> alle;
    for (const fs::path& p : doku_dateien()) {
        std::vector<Block> b = bloecke(lies(p));
        for (size_t i = 0; i + 1 < b.size(); ++i) {
            if (b[i].info != "orvu" || b[i + 1].info != "output" || !b[i + 1].direkt) continue;
            Beispiel x;
            x.datei = fs::relative(p, quelle()).string();
            x.zeile = b[i].zeile;
            x.programm = b[i].inhalt;
            x.ausgabe = b[i + 1].inhalt;
            if (i > 0 && b[i - 1].info == "input" && b[i].direkt) {
                x.mit_eingabe = true;
                x.eingabe = b[i - 1].inhalt;
            }
            if (i + 2 < b.size() && b[i + 2].info == "stderr" && b[i + 2].direkt) {
                x.mit_fehler = true;
                x.fehler = b[i + 2].inhalt;
                if (b[i + 2].zusatz.starts_with("status="))
                    x.status = std::atoi(b[i + 2].zusatz.c_str() + 7);
            }
            alle.push_back(x);
        }
    }
    return alle;
}

std::string testname(std::string s) {
    for (char& c : s)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return s;
}

// ---------------------------------------------------------------- 1. Abdeckung

TEST(Referenz, nenntJedenBuiltinDerTabelle) {
    std::set<std::string> dokumentiert;
    fs::path dir = fs::path(quelle()) / "doc" / "builtins";
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() != ".md") continue;
        std::istringstream in(lies(e.path()));
        std::string z;
        while (std::getline(in, z)) {
            if (!z.starts_with("### ")) continue;
            for (size_t a = z.find('`'); a != std::string::npos; a = z.find('`', a)) {
                size_t b = z.find('`', a + 1);
                if (b == std::string::npos) break;
                dokumentiert.insert(z.substr(a + 1, b - a - 1));
                a = b + 1;
            }
        }
    }
    std::string fehlen;
    for (const BuiltinName& b : builtin_tabelle())
        if (!dokumentiert.count(std::string(b.name))) fehlen += " " + std::string(b.name);
    EXPECT_TRUE(fehlen.empty()) << "ohne Eintrag in doc/builtins/*.md:" << fehlen;
}

// Die Handbuchseite nennt jeden Builtin der Tabelle (als ganzes Wort) und setzt ohne
// Warnung.
TEST(Handbuch, nenntJedenBuiltinDerTabelle) {
    const std::string seite = lies(fs::path(quelle()) / "doc" / "orvu.1");
    ASSERT_FALSE(seite.empty());
    auto wortzeichen = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    std::string fehlen;
    for (const BuiltinName& b : builtin_tabelle()) {
        const std::string n(b.name);
        bool da = false;
        for (size_t p = seite.find(n); p != std::string::npos && !da; p = seite.find(n, p + 1))
            da = (p == 0 || !wortzeichen(seite[p - 1])) &&
                 (p + n.size() >= seite.size() || !wortzeichen(seite[p + n.size()]));
        if (!da) fehlen += " " + n;
    }
    EXPECT_TRUE(fehlen.empty()) << "fehlt in doc/orvu.1:" << fehlen;
}

TEST(Handbuch, setztOhneWarnung) {
    if (!fs::exists("/usr/bin/groff")) GTEST_SKIP() << "groff fehlt";
    Ergebnis e = ausfuehren({"/usr/bin/groff", "-t", "-man", "-Tutf8", "-ww", "-z",
                             (fs::path(quelle()) / "doc" / "orvu.1").string()},
                            fs::temp_directory_path());
    EXPECT_EQ(e.status, 0);
    EXPECT_EQ(e.fehler, "");
}

// ---------------------------------------------------------------- 2. Beispiele der Doku

class DokuBeispiel : public testing::TestWithParam<Beispiel> {};

TEST_P(DokuBeispiel, gibtDieGezeigteAusgabe) {
    const Beispiel& x = GetParam();
    SCOPED_TRACE(x.datei + ":" + std::to_string(x.zeile));
    TempDir tmp;
    ASSERT_FALSE(tmp.pfad.empty());
    std::vector<std::string> argv{binaer()};
    if (x.mit_eingabe) {
        schreibe(tmp.pfad / "ein", x.eingabe);
        argv.push_back("ein");
        argv.push_back("");
    }
    argv.push_back(x.programm);
    Ergebnis e = ausfuehren(argv, tmp.pfad);
    EXPECT_EQ(e.status, x.status) << "stderr:\n" << e.fehler;
    EXPECT_EQ(e.aus, x.ausgabe) << "Programm:\n" << x.programm;
    if (x.mit_fehler) {
        EXPECT_EQ(e.fehler, x.fehler);
    }
}

INSTANTIATE_TEST_SUITE_P(Doku, DokuBeispiel, testing::ValuesIn(doku_beispiele()),
                         [](const testing::TestParamInfo<Beispiel>& i) {
                             return testname(i.param.datei + "_" + std::to_string(i.param.zeile));
                         });

TEST(Doku, enthaeltBeispiele) {
    // Schuetzt davor, dass ein kaputter Blockleser alle Beispiele stillschweigend verliert.
    bool readme = false, referenz = false;
    for (const Beispiel& b : doku_beispiele()) {
        readme = readme || b.datei == "README.md";
        referenz = referenz || b.datei.starts_with("doc/builtins/");
    }
    EXPECT_TRUE(readme);
    EXPECT_TRUE(referenz);
}

TEST(Blockleser, verbindetNurDirektFolgendeBloecke) {
    std::vector<Block> b = bloecke(
        "```orvu\n$=1;\n```\n\n```output\n1\n```\ntext\n```output\n2\n```\n");
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].inhalt, "$=1;\n");
    EXPECT_TRUE(b[1].direkt);
    EXPECT_EQ(b[1].inhalt, "1\n");
    EXPECT_FALSE(b[2].direkt);
}

// ---------------------------------------------------------------- 3. examples/

std::vector<std::string> beispiel_namen() {
    std::vector<std::string> n;
    fs::path dir = fs::path(quelle()) / "examples";
    if (fs::is_directory(dir))
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".orvu") n.push_back(e.path().stem().string());
    std::sort(n.begin(), n.end());
    return n;
}

class Beispielprogramm : public testing::TestWithParam<std::string> {};

TEST_P(Beispielprogramm, gibtSeineAusgabe) {
    const std::string& name = GetParam();
    TempDir tmp;
    ASSERT_FALSE(tmp.pfad.empty());
    fs::copy(fs::path(quelle()) / "examples", tmp.pfad, fs::copy_options::recursive);
    const fs::path aus = tmp.pfad / (name + ".aus");
    ASSERT_TRUE(fs::exists(aus)) << name << ".aus fehlt";
    std::vector<std::string> argv{binaer()};
    const bool an_ort = fs::exists(tmp.pfad / (name + ".io"));
    if (an_ort) {
        argv.push_back("io=" + name + ".io");
    } else if (fs::exists(tmp.pfad / (name + ".ein"))) {
        argv.push_back(name + ".ein");
        argv.push_back("");
    }
    argv.push_back("sf=" + name + ".orvu");
    Ergebnis e = ausfuehren(argv, tmp.pfad);
    EXPECT_EQ(e.status, 0) << "stderr:\n" << e.fehler;
    if (an_ort) {
        EXPECT_EQ(e.aus, "");
        EXPECT_EQ(lies(tmp.pfad / (name + ".io")), lies(aus));
    } else {
        EXPECT_EQ(e.aus, lies(aus));
    }
    // Die erste Zeile sagt, was das Programm tut.
    EXPECT_TRUE(lies(tmp.pfad / (name + ".orvu")).starts_with("//"));
}

INSTANTIATE_TEST_SUITE_P(Beispiele, Beispielprogramm, testing::ValuesIn(beispiel_namen()),
                         [](const testing::TestParamInfo<std::string>& i) {
                             return testname(i.param);
                         });

// ---------------------------------------------------------------- Skript mit #!

// Ein ausfuehrbares Steuerprogramm, dessen erste Zeile auf das gebaute orvu zeigt, laeuft
// direkt (der Programmlader ruft "orvu -f skript ein").
TEST(Skript, laeuftUeberDieErsteZeile) {
    TempDir tmp;
    ASSERT_FALSE(tmp.pfad.empty());
    fs::path skript = tmp.pfad / "zaehle";
    schreibe(skript, "#!" + binaer() + " -f\n$=ZNR,\" \",&;\n");
    fs::permissions(skript, fs::perms::owner_all);
    schreibe(tmp.pfad / "ein", "a\nb\n");
    Ergebnis e = ausfuehren({skript.string(), "ein"}, tmp.pfad);
    EXPECT_EQ(e.status, 0) << e.fehler;
    EXPECT_EQ(e.aus, "0 a\n1 b\n");
    EXPECT_EQ(e.fehler, "2 Zeilen bearbeitet\n\n");
}

}  // namespace
