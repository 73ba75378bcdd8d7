// SPDX-License-Identifier: MIT
// Gepufferter Leser: findet Zeilenenden mit memchr im Block, zaehlt die Position in 64 Bit.
#include "leser.h"

#include <cstring>
#include <sys/types.h>

#include "besitz.h"

namespace {
constexpr size_t BLOCK = 1 << 18;
}

int datei_lesen(const char* pfad, std::string& inhalt) {
    Datei f(pfad, "rb");
    if (!f) return 1;
    inhalt.clear();
    char puf[65536];
    size_t n;
    while ((n = std::fread(puf, 1, sizeof puf, f.get())) > 0) inhalt.append(puf, n);
    return std::ferror(f.get()) ? 2 : 0;
}

Leser::Leser(FILE* f) : f_(f), puf_(BLOCK) {
    off_t p = ftello(f);
    basis_ = p < 0 ? 0 : static_cast<int64_t>(p);
}

// Schiebt den ungelesenen Rest an den Anfang und liest nach; false am Ende der Eingabe.
bool Leser::fuellen() {
    if (ende_) return false;
    if (anf_ > 0) {
        std::memmove(puf_.data(), puf_.data() + anf_, end_ - anf_);
        basis_ += static_cast<int64_t>(anf_);
        end_ -= anf_;
        anf_ = 0;
    }
    if (end_ == puf_.size()) puf_.resize(puf_.size() * 2);
    size_t n = fread(puf_.data() + end_, 1, puf_.size() - end_, f_);
    if (n == 0) {
        ende_ = true;
        fehler_ = ferror(f_) != 0;
        return false;
    }
    end_ += n;
    return true;
}

int Leser::zeile(std::string& zeile) {
    size_t such = anf_;
    for (;;) {
        const char* p = static_cast<const char*>(
            std::memchr(puf_.data() + such, '\n', end_ - such));
        if (p) {
            size_t lf = static_cast<size_t>(p - puf_.data());
            size_t len = lf - anf_;
            if (len > 0 && puf_[lf - 1] == '\r') --len;
            zeile.assign(puf_.data() + anf_, len);
            zeile.push_back('\n');
            anf_ = lf + 1;
            return 0;
        }
        such = end_ - anf_;  // Suche nach dem Nachschieben hier fortsetzen
        if (!fuellen()) {
            if (end_ == anf_) {
                zeile.clear();
                am_ende_ = true;
                return 1;
            }
            size_t len = end_ - anf_;
            if (puf_[end_ - 1] == '\r') --len;
            zeile.assign(puf_.data() + anf_, len);
            zeile.push_back('\n');
            anf_ = end_;
            return 0;
        }
        such += anf_;
    }
}

size_t Leser::block(size_t n, std::string& s) {
    s.clear();
    while (s.size() < n) {
        if (anf_ == end_ && !fuellen()) break;
        size_t k = std::min(n - s.size(), end_ - anf_);
        s.append(puf_.data() + anf_, k);
        anf_ += k;
    }
    if (s.size() < n) am_ende_ = true;
    return s.size();
}

int Leser::seek(int64_t off) {
    if (off < 0 || fseeko(f_, static_cast<off_t>(off), SEEK_SET) != 0) return 1;
    clearerr(f_);
    basis_ = off;
    anf_ = end_ = 0;
    ende_ = false;
    am_ende_ = false;
    return 0;
}
