// SPDX-License-Identifier: MIT
// Toene ausgeben: Sinus auf dem ALSA-Geraet, ohne Geraet Warten, oder eine WAV-Datei.
#include <alsa/asoundlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <numbers>
#include <vector>

#include "besitz.h"
#include "plattform.h"

namespace plattform {

namespace {

constexpr int64_t RAMPE = 2 * (TON_RATE / 1000);  // 2 ms ein- und ausblenden
constexpr double PEGEL = 12000;                    // gut ein Drittel des Vollausschlags
constexpr int64_t BLOCK = 4800;                    // Abtastwerte je Schreibvorgang
constexpr uint64_t WAV_KOPF = 44;
// Groesste Datenmenge einer WAV-Datei: RIFF zaehlt in 32 Bit.
constexpr uint64_t WAV_MAX_DATEN = 0xFFFFFFFFull - (WAV_KOPF - 8);

void warten(int ms) {
    if (ms <= 0) return;
    timespec rest{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

void le16(unsigned char* p, uint32_t w) {
    p[0] = static_cast<unsigned char>(w);
    p[1] = static_cast<unsigned char>(w >> 8);
}

void le32(unsigned char* p, uint32_t w) {
    le16(p, w);
    le16(p + 2, w >> 16);
}

// Kopf einer WAV-Datei: PCM, 16 Bit, mono, TON_RATE, daten Bytes Abtastwerte.
void wav_kopf(unsigned char* k, uint32_t daten) {
    std::copy_n("RIFF", 4, k);
    le32(k + 4, static_cast<uint32_t>(WAV_KOPF - 8) + daten);
    std::copy_n("WAVEfmt ", 8, k + 8);
    le32(k + 16, 16);            // Laenge des fmt-Blocks
    le16(k + 20, 1);             // PCM
    le16(k + 22, 1);             // ein Kanal
    le32(k + 24, TON_RATE);
    le32(k + 28, TON_RATE * 2);  // Bytes je Sekunde
    le16(k + 32, 2);             // Bytes je Abtastwert
    le16(k + 34, 16);            // Bits je Abtastwert
    std::copy_n("data", 4, k + 36);
    le32(k + 40, daten);
}

// ALSA meldet Fehler sonst selbst auf stderr; der Aufrufer entscheidet, was er sagt.
void alsa_still(const char*, int, const char*, int, const char*, ...) {}

struct PcmSchliesser {
    void operator()(snd_pcm_t* h) const {
        snd_pcm_close(h);
        snd_config_update_free_global();
    }
};
using Pcm = std::unique_ptr<snd_pcm_t, PcmSchliesser>;

// Das Geraet "default" in 16 Bit mono, oder leer, wenn es keins gibt. Nicht blockierend
// geoeffnet, damit ein belegtes Geraet nicht haengen laesst, dann blockierend geschrieben.
Pcm geraet_oeffnen() {
    snd_lib_error_set_handler(alsa_still);
    snd_pcm_t* h = nullptr;
    if (snd_pcm_open(&h, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        snd_config_update_free_global();
        return nullptr;
    }
    Pcm pcm(h);
    if (snd_pcm_nonblock(h, 0) < 0 ||
        snd_pcm_set_params(h, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, TON_RATE,
                           1, 100000) < 0)
        return nullptr;
    return pcm;
}

}  // namespace

void tonproben(int hz, int ms, int64_t ab, int64_t n, int16_t* aus) {
    const int64_t laenge = tonlaenge(ms);
    const int64_t rampe = std::min(RAMPE, laenge / 4);
    for (int64_t i = ab; i < ab + n; ++i) {
        // Phase ganzzahlig modulo einer Sekunde: bleibt auch in langen Toenen genau.
        const int64_t rest = (static_cast<int64_t>(hz) * i) % TON_RATE;
        const double phase = 2 * std::numbers::pi * static_cast<double>(rest) / TON_RATE;
        double huelle = 1;
        if (rampe > 0) {
            const int64_t rand = std::min(i, laenge - 1 - i);
            if (rand < rampe) huelle = static_cast<double>(rand) / static_cast<double>(rampe);
        }
        aus[i - ab] = static_cast<int16_t>(std::lround(PEGEL * huelle * std::sin(phase)));
    }
}

struct Tonausgabe::Innen {
    // WAV-Datei: Ziel, temporaere Datei daneben, ihr Strom, geschriebene Datenbytes.
    std::string ziel, temp;
    Datei datei;
    uint64_t daten = 0;
    int fehler = 0;
    // Sound-Geraet; leer: warten (oder WAV).
    Pcm pcm;
    std::vector<int16_t> puffer;

    ~Innen() {
        if (!temp.empty()) {
            datei = Datei();
            unlink(temp.c_str());
        }
    }

    void wav_anlegen() {
        std::string muster = ziel + ".XXXXXX";
        const int fd = mkstemp(muster.data());
        if (fd < 0) {
            fehler = errno;
            return;
        }
        temp = muster;
        // mkstemp legt 0600 an; die fertige Datei soll wie jede neue Datei aussehen.
        const mode_t maske = umask(0);
        umask(maske);
        fchmod(fd, 0666 & ~maske);
        datei = Datei(fdopen(fd, "wb"));
        if (!datei) {
            fehler = errno;
            close(fd);
            return;
        }
        unsigned char kopf[WAV_KOPF];
        wav_kopf(kopf, 0);
        if (std::fwrite(kopf, 1, sizeof kopf, datei.get()) != sizeof kopf) fehler = EIO;
    }

    int wav_ton(int hz, int ms) {
        if (fehler) return fehler;
        const int64_t n = tonlaenge(ms);
        if (daten + 2 * static_cast<uint64_t>(n) > WAV_MAX_DATEN) return fehler = EFBIG;
        std::vector<unsigned char> bytes;
        for (int64_t i = 0; i < n; i += BLOCK) {
            const int64_t k = std::min(BLOCK, n - i);
            puffer.resize(static_cast<size_t>(k));
            tonproben(hz, ms, i, k, puffer.data());
            bytes.resize(2 * puffer.size());
            for (size_t j = 0; j < puffer.size(); ++j)
                le16(&bytes[2 * j], static_cast<uint16_t>(puffer[j]));
            if (std::fwrite(bytes.data(), 1, bytes.size(), datei.get()) != bytes.size())
                return fehler = errno ? errno : EIO;
        }
        daten += 2 * static_cast<uint64_t>(n);
        return 0;
    }

    int wav_ende() {
        if (fehler || !datei) return fehler;
        unsigned char kopf[WAV_KOPF];
        wav_kopf(kopf, static_cast<uint32_t>(daten));
        if (std::fseek(datei.get(), 0, SEEK_SET) != 0 ||
            std::fwrite(kopf, 1, sizeof kopf, datei.get()) != sizeof kopf)
            fehler = errno ? errno : EIO;
        const int rc = datei.schliessen();
        if (!fehler) fehler = rc;
        if (!fehler && std::rename(temp.c_str(), ziel.c_str()) != 0) fehler = errno;
        if (!fehler) temp.clear();  // umbenannt: nichts mehr zu entfernen
        return fehler;
    }

    void geraet_ton(int hz, int ms) {
        const int64_t n = tonlaenge(ms);
        for (int64_t i = 0; i < n;) {
            const int64_t k = std::min(BLOCK, n - i);
            puffer.resize(static_cast<size_t>(k));
            tonproben(hz, ms, i, k, puffer.data());
            const int16_t* p = puffer.data();
            snd_pcm_uframes_t offen = static_cast<snd_pcm_uframes_t>(k);
            while (offen > 0) {
                const snd_pcm_sframes_t w = snd_pcm_writei(pcm.get(), p, offen);
                if (w >= 0) {
                    p += w;
                    offen -= static_cast<snd_pcm_uframes_t>(w);
                } else if (w != -EAGAIN && snd_pcm_recover(pcm.get(), static_cast<int>(w), 1) < 0) {
                    // Geraet verloren: der Rest dieses Tons und alle weiteren werden gewartet.
                    pcm.reset();
                    warten(static_cast<int>((n - i - k + static_cast<int64_t>(offen)) /
                                            (TON_RATE / 1000)));
                    return;
                }
            }
            i += k;
        }
    }
};

Tonausgabe::Tonausgabe(const std::string& wav) {
    auto p = std::make_unique<Innen>();
    if (!wav.empty()) {
        p->ziel = wav;
        p->wav_anlegen();
    } else {
        p->pcm = geraet_oeffnen();
    }
    p_ = p.release();
}

Tonausgabe::~Tonausgabe() { delete p_; }

int Tonausgabe::fehler() const { return p_->fehler; }

int Tonausgabe::ton(int hz, int ms) {
    if (!p_->ziel.empty()) return p_->wav_ton(hz, ms);
    if (p_->pcm)
        p_->geraet_ton(hz, ms);
    else
        warten(ms);
    return 0;
}

int Tonausgabe::ende() {
    if (!p_->ziel.empty()) return p_->wav_ende();
    if (p_->pcm) {
        snd_pcm_drain(p_->pcm.get());
        p_->pcm.reset();
    }
    return 0;
}

}  // namespace plattform
