// SPDX-License-Identifier: MIT
// Kommandozeile: Argumente, Dateien, Umschreiben an Ort und Stelle, Exitstatus.
#pragma once

// Fuehrt orvu mit den Argumenten der Kommandozeile aus; liefert den Exitstatus.
int orvu_kon(int argc, char** argv);
