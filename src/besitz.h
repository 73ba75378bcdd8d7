// SPDX-License-Identifier: MIT
// Besitzer fuer Betriebssystem-Handles: nur verschiebbar, der Destruktor schliesst still,
// schliessen() schliesst ausdruecklich und meldet, ob alles geschrieben wurde.
#pragma once
#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

// Ein FILE*. schliessen() liefert 0 oder errno (auch, wenn schon ein Schreiben scheiterte).
class Datei {
public:
    Datei() = default;
    explicit Datei(FILE* f) : f_(f) {}
    Datei(const char* pfad, const char* modus) : f_(std::fopen(pfad, modus)) {}
    Datei(Datei&& o) noexcept : f_(std::exchange(o.f_, nullptr)) {}
    Datei& operator=(Datei&& o) noexcept {
        if (this != &o) {
            zu_still();
            f_ = std::exchange(o.f_, nullptr);
        }
        return *this;
    }
    Datei(const Datei&) = delete;
    Datei& operator=(const Datei&) = delete;
    ~Datei() { zu_still(); }

    explicit operator bool() const { return f_ != nullptr; }
    FILE* get() const { return f_; }
    // Gibt den Strom ab, ohne zu schliessen.
    FILE* loslassen() { return std::exchange(f_, nullptr); }
    // Schreibt alles hinaus und schliesst: 0 oder der Fehlercode (errno).
    int schliessen() {
        if (!f_) return 0;
        const bool kaputt = std::ferror(f_) != 0;
        errno = 0;
        const int rc = std::fclose(std::exchange(f_, nullptr));
        if (rc != 0) return errno ? errno : EIO;
        return kaputt ? EIO : 0;
    }

private:
    void zu_still() {
        if (f_) std::fclose(std::exchange(f_, nullptr));
    }
    FILE* f_ = nullptr;
};

// Ein DIR*.
class Verzeichnis {
public:
    Verzeichnis() = default;
    explicit Verzeichnis(const char* pfad) : d_(opendir(pfad)) {}
    Verzeichnis(Verzeichnis&& o) noexcept : d_(std::exchange(o.d_, nullptr)) {}
    Verzeichnis& operator=(Verzeichnis&& o) noexcept {
        if (this != &o) {
            schliessen();
            d_ = std::exchange(o.d_, nullptr);
        }
        return *this;
    }
    Verzeichnis(const Verzeichnis&) = delete;
    Verzeichnis& operator=(const Verzeichnis&) = delete;
    ~Verzeichnis() { schliessen(); }

    explicit operator bool() const { return d_ != nullptr; }
    DIR* get() const { return d_; }
    int schliessen() {
        if (!d_) return 0;
        return closedir(std::exchange(d_, nullptr)) == 0 ? 0 : errno;
    }

private:
    DIR* d_ = nullptr;
};

// Ein Dateideskriptor (Socket, Pipe).
class Sockel {
public:
    Sockel() = default;
    explicit Sockel(int fd) : fd_(fd) {}
    Sockel(Sockel&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    Sockel& operator=(Sockel&& o) noexcept {
        if (this != &o) {
            schliessen();
            fd_ = std::exchange(o.fd_, -1);
        }
        return *this;
    }
    Sockel(const Sockel&) = delete;
    Sockel& operator=(const Sockel&) = delete;
    ~Sockel() { schliessen(); }

    explicit operator bool() const { return fd_ >= 0; }
    int get() const { return fd_; }
    int schliessen() {
        if (fd_ < 0) return 0;
        return ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno;
    }

private:
    int fd_ = -1;
};
