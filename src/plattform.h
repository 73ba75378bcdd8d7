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
// ---- Ende Ton

}  // namespace plattform
