// SPDX-License-Identifier: MIT
// Duenne Schicht fuer Aufrufe, die es so nur unter Windows gibt: geschrieben nach dem, was
// die Aufrufer erwarten, mit POSIX darunter. Sonst nichts.
#pragma once
#include <cstdint>
#include <string>

namespace plattform {

// ---- Umgebung, Dateizeiten, Sockets (plattform.cpp)
int utime_(const char* pfad, int64_t zugriff, int64_t aenderung, long zugriff_ns = 0, long aenderung_ns = 0);  // Dateizeiten (Sekunden seit 1970, Nanosekunden), ohne Links zu folgen: 0 oder errno
// ---- Ende Umgebung, Dateizeiten, Sockets

// ---- Ton (plattform_ton.cpp)
// ---- Ende Ton

}  // namespace plattform
