// SPDX-License-Identifier: MIT
// HTTPS-Client der Downloads: ein GET je Aufruf, Antwort roh und ganz, Zertifikat geprueft.
#pragma once
#include <cstddef>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>

class Geturl {
public:
    // Zeitlimits: Verbindungsaufbau, und jedes Warten auf Daten (Handshake, Antwort).
    static constexpr int VERBINDEN_MS = 10000;
    static constexpr int LESEN_MS = 30000;
    int verbinden_ms = VERBINDEN_MS;
    int lesen_ms = LESEN_MS;
    // Nimmt die Zeitlimits aus ORVU_URL_WARTEN (Sekunden, auch mit Bruchteil, hoechstens
    // 3600), wenn die Variable gesetzt und gueltig ist; sie gilt dann fuer beide.
    void zeiten_aus_umgebung();
    // Fragt vor jedem Wachsen der Antwort, ob n Bytes noch erlaubt sind; leer: immer.
    std::function<bool(size_t)> passt;
    // Kanal der Meldungen "host:", "site:" und der Fehler von SSL_new und SSL_connect.
    FILE* ausgabe = stdout;

    // url: host oder host/site, host auch mit ":port" (sonst 443), IPv6 in [ ].
    // Bei Erfolg 0 und antwort = die empfangenen Bytes (Statuszeile, Kopf, Rumpf, roh);
    // sonst nicht 0, die Gruende stehen in fehler (ohne Modulpraefix), antwort bleibt leer.
    int holen(const std::string& url, std::string& antwort, std::ostream& fehler);
};

// Ein Download mit den Zeitlimits aus der Umgebung: wie Geturl::holen.
int geturl(const std::string& url, std::string& antwort, std::ostream& fehler);
