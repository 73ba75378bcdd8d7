// SPDX-License-Identifier: MIT
// Tit: Satz ab einem Offset lesen.
#include "tit.h"

#include <sys/types.h>

#include "up.h"

int Tit::lesen(int64_t offset, size_t max_zeilen) {
    puffer_.clear();
    laenge_.clear();
    start_.clear();
    offset_ = offset;
    if (!datei_ || offset < 0 || fseeko(datei_, static_cast<off_t>(offset), SEEK_SET) != 0)
        return 1;
    std::string z;
    while (start_.size() < max_zeilen) {
        const off_t vorher = ftello(datei_);
        if (Getline(datei_, z) != 0) break;
        if (z == "\n") {  // Leerzeile beendet den Block und bleibt ungelesen
            fseeko(datei_, vorher, SEEK_SET);
            break;
        }
        start_.push_back(puffer_.size());
        laenge_.push_back(z.size());
        puffer_ += z;
        puffer_ += '\0';
    }
    const off_t pos = ftello(datei_);
    if (pos >= 0) offset_ = pos;
    return 0;
}
