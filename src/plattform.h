// SPDX-License-Identifier: MIT
// Duenne Schicht fuer Aufrufe, die es so nur unter Windows gibt: geschrieben nach dem, was
// die Aufrufer erwarten, mit POSIX darunter. Sonst nichts.
#pragma once
#include <cstdint>
#include <string>

namespace plattform {

// ---- Umgebung, Dateizeiten, Sockets (plattform.cpp)
// ---- Ende Umgebung, Dateizeiten, Sockets

// ---- Ton (plattform_ton.cpp)
// Abtastrate der erzeugten Toene: 48 Abtastwerte je Millisekunde.
constexpr int TON_RATE = 48000;

// Zahl der Abtastwerte eines Tons von ms Millisekunden.
constexpr int64_t tonlaenge(int64_t ms) { return ms * (TON_RATE / 1000); }
// Schreibt die Abtastwerte ab bis ab + n - 1 eines Tons von tonlaenge(ms) Werten nach aus:
// Sinus der Frequenz hz, Phase 0 am Anfang, kurze Rampen an beiden Enden gegen Knacken.
void tonproben(int hz, int ms, int64_t ab, int64_t n, int16_t* aus);

// Spielt Toene nacheinander (Frequenz in Hz, Dauer in ms), je nach Umgebung:
//  - wav nicht leer: sammelt die Toene ohne Warten als WAV-Datei (PCM, 16 Bit, mono) in
//    einer temporaeren Datei neben wav; ende() benennt sie erst dann in wav um;
//  - sonst auf dem ALSA-Geraet "default"; gibt es keins, wartet ton() die Dauer ab.
// Alle Handles gehoeren dem Objekt und werden auf jedem Weg freigegeben; ohne ende()
// bleibt eine begonnene WAV-Datei unvollendet und wird entfernt.
class Tonausgabe {
public:
    explicit Tonausgabe(const std::string& wav);
    ~Tonausgabe();
    Tonausgabe(const Tonausgabe&) = delete;
    Tonausgabe& operator=(const Tonausgabe&) = delete;

    // 0 oder errno, wenn die WAV-Datei nicht angelegt werden konnte.
    int fehler() const;
    // Spielt einen Ton und kehrt nach ihm zurueck; 0 oder errno (nur beim Schreiben der
    // WAV-Datei; EFBIG, wenn sie die 4 GiB des Formats ueberschritte).
    int ton(int hz, int ms);
    // Laesst das Geraet ausspielen bzw. schreibt die WAV-Datei fertig: 0 oder errno.
    int ende();

private:
    struct Innen;
    Innen* p_ = nullptr;
};
// ---- Ende Ton

}  // namespace plattform
