// SPDX-License-Identifier: MIT
// Gibt jeden Namen der Builtin-Tabelle als Eintrag eines libFuzzer-Woerterbuchs aus.
#include <cstdio>
#include <string>

#include "orvu_tabelle.h"

int main() {
    for (const BuiltinName& b : builtin_tabelle())
        std::printf("\"%s\"\n", std::string(b.name).c_str());
    return 0;
}
