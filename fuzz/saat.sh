#!/usr/bin/env bash
# Saatkorpus fuer den Fuzzer: die Steuerprogramme der Testfaelle (args-Zeilen und
# Programmdateien), je eines pro Datei.
set -euo pipefail
ziel=${1:?Zielverzeichnis}
mkdir -p "$ziel"
cd "$(dirname "$0")/.."
n=0
while IFS= read -r zeile; do
  n=$((n + 1))
  printf '%s' "$zeile" > "$ziel/args_$n"
done < <(grep -h "^args: .*'" tests/skripte/*.txt | sed -E "s/^args: .*'([^']*)'.*/\1/" | sort -u)
# Mit Eingabe: Programm, NUL, zwei Zeilen
printf '$=ZNR,&;\0a\nb\n' > "$ziel/mit_eingabe"
printf 'prolog RECSIZE=3; $="[",&,"]";\0abcdefgh' > "$ziel/recsize"
echo "$n Saatdateien in $ziel"
