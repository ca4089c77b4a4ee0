# Mavelo: `make run` builds and starts the program, `make test` builds and runs every test.
BUILD ?= build
LLD := $(shell command -v ld.lld)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache) \
  $(if $(LLD),-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld)
# ccache hashes the paths inside the checkout relative to it, so that a fresh clone in
# another folder finds what an earlier build compiled.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

.PHONY: run test build deps configure bench fuzz clean look-deps package

deps:
	@bash scripts/install-deps.sh

look-deps:
	@bash scripts/install-deps.sh --look

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

# Only the program and its shipped files; the tests and benchmarks wait for `make test`.
run: configure
	cmake --build $(BUILD) --target mavelo
	$(BUILD)/bin/mavelo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# A Debian package of the program: build/mavelo_<version>_amd64.deb
package: configure
	cmake --build $(BUILD) --target mavelo mavelo_icons
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

# libFuzzer targets: clang, built on demand, never in CI.  FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = fuzz_gridfile fuzz_inifile fuzz_listviewfile fuzz_mealday fuzz_foodlists fuzz_usdaimport
fuzz:
	@bash scripts/install-deps.sh --fuzz
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMAVELO_FUZZ=ON -DMAVELO_TESTS=OFF
	cmake --build build-fuzz --target $(FUZZ_TARGETS)
	@mkdir -p build-fuzz/corpus-grid build-fuzz/corpus-ini build-fuzz/corpus-listview \
	  build-fuzz/corpus-mealday build-fuzz/corpus-foodlists build-fuzz/corpus-usda
	@# The USDA seed: the fixture's two files in one input, cut by 0x1E.
	@{ cat tests/data/usda/FOOD_DES.txt; printf '\036'; cat tests/data/usda/ABBREV.txt; } \
	  > build-fuzz/corpus-usda/seed-fixture
	build-fuzz/bin/fuzz_gridfile -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build-fuzz/corpus-grid tests/data/grid
	build-fuzz/bin/fuzz_inifile -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build-fuzz/corpus-ini tests/data/ini
	build-fuzz/bin/fuzz_listviewfile -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -malloc_limit_mb=64 build-fuzz/corpus-listview tests/data/sleep
	build-fuzz/bin/fuzz_mealday -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build-fuzz/corpus-mealday tests/data/nutrition
	build-fuzz/bin/fuzz_foodlists -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build-fuzz/corpus-foodlists tests/data/nutrition/lists
	build-fuzz/bin/fuzz_usdaimport -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build-fuzz/corpus-usda tests/data/usda

clean:
	rm -rf $(BUILD) build-fuzz
