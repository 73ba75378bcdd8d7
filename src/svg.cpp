// SPDX-License-Identifier: MIT
// Zahlformate, Bogen-Flag, XML-Maskierung und das Ersetzen einer Datei fuer SVG-Dokumente.
#include "svg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "besitz.h"

namespace svg {

void f(std::string& s, double x) {
    char puffer[400];  // reicht fuer jede endliche double mit einer Nachkommastelle
    auto [ende, ec] = std::to_chars(puffer, puffer + sizeof puffer, x, std::chars_format::fixed, 1);
    if (ec == std::errc()) s.append(puffer, ende);
}

std::string f(double x) {
    std::string s;
    f(s, x);
    return s;
}

void g(std::string& s, double x) {
    char puffer[32];
    int n = std::snprintf(puffer, sizeof puffer, "%g", x);
    if (n > 0) s.append(puffer, static_cast<size_t>(n));
}

namespace {
// Umfang eines Bogens auf [0, 2 pi).
double umfang(double d) {
    double u = std::fmod(d, ZWEI_PI);
    if (u < 0) u += ZWEI_PI;
    return u;
}
}  // namespace

int grosser_bogen(double a1, double a2) { return umfang(a2 - a1) > PI ? 1 : 0; }

int grosser_bogen_drehung(double phi) { return umfang(std::fabs(phi)) > PI ? 1 : 0; }

void xml(std::string& s, std::string_view t) {
    for (char c : t) {
        switch (c) {
        case '<': s += "&lt;"; break;
        case '&': s += "&amp;"; break;
        case '\'': s += "&apos;"; break;
        case '"': s += "&quot;"; break;
        case '\t': case '\n': case '\r': s += c; break;
        default:
            // Steuerzeichen kann XML 1.0 nicht tragen, auch nicht als Referenz.
            if (static_cast<unsigned char>(c) < 0x20) s += "\xEF\xBF\xBD";
            else s += c;
        }
    }
}

namespace {
int schreiben(Datei& d, const std::string& inhalt, int& fehlernr) {
    if (!inhalt.empty() && std::fwrite(inhalt.data(), 1, inhalt.size(), d.get()) != inhalt.size()) {
        fehlernr = errno ? errno : EIO;
        return 2;
    }
    fehlernr = d.schliessen();
    return fehlernr ? 2 : 0;
}

// Rechte der neuen Datei: die der alten, sonst wie fopen sie anlegen wuerde.
mode_t rechte(const struct stat* alt) {
    if (alt) return alt->st_mode & 07777;
    mode_t maske = umask(0);
    umask(maske);
    return 0666 & ~maske;
}
}  // namespace

int datei_ersetzen(const std::string& pfad, const std::string& inhalt, int& fehlernr) {
    fehlernr = 0;
    struct stat st;
    const bool da = stat(pfad.c_str(), &st) == 0;
    if (da && !S_ISREG(st.st_mode)) {
        Datei d(pfad.c_str(), "wb");
        if (!d) {
            fehlernr = errno;
            return 1;
        }
        return schreiben(d, inhalt, fehlernr);
    }
    std::string muster = pfad + ".tmpXXXXXX";
    std::vector<char> name(muster.begin(), muster.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        fehlernr = errno;
        return 1;
    }
    fchmod(fd, rechte(da ? &st : nullptr));
    Datei d(fdopen(fd, "wb"));
    if (!d) {
        fehlernr = errno;
        ::close(fd);
        unlink(name.data());
        return 1;
    }
    int rc = schreiben(d, inhalt, fehlernr);
    if (rc == 0 && std::rename(name.data(), pfad.c_str()) != 0) {
        fehlernr = errno;
        rc = 2;
    }
    if (rc) unlink(name.data());
    return rc;
}

}  // namespace svg
