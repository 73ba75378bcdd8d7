// SPDX-License-Identifier: MIT
// Tests fuer die Textwerkzeuge: Getline, get_backslash, codepos2char, weisse_zeichen.
#include "up.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

namespace {

// Kopie eines Textes in einen Puffer genau passender Groesse, damit ASan jedes
// Lesen hinter dem abschliessenden NUL meldet.
class GenauerText {
public:
    explicit GenauerText(std::string_view s) : daten_(new char[s.size() + 1]) {
        std::memcpy(daten_.get(), s.data(), s.size());
        daten_[s.size()] = '\0';
    }
    const char* c_str() const { return daten_.get(); }

private:
    std::unique_ptr<char[]> daten_;
};

std::string hex(std::string_view s) {
    std::string r;
    char b[4];
    for (unsigned char c : s) {
        std::snprintf(b, sizeof b, "%02X ", c);
        r += b;
    }
    return r;
}

// ---------------------------------------------------------------- Getline

// Temporaere Datei mit gegebenem Inhalt, Position am Anfang.
FILE* datei_mit(std::string_view inhalt) {
    FILE* f = std::tmpfile();
    if (f == nullptr) return nullptr;
    if (!inhalt.empty() && std::fwrite(inhalt.data(), 1, inhalt.size(), f) != inhalt.size()) {
        std::fclose(f);
        return nullptr;
    }
    std::rewind(f);
    return f;
}

struct ZeilenFall {
    const char* name;
    std::string inhalt;
    std::vector<std::string> zeilen;
};

std::ostream& operator<<(std::ostream& os, const ZeilenFall& f) { return os << f.name; }

class GetlineZeilen : public testing::TestWithParam<ZeilenFall> {};

TEST_P(GetlineZeilen, liefertJedeZeileMitGenauEinemZeilenende) {
    const ZeilenFall& f = GetParam();
    FILE* d = datei_mit(f.inhalt);
    ASSERT_NE(d, nullptr);
    std::string zeile;
    for (const std::string& erwartet : f.zeilen) {
        ASSERT_EQ(Getline(d, zeile), 0);
        EXPECT_EQ(zeile, erwartet);
    }
    zeile = "alt";
    EXPECT_EQ(Getline(d, zeile), 1);
    EXPECT_EQ(zeile, "");
    EXPECT_EQ(Getline(d, zeile), 1);  // bleibt am Ende
    std::fclose(d);
}

INSTANTIATE_TEST_SUITE_P(Zeilenenden, GetlineZeilen, testing::Values(
    ZeilenFall{"leereDatei", "", {}},
    ZeilenFall{"lf", "eins\nzwei\n", {"eins\n", "zwei\n"}},
    ZeilenFall{"crlf", "eins\r\nzwei\r\n", {"eins\n", "zwei\n"}},
    ZeilenFall{"gemischt", "a\r\nb\nc\r\n", {"a\n", "b\n", "c\n"}},
    ZeilenFall{"letzteZeileOhneEnde", "eins\nzwei", {"eins\n", "zwei\n"}},
    ZeilenFall{"letzteZeileMitCrOhneLf", "eins\nzwei\r", {"eins\n", "zwei\n"}},
    ZeilenFall{"nurEinCr", "\r", {"\n"}},
    ZeilenFall{"leereZeilen", "\n\r\n\nx\n", {"\n", "\n", "\n", "x\n"}},
    ZeilenFall{"nurEinCrWirdEntfernt", "a\r\r\n", {"a\r\n"}},
    ZeilenFall{"crMittenInDerZeileBleibt", "a\rb\n", {"a\rb\n"}},
    ZeilenFall{"nulBytesBleiben", std::string("a\0b\n", 4), {std::string("a\0b\n", 4)}}),
    [](const testing::TestParamInfo<ZeilenFall>& i) { return std::string(i.param.name); });

TEST(Getline, stehtNachDemAufrufHinterDemZeilenvorschub) {
    FILE* d = datei_mit("ab\r\n\ncde\nf");
    ASSERT_NE(d, nullptr);
    const off_t positionen[] = {4, 5, 9, 10};
    std::string zeile;
    for (off_t p : positionen) {
        ASSERT_EQ(Getline(d, zeile), 0);
        EXPECT_EQ(ftello(d), p) << "nach " << zeile;
    }
    EXPECT_EQ(Getline(d, zeile), 1);
    EXPECT_EQ(ftello(d), 10);
    std::fclose(d);
}

TEST(Getline, liestZeilenLaengerAlsJederPuffer) {
    const std::string lang(1 << 20, 'x');
    const std::string lang2 = lang + "yz";
    FILE* d = datei_mit(lang + "\r\n" + lang2);
    ASSERT_NE(d, nullptr);
    std::string zeile;
    ASSERT_EQ(Getline(d, zeile), 0);
    EXPECT_EQ(zeile, lang + "\n");
    EXPECT_EQ(ftello(d), static_cast<off_t>(lang.size() + 2));
    ASSERT_EQ(Getline(d, zeile), 0);
    EXPECT_EQ(zeile, lang2 + "\n");
    EXPECT_EQ(Getline(d, zeile), 1);
    std::fclose(d);
}

TEST(Getline, arbeitetHinterFuenfGibibyte) {
    const off_t weit = off_t{5} << 30;
    FILE* d = std::tmpfile();
    ASSERT_NE(d, nullptr);
    // Duenn besetzte Datei: nur die letzten Bytes belegen Platz.
    if (fseeko(d, weit, SEEK_SET) != 0 || std::fputs("weit\r\nweg", d) < 0 || std::fflush(d) != 0) {
        std::fclose(d);
        GTEST_SKIP() << "Dateisystem erlaubt keine Datei ueber 5 GiB";
    }
    ASSERT_EQ(fseeko(d, weit, SEEK_SET), 0);
    std::string zeile;
    ASSERT_EQ(Getline(d, zeile), 0);
    EXPECT_EQ(zeile, "weit\n");
    EXPECT_EQ(ftello(d), weit + 6);
    ASSERT_EQ(Getline(d, zeile), 0);
    EXPECT_EQ(zeile, "weg\n");
    EXPECT_EQ(Getline(d, zeile), 1);
    EXPECT_EQ(ftello(d), weit + 9);
    std::fclose(d);
}

// Strom, der erst Daten liefert und dann mit einem Lesefehler endet.
struct FehlerQuelle {
    std::string daten;
    size_t pos = 0;
};

ssize_t lies_mit_fehler(void* cookie, char* buf, size_t n) {
    auto* q = static_cast<FehlerQuelle*>(cookie);
    if (q->pos >= q->daten.size()) {
        errno = EIO;
        return -1;
    }
    size_t k = std::min(n, q->daten.size() - q->pos);
    std::memcpy(buf, q->daten.data() + q->pos, k);
    q->pos += k;
    return static_cast<ssize_t>(k);
}

TEST(Getline, meldetLesefehlerMittenInDerZeile) {
    FehlerQuelle quelle{"eins\nzw", 0};
    cookie_io_functions_t fn{};
    fn.read = lies_mit_fehler;
    FILE* d = fopencookie(&quelle, "r", fn);
    ASSERT_NE(d, nullptr);
    std::string zeile;
    ASSERT_EQ(Getline(d, zeile), 0);
    EXPECT_EQ(zeile, "eins\n");

    testing::internal::CaptureStdout();
    const int rc = Getline(d, zeile);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "NANU Getline\n");
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(zeile, "");
    std::fclose(d);
}

TEST(Getline, meldetLesefehlerAufNichtLesbaremStrom) {
    FILE* d = std::tmpfile();
    ASSERT_NE(d, nullptr);
    FILE* nur_schreiben = fdopen(dup(fileno(d)), "w");
    ASSERT_NE(nur_schreiben, nullptr);
    std::string zeile = "alt";
    testing::internal::CaptureStdout();
    const int rc = Getline(nur_schreiben, zeile);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "NANU Getline\n");
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(zeile, "");
    std::fclose(nur_schreiben);
    std::fclose(d);
}

// ---------------------------------------------------------- get_backslash

struct FolgenFall {
    std::string_view eingabe;  // beginnt mit dem Backslash
    std::string bytes;         // erwartete Ausgabe
    int verbraucht;            // Laenge der Folge samt Backslash
};

std::ostream& operator<<(std::ostream& os, const FolgenFall& f) {
    return os << "\"" << f.eingabe << "\" -> " << hex(f.bytes);
}

class GetBackslash : public testing::TestWithParam<FolgenFall> {};

TEST_P(GetBackslash, schreibtDieBytesUndSetztDenCursorHinterDieFolge) {
    const FolgenFall& f = GetParam();
    GenauerText text(f.eingabe);
    const char* cursor = text.c_str();
    char puffer[8];
    std::memset(puffer, '#', sizeof puffer);
    std::ostringstream fehler;
    const int n = get_backslash(&cursor, puffer, fehler);
    ASSERT_EQ(n, static_cast<int>(f.bytes.size()));
    EXPECT_EQ(hex(std::string_view(puffer, n)), hex(f.bytes));
    EXPECT_EQ(puffer[n], '\0');
    EXPECT_EQ(cursor - text.c_str(), f.verbraucht);
    EXPECT_EQ(fehler.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Buchstabenfolgen, GetBackslash, testing::Values(
    FolgenFall{"\\k", "\\", 2},
    FolgenFall{"\\kk", "\\", 2},
    FolgenFall{"\\n", "\n", 2},
    FolgenFall{"\\r", "\r", 2},
    FolgenFall{"\\t", "\t", 2},
    FolgenFall{"\\s", " ", 2},
    FolgenFall{"\\q", "'", 2},
    FolgenFall{"\\Q", "\"", 2}));

INSTANTIATE_TEST_SUITE_P(Zahlenfolgen, GetBackslash, testing::Values(
    FolgenFall{"\\i01000001", "A", 10},
    FolgenFall{"\\i11111111", "\xFF", 10},
    FolgenFall{"\\i000000001", std::string(1, '\0'), 10},
    FolgenFall{"\\o101", "A", 5},
    FolgenFall{"\\o377", "\xFF", 5},
    FolgenFall{"\\o0007", std::string(1, '\0'), 5},
    FolgenFall{"\\z065", "A", 5},
    FolgenFall{"\\z255", "\xFF", 5},
    FolgenFall{"\\z0009", std::string(1, '\0'), 5},
    FolgenFall{"\\x41", "A", 4},
    FolgenFall{"\\xfF", "\xFF", 4},
    FolgenFall{"\\x414", "A", 4},
    FolgenFall{"\\41", "A", 3},
    FolgenFall{"\\e9", "\xE9", 3},
    FolgenFall{"\\FFz", "\xFF", 3},
    FolgenFall{"\\000", std::string(1, '\0'), 3}));

INSTANTIATE_TEST_SUITE_P(Codepunkte, GetBackslash, testing::Values(
    FolgenFall{"\\[41]", "A", 5},
    FolgenFall{"\\[e9]", "\xC3\xA9", 5},
    FolgenFall{"\\[20AC]x", "\xE2\x82\xAC", 7},
    FolgenFall{"\\[1F600]", "\xF0\x9F\x98\x80", 8},
    FolgenFall{"\\[10FFFF]", "\xF4\x8F\xBF\xBF", 9},
    FolgenFall{"\\[0000041]", "A", 10},
    FolgenFall{"\\u00e9ab", "\xC3\xA9", 6},
    FolgenFall{"\\u0041", "A", 6},
    FolgenFall{"\\uFFFF", "\xEF\xBF\xBF", 6},
    FolgenFall{"\\uD800", "\xED\xA0\x80", 6},
    FolgenFall{"\\U0001F600", "\xF0\x9F\x98\x80", 10},
    FolgenFall{"\\U0010FFFF0", "\xF4\x8F\xBF\xBF", 10},
    FolgenFall{"\\U00000041", "A", 10}));

// Passt keine Regel, gilt das Zeichen nach dem Backslash woertlich.
INSTANTIATE_TEST_SUITE_P(AndereZeichen, GetBackslash, testing::Values(
    FolgenFall{"\\y", "y", 2},
    FolgenFall{"\\\\", "\\", 2},
    FolgenFall{"\\ ", " ", 2},
    FolgenFall{"\\a", "a", 2},
    FolgenFall{"\\4g", "4", 2},
    FolgenFall{"\\\xC3\xA9", "\xC3", 2},
    FolgenFall{"\\[]", "[", 2},
    FolgenFall{"\\[", "[", 2},
    FolgenFall{"\\[41", "[", 2},
    FolgenFall{"\\[4x]", "[", 2},
    FolgenFall{"\\[00000041]", "[", 2},
    FolgenFall{"\\u00e", "u", 2},
    FolgenFall{"\\u", "u", 2},
    FolgenFall{"\\u00g9", "u", 2},
    FolgenFall{"\\U1F600", "U", 2},
    FolgenFall{"\\U0001F60", "U", 2}));

struct FehlerFall {
    std::string_view eingabe;
    const char* meldung;  // ohne "src/up<Stelle>" und Zeilenende
};

std::ostream& operator<<(std::ostream& os, const FehlerFall& f) { return os << "\"" << f.eingabe << "\""; }

const FehlerFall fehlerfaelle[] = {
    {"\\", "backslash am ende"},
    {"\\i", "kein binaerzahlenstring der laenge 8"},
    {"\\i0100000", "kein binaerzahlenstring der laenge 8"},
    {"\\i0100000x1", "kein binaerzahlenstring der laenge 8"},
    {"\\i01000002", "kein binaerzahlenstring der laenge 8"},
    {"\\o", "kein oktalstring"},
    {"\\o12", "kein oktalstring"},
    {"\\o800", "kein oktalstring"},
    {"\\o1a7", "kein oktalstring"},
    {"\\o400", "fehler bei oktalstring"},
    {"\\o777", "fehler bei oktalstring"},
    {"\\z", "kein dezstring"},
    {"\\z25x", "kein dezstring"},
    {"\\z2", "kein dezstring"},
    {"\\z256", "fehler bei dezstring"},
    {"\\z999", "fehler bei dezstring"},
    {"\\x4g", "kein quotzeichen q1, q2"},
    {"\\xg4", "kein quotzeichen q1, q2"},
    {"\\x4", "kein quotzeichen q1, q2"},
    {"\\x", "kein quotzeichen q1, q2"},
    {"\\[110000]", "utf8 fehler"},
    {"\\[FFFFFFF]", "utf8 fehler"},
    {"\\U00110000", "utf8 fehler"},
    {"\\UFFFFFFFF", "utf8 fehler"},
};

const std::regex meldungsform(R"(^src/up([0-9]+)(.*)\n$)");

class GetBackslashFehler : public testing::TestWithParam<FehlerFall> {};

TEST_P(GetBackslashFehler, meldetDenFehlerUndLaesstDenCursorStehen) {
    const FehlerFall& f = GetParam();
    GenauerText text(f.eingabe);
    const char* cursor = text.c_str();
    char puffer[8];
    std::ostringstream fehler;
    EXPECT_EQ(get_backslash(&cursor, puffer, fehler), -1);
    EXPECT_EQ(cursor, text.c_str());
    std::smatch m;
    const std::string s = fehler.str();
    ASSERT_TRUE(std::regex_match(s, m, meldungsform)) << s;
    EXPECT_EQ(m[2].str(), f.meldung);
}

INSTANTIATE_TEST_SUITE_P(AlleMeldungen, GetBackslashFehler, testing::ValuesIn(fehlerfaelle));

TEST(GetBackslash, verwendetJeMeldungEigeneStabileStellennummern) {
    std::map<std::string, std::string> stelle_zu_meldung;
    for (const FehlerFall& f : fehlerfaelle) {
        for (int wiederholung = 0; wiederholung < 2; ++wiederholung) {
            GenauerText text(f.eingabe);
            const char* cursor = text.c_str();
            char puffer[8];
            std::ostringstream fehler;
            get_backslash(&cursor, puffer, fehler);
            std::smatch m;
            const std::string s = fehler.str();
            ASSERT_TRUE(std::regex_match(s, m, meldungsform)) << s;
            auto [it, neu] = stelle_zu_meldung.emplace(m[1].str(), m[2].str());
            EXPECT_EQ(it->second, m[2].str()) << "Stelle " << m[1] << " doppelt belegt";
        }
    }
    // acht verschiedene Meldungstexte, jeder mit mindestens einer eigenen Stelle
    EXPECT_GE(stelle_zu_meldung.size(), 8u);
}

TEST(GetBackslash, zerlegtEinenTextFolgeFuerFolge) {
    GenauerText text("\\k\\n\\u00e9\\41\\[1F600]\\z255");
    const char* cursor = text.c_str();
    std::string ergebnis;
    std::ostringstream fehler;
    while (*cursor != '\0') {
        char puffer[8];
        const int n = get_backslash(&cursor, puffer, fehler);
        ASSERT_GT(n, 0);
        ergebnis.append(puffer, n);
    }
    EXPECT_EQ(hex(ergebnis), hex("\\\n\xC3\xA9" "A\xF0\x9F\x98\x80\xFF"));
    EXPECT_EQ(fehler.str(), "");
}

// ----------------------------------------------------------- codepos2char

struct CodepunktFall {
    std::string_view hex;
    std::string bytes;  // leer: -1 erwartet
};

std::ostream& operator<<(std::ostream& os, const CodepunktFall& f) { return os << "\"" << f.hex << "\""; }

class Codepos2char : public testing::TestWithParam<CodepunktFall> {};

TEST_P(Codepos2char, kodiertAlsUtf8) {
    const CodepunktFall& f = GetParam();
    GenauerText text(f.hex);
    char puffer[8];
    std::memset(puffer, '#', sizeof puffer);
    const int n = codepos2char(text.c_str(), puffer);
    if (f.bytes.empty()) {
        EXPECT_EQ(n, -1);
        EXPECT_EQ(std::string_view(puffer, sizeof puffer), std::string(sizeof puffer, '#'));
        return;
    }
    ASSERT_EQ(n, static_cast<int>(f.bytes.size()));
    EXPECT_EQ(hex(std::string_view(puffer, n)), hex(f.bytes));
    // NUL hinter 1 bis 3 Bytes; bei 4 Bytes nichts dahinter
    EXPECT_EQ(puffer[n], n < 4 ? '\0' : '#');
}

INSTANTIATE_TEST_SUITE_P(Bereiche, Codepos2char, testing::Values(
    CodepunktFall{"0", std::string(1, '\0')},
    CodepunktFall{"", std::string(1, '\0')},
    CodepunktFall{"41", "A"},
    CodepunktFall{"7f", "\x7F"},
    CodepunktFall{"80", "\xC2\x80"},
    CodepunktFall{"e9", "\xC3\xA9"},
    CodepunktFall{"7FF", "\xDF\xBF"},
    CodepunktFall{"800", "\xE0\xA0\x80"},
    CodepunktFall{"20AC", "\xE2\x82\xAC"},
    CodepunktFall{"D800", "\xED\xA0\x80"},
    CodepunktFall{"DFFF", "\xED\xBF\xBF"},
    CodepunktFall{"FFFF", "\xEF\xBF\xBF"},
    CodepunktFall{"10000", "\xF0\x90\x80\x80"},
    CodepunktFall{"1F600", "\xF0\x9F\x98\x80"},
    CodepunktFall{"10FFFF", "\xF4\x8F\xBF\xBF"},
    CodepunktFall{"110000", ""},
    CodepunktFall{"FFFFFFFF", ""},
    CodepunktFall{"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", ""},
    CodepunktFall{"1000000000000041", ""},
    CodepunktFall{"0000000000000000000041", "A"},
    CodepunktFall{"e9]", "\xC3\xA9"},
    CodepunktFall{"41g1", "A"},
    CodepunktFall{"g41", std::string(1, '\0')}));

// --------------------------------------------------------- weisse_zeichen

struct LeerFall {
    std::string_view text;
    int rc;
    int cursor;  // Position nach dem Aufruf
};

std::ostream& operator<<(std::ostream& os, const LeerFall& f) { return os << "\"" << f.text << "\""; }

class WeisseZeichen : public testing::TestWithParam<LeerFall> {};

TEST_P(WeisseZeichen, ueberspringtLeerraumUndKommentare) {
    const LeerFall& f = GetParam();
    GenauerText text(f.text);
    const char* cursor = text.c_str();
    EXPECT_EQ(weisse_zeichen(&cursor), f.rc);
    EXPECT_EQ(cursor - text.c_str(), f.cursor);
}

INSTANTIATE_TEST_SUITE_P(Leerraum, WeisseZeichen, testing::Values(
    LeerFall{"", 0, 0},
    LeerFall{"x", 0, 0},
    LeerFall{" \t\r\nx", 0, 4},
    LeerFall{"   ", 0, 3},
    LeerFall{"\fx", 0, 0},
    LeerFall{"\vx", 0, 0}));

INSTANTIATE_TEST_SUITE_P(Kommentare, WeisseZeichen, testing::Values(
    LeerFall{"// kommentar\nx", 0, 13},
    LeerFall{"// bis zum ende", 0, 15},
    LeerFall{"//\n//\n  x", 0, 8},
    LeerFall{"/* block */x", 0, 11},
    LeerFall{"/**/x", 0, 4},
    LeerFall{"/***/x", 0, 5},
    LeerFall{"/* a // b */x", 0, 12},
    LeerFall{"// a /* b\nx", 0, 10},
    LeerFall{" /* a\n b */ // c\n\t/**/ y", 0, 23},
    LeerFall{"/* a */", 0, 7},
    LeerFall{"/x", 0, 0},
    LeerFall{"  /", 0, 2},
    LeerFall{"  / * x", 0, 2},
    LeerFall{"x /* */", 0, 0}));

INSTANTIATE_TEST_SUITE_P(OffenerBlock, WeisseZeichen, testing::Values(
    LeerFall{"/* offen", 1, 0},
    LeerFall{"  /* offen", 1, 0},
    LeerFall{"/*/", 1, 0},
    LeerFall{"/*", 1, 0},
    LeerFall{"/* a * /", 1, 0},
    LeerFall{"// a\n/* b */ /* c", 1, 0}));

} // namespace
