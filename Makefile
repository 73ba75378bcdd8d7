# Duenne Huelle um CMake. `make test SANITIZE=1` baut in build-san mit ASan/UBSan.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory

ifeq ($(SANITIZE),1)
BUILD      := build-san
CMAKE_OPTS := -DORVU_SANITIZE=ON
export ASAN_OPTIONS := detect_leaks=1
export UBSAN_OPTIONS := print_stacktrace=1
else
BUILD      := build
CMAKE_OPTS :=
endif

PAKETE       := cmake g++ make libssl-dev openssl libgtest-dev pkg-config libasound2-dev libpng-dev libxml2-utils librsvg2-bin dpkg-dev file
BENCH_PAKETE := mawk gawk perl lua5.4 time

# Fehlende Debian-Pakete: als root installieren, sonst die Zeile dafuer nennen.
define pakete
	@if ! command -v dpkg-query >/dev/null; then \
	  echo "dpkg-query fehlt: bitte selbst sicherstellen: $(1)"; exit 0; fi; \
	fehlt=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q 'ok installed' || fehlt="$$fehlt $$p"; \
	done; \
	if [ -n "$$fehlt" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "installiere:$$fehlt"; \
	    export DEBIAN_FRONTEND=noninteractive; \
	    apt-get update && apt-get install -y --no-install-recommends $$fehlt; \
	  else \
	    echo "Es fehlen Pakete:$$fehlt. Bitte ausfuehren:"; \
	    echo "sudo apt-get update && sudo apt-get install -y --no-install-recommends$$fehlt"; \
	    exit 1; \
	  fi; \
	fi
endef

.PHONY: deps build test demo bench fuzz install deb clean

# Fuzzen mit libFuzzer, Korpus in build-fuzz/korpus, Funde in build-fuzz/funde/.
# FUZZZIEL waehlt das Ziel: orvu_fuzz (Parser und Auswertung), vergleich_fuzz (jeder Lauf
# mit und ohne Schnellwege, bricht bei verschiedener Ausgabe ab) oder beide (Voreinstellung;
# nacheinander auf demselben Korpus). FUZZZEIT: Sekunden insgesamt (Voreinstellung 300),
# bei beiden Zielen je die Haelfte.
FUZZZEIT     ?= 300
FUZZZIEL     ?= beide
FUZZ_ZIELE   := $(if $(filter beide,$(FUZZZIEL)),orvu_fuzz vergleich_fuzz,$(FUZZZIEL))
FUZZ_PAKETE  := clang libclang-rt-14-dev cmake make

deps:
	$(call pakete,$(PAKETE))

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_OPTS)
	cmake --build $(BUILD) -j$$(nproc)

test: build
	@set -o pipefail; \
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j2 2>&1 | tee $(BUILD)/ctest.log; \
	rc=$$?; \
	grep -E '^[0-9]+% tests passed' $(BUILD)/ctest.log | tail -n 1; \
	exit $$rc

demo: build
	$(BUILD)/orvu examples/zeilen.txt '' '$$=ZNR,&;'

# Vergleichsmessung mit mawk, gawk, perl und lua5.4 (bench/run: BENCH_RUNDEN, BENCH_NUR).
bench: build
	$(call pakete,$(BENCH_PAKETE))
	ORVU=$(BUILD)/orvu bench/run

fuzz:
	@for z in $(FUZZ_ZIELE); do case $$z in orvu_fuzz|vergleich_fuzz) ;; \
	  *) echo "FUZZZIEL: orvu_fuzz, vergleich_fuzz oder beide, nicht $$z"; exit 1;; esac; done
	$(call pakete,$(FUZZ_PAKETE))
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVU_FUZZ=ON
	cmake --build build-fuzz -j$$(nproc) --target $(FUZZ_ZIELE) orvu_woerter
	{ build-fuzz/orvu_woerter; cat fuzz/orvu.dict; } > build-fuzz/orvu.dict
	fuzz/saat.sh build-fuzz/saat
	mkdir -p build-fuzz/korpus build-fuzz/funde
	@zeit=$$(( $(FUZZZEIT) / $(words $(FUZZ_ZIELE)) )); \
	for z in $(FUZZ_ZIELE); do \
	  echo "== $$z, $$zeit s"; funde=build-fuzz/funde/; \
	  [ $$z = vergleich_fuzz ] && funde=build-fuzz/funde/vergleich-; \
	  ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1 build-fuzz/$$z \
	    -max_total_time=$$zeit -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
	    -dict=build-fuzz/orvu.dict -artifact_prefix=$$funde \
	    build-fuzz/korpus build-fuzz/saat || exit $$?; \
	done

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# Debian-Paket mit CPack; Abhaengigkeiten ermittelt dpkg-shlibdeps.
deb: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/*.deb

clean:
	rm -rf build build-san build-fuzz bench/daten
