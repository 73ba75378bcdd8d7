// SPDX-License-Identifier: MIT
// HTTPS-Client: Name aufloesen (IPv4 und IPv6), verbinden mit Zeitlimit, TLS mit SNI,
// Zertifikat und Rechnername gegen den Vertrauensspeicher des Systems pruefen, eine
// Anfrage senden, die Antwort bis zum Ende der Verbindung sammeln.
#include "geturl.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "besitz.h"
#include "plattform.h"

namespace {

struct CtxFrei {
    void operator()(SSL_CTX* c) const { SSL_CTX_free(c); }
};
struct SslFrei {
    void operator()(SSL* s) const { SSL_free(s); }
};
struct AdressenFrei {
    void operator()(addrinfo* a) const { freeaddrinfo(a); }
};
using CtxBesitz = std::unique_ptr<SSL_CTX, CtxFrei>;
using SslBesitz = std::unique_ptr<SSL, SslFrei>;
using AdressenBesitz = std::unique_ptr<addrinfo, AdressenFrei>;

// Host-Teil der URL in Name und Port.
struct Ziel {
    std::string name;
    std::string port = "443";
    bool ip = false;  // name ist eine IPv4- oder IPv6-Adresse
};

constexpr size_t MAX_URL = 65536;  // laengere Anfragezeilen nimmt kein Server an

bool nur_ziffern(const std::string& s) {
    if (s.empty() || s.size() > 5) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    const long p = std::strtol(s.c_str(), nullptr, 10);
    return p >= 1 && p <= 65535;
}

// Zerlegt host in Name und Port; false, wenn kein gueltiger Rechnername darin steht.
bool ziel_lesen(const std::string& host, Ziel& z) {
    if (!host.empty() && host[0] == '[') {
        const size_t zu = host.find(']');
        if (zu == std::string::npos) return false;
        z.name = host.substr(1, zu - 1);
        const std::string rest = host.substr(zu + 1);
        if (!rest.empty()) {
            if (rest[0] != ':' || !nur_ziffern(rest.substr(1))) return false;
            z.port = rest.substr(1);
        }
        in6_addr a6;
        z.ip = true;
        return inet_pton(AF_INET6, z.name.c_str(), &a6) == 1;
    }
    z.name = host;
    const size_t dp = host.rfind(':');
    if (dp != std::string::npos && host.find(':') == dp && nur_ziffern(host.substr(dp + 1))) {
        z.name = host.substr(0, dp);
        z.port = host.substr(dp + 1);
    }
    if (z.name.empty()) return false;
    for (char c : z.name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != '-' && c != '.' && c != '_') return false;
    }
    in_addr a4;
    z.ip = inet_pton(AF_INET, z.name.c_str(), &a4) == 1;
    return true;
}

bool hat_steuerzeichen(const std::string& s) {
    for (char c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) return true;
    }
    return false;
}

std::string sekunden(int ms) {
    char puf[32];
    std::snprintf(puf, sizeof puf, "%g s", ms / 1000.0);
    return puf;
}

// Verbindet s mit a, hoechstens ms Millisekunden lang; 0 oder errno (ETIMEDOUT).
int verbinden(int s, const addrinfo* a, int ms) {
    const int flags = fcntl(s, F_GETFL);
    if (flags < 0 || fcntl(s, F_SETFL, flags | O_NONBLOCK) < 0) return errno;
    int rc = 0;
    if (connect(s, a->ai_addr, a->ai_addrlen) != 0) {
        if (errno != EINPROGRESS) return errno;
        pollfd p{s, POLLOUT, 0};
        int n;
        do n = poll(&p, 1, ms);
        while (n < 0 && errno == EINTR);
        if (n < 0) return errno;
        if (n == 0) return ETIMEDOUT;
        socklen_t l = sizeof rc;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, &rc, &l) != 0) return errno;
        if (rc != 0) return rc;
    }
    if (fcntl(s, F_SETFL, flags) < 0) return errno;
    return 0;
}

void lesezeit_setzen(int s, int ms) {
    timeval tv{ms / 1000, static_cast<suseconds_t>((ms % 1000) * 1000)};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

// Text des ersten Fehlers der OpenSSL-Fehlerliste, sonst ersatz.
std::string ssl_grund(const char* ersatz) {
    const unsigned long e = ERR_get_error();
    if (!e) return ersatz;
    char puf[256];
    ERR_error_string_n(e, puf, sizeof puf);
    return puf;
}

bool beginnt_ohne_fall(const std::string& s, size_t i, const char* p) {
    for (size_t k = 0; p[k]; ++k)
        if (i + k >= s.size() ||
            std::tolower(static_cast<unsigned char>(s[i + k])) != static_cast<unsigned char>(p[k]))
            return false;
    return true;
}

// Endet die Antwort dort, wo ihr eigener Rahmen (Content-Length, chunked) es sagt? Nur fuer
// Verbindungen, die ohne TLS-Abschluss endeten: sonst ist ein abgeschnittener Rest nicht
// von einer ganzen Antwort zu unterscheiden.
bool vollstaendig(const std::string& a) {
    const size_t kopfende = a.find("\r\n\r\n");
    if (kopfende == std::string::npos) return false;
    const size_t rumpf = kopfende + 4;
    // Statuscode: "HTTP/x.y NNN"
    const size_t blank = a.find(' ');
    if (blank != std::string::npos && blank < kopfende) {
        const int code = std::atoi(a.c_str() + blank + 1);
        if ((code >= 100 && code < 200) || code == 204 || code == 304) return true;
    }
    bool chunked = false;
    long long laenge = -1;
    for (size_t i = a.find('\n'); i != std::string::npos && i + 1 < kopfende; i = a.find('\n', i + 1)) {
        const size_t z = i + 1;
        if (beginnt_ohne_fall(a, z, "content-length:"))
            laenge = std::atoll(a.c_str() + z + 15);
        else if (beginnt_ohne_fall(a, z, "transfer-encoding:")) {
            const size_t e = a.find('\r', z);
            for (size_t k = z; k + 7 <= e; ++k)
                if (beginnt_ohne_fall(a, k, "chunked")) chunked = true;
        }
    }
    if (chunked) {
        size_t p = rumpf;
        for (;;) {
            const size_t e = a.find("\r\n", p);
            if (e == std::string::npos) return false;
            char* ende = nullptr;
            const unsigned long long n = std::strtoull(a.c_str() + p, &ende, 16);
            if (ende == a.c_str() + p) return false;
            if (n == 0) return a.compare(e + 2, 2, "\r\n") == 0 ||
                               a.find("\r\n\r\n", e) != std::string::npos;
            if (n > a.size() - (e + 2)) return false;
            p = e + 2 + n;
            if (a.compare(p, 2, "\r\n") != 0) return false;
            p += 2;
        }
    }
    if (laenge >= 0) return a.size() - rumpf >= static_cast<unsigned long long>(laenge);
    return false;
}

}  // namespace

void Geturl::zeiten_aus_umgebung() {
    const char* w = std::getenv("ORVU_URL_WARTEN");
    if (!w || !*w) return;
    char* ende = nullptr;
    const double s = std::strtod(w, &ende);
    if (*ende || !(s > 0) || s > 3600) return;
    const int ms = static_cast<int>(s * 1000 + 0.5);
    verbinden_ms = lesen_ms = ms > 0 ? ms : 1;
}

int Geturl::holen(const std::string& url, std::string& antwort, std::ostream& fehler) {
    antwort.clear();
    const size_t strich = url.find('/');
    const std::string host = url.substr(0, strich);
    const std::string site = strich == std::string::npos ? "" : url.substr(strich + 1);
    std::fprintf(ausgabe, "host: %s\n", host.c_str());
    std::fprintf(ausgabe, "site: %s\n", site.c_str());
    if (hat_steuerzeichen(url)) {
        fehler << "Steuerzeichen in der URL\n";
        return 1;
    }
    if (url.size() > MAX_URL) {
        fehler << "URL zu lang: " << url.size() << " > " << MAX_URL << " Bytes\n";
        return 1;
    }
    const std::string anfrage =
        "GET /" + site + " HTTP/1.1\nHost: " + host + "\nconnection: close\n\n";

    plattform::Sockets sockets;
    if (sockets.status()) {
        fehler << "error bei WSAStartup()\n";
        return 1;
    }
    Ziel ziel;
    addrinfo* roh = nullptr;
    addrinfo hinweis{};
    hinweis.ai_family = AF_UNSPEC;
    hinweis.ai_socktype = SOCK_STREAM;
    hinweis.ai_flags = AI_NUMERICSERV;
    if (!ziel_lesen(host, ziel) ||
        getaddrinfo(ziel.name.c_str(), ziel.port.c_str(), &hinweis, &roh) != 0 || !roh) {
        fehler << "error bei gethostbyname: " << host << "\n";
        return 1;
    }
    AdressenBesitz adressen(roh);

    // Jede Adresse der Reihe nach, bis eine Verbindung steht.
    Sockel sock;
    bool ein_socket = false;
    int grund = 0;
    for (const addrinfo* a = adressen.get(); a; a = a->ai_next) {
        Sockel s(socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol));
        if (!s) {
            grund = errno;
            continue;
        }
        ein_socket = true;
        grund = verbinden(s.get(), a, verbinden_ms);
        if (grund == 0) {
            sock = std::move(s);
            break;
        }
    }
    if (!ein_socket) {
        fehler << "Error bei creating socket\n";
        return 1;
    }
    if (!sock) {
        fehler << "Error bei connecting to server\n";
        fehler << ziel.name << " Port " << ziel.port << ": "
               << (grund == ETIMEDOUT ? "Zeitlimit " + sekunden(verbinden_ms) + " erreicht"
                                      : std::string(std::strerror(grund)))
               << "\n";
        return 1;
    }
    lesezeit_setzen(sock.get(), lesen_ms);

    OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr);
    ERR_clear_error();
    CtxBesitz ctx(SSL_CTX_new(TLS_client_method()));
    SslBesitz ssl;
    if (ctx) {
        SSL_CTX_set_min_proto_version(ctx.get(), TLS1_2_VERSION);
        SSL_CTX_set_default_verify_paths(ctx.get());  // SSL_CERT_FILE, SSL_CERT_DIR, System
        SSL_CTX_set_verify(ctx.get(), SSL_VERIFY_PEER, nullptr);
        ssl.reset(SSL_new(ctx.get()));
    }
    if (!ssl) {
        std::fputs("Error SSL_new(ctx)\n", ausgabe);
        return 1;
    }
    // Der Rechnername geht als SNI mit und muss im Zertifikat stehen (eine Adresse als IP).
    const bool gesetzt =
        ziel.ip ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl.get()), ziel.name.c_str()) == 1
                : SSL_set_tlsext_host_name(ssl.get(), ziel.name.c_str()) == 1 &&
                      SSL_set1_host(ssl.get(), ziel.name.c_str()) == 1;
    if (!gesetzt || SSL_set_fd(ssl.get(), sock.get()) != 1) {
        fehler << "TLS-Einstellung gescheitert: " << ssl_grund("unbekannt") << "\n";
        return 1;
    }
    errno = 0;
    const int rc = SSL_connect(ssl.get());
    if (rc <= 0) {
        const int art = SSL_get_error(ssl.get(), rc);
        const long pruefung = SSL_get_verify_result(ssl.get());
        std::fputs("Error SSL_connect(ssl)\n", ausgabe);
        if (pruefung != X509_V_OK)
            fehler << "Zertifikat abgelehnt: " << X509_verify_cert_error_string(pruefung) << "\n";
        else if (art == SSL_ERROR_WANT_READ || art == SSL_ERROR_WANT_WRITE || errno == EAGAIN)
            fehler << "Zeitlimit " << sekunden(lesen_ms) << ": der Server antwortet nicht\n";
        else
            fehler << "TLS-Verbindung gescheitert: " << ssl_grund("Verbindung beendet") << "\n";
        return 1;
    }

    const int geschrieben = SSL_write(ssl.get(), anfrage.data(), static_cast<int>(anfrage.size()));
    if (geschrieben != static_cast<int>(anfrage.size())) {
        fehler << "Anfrage nicht gesendet: " << ssl_grund("Verbindung beendet") << "\n";
        return 1;
    }

    std::string gesammelt;
    char puf[10000];
    bool abgeschlossen = false;  // der Server beendete mit TLS-Abschluss (close_notify)
    for (;;) {
        errno = 0;
        const int n = SSL_read(ssl.get(), puf, sizeof puf);
        if (n > 0) {
            const size_t neu = gesammelt.size() + static_cast<size_t>(n);
            if (passt && !passt(neu)) {
                fehler << "Antwort zu gross fuer die Speichergrenze: mehr als "
                       << gesammelt.size() << " Bytes\n";
                return 1;
            }
            gesammelt.append(puf, static_cast<size_t>(n));
            continue;
        }
        const int art = SSL_get_error(ssl.get(), n);
        if (art == SSL_ERROR_ZERO_RETURN) {
            abgeschlossen = true;
            break;
        }
        if (art == SSL_ERROR_WANT_READ || art == SSL_ERROR_WANT_WRITE ||
            (art == SSL_ERROR_SYSCALL && errno == EAGAIN)) {
            fehler << "Zeitlimit " << sekunden(lesen_ms) << ": keine Daten vom Server\n";
            return 1;
        }
        const unsigned long e = ERR_peek_error();
        const bool eof = (art == SSL_ERROR_SYSCALL && errno == 0) ||
                         (art == SSL_ERROR_SSL && ERR_GET_REASON(e) == SSL_R_UNEXPECTED_EOF_WHILE_READING);
        if (!eof) {
            fehler << "Lesefehler: " << ssl_grund(std::strerror(errno)) << "\n";
            return 1;
        }
        ERR_clear_error();
        break;
    }
    if (gesammelt.empty()) {
        fehler << "Der Server schloss die Verbindung ohne Antwort\n";
        return 1;
    }
    if (!abgeschlossen && !vollstaendig(gesammelt)) {
        fehler << "Verbindung vorzeitig beendet: Antwort unvollstaendig (" << gesammelt.size()
               << " Bytes)\n";
        return 1;
    }
    antwort = std::move(gesammelt);
    return 0;
}

int geturl(const std::string& url, std::string& antwort, std::ostream& fehler) {
    Geturl g;
    g.zeiten_aus_umgebung();
    return g.holen(url, antwort, fehler);
}
