// SPDX-License-Identifier: MIT
// Einstieg des Programms orvu.
#include "orvu_kon.h"

int main(int argc, char** argv) { return orvu_kon(argc, argv); }
