# Quenor PC: the two everyday commands.
#   make run    installs what is missing, builds and starts the program
#   make test   installs what is missing, builds and runs every test (ctest)
# Also: make build, make bench, make fuzz, make screenshot, make clean.

BUILD_DIR  ?= build
ASAN_DIR   ?= build-asan
FUZZ_DIR   ?= build-fuzz
# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build run test test-asan fuzz bench screenshot install clean

all: build

deps:
	bash scripts/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Only the program itself: the tests and benchmarks wait for `make test`.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quenorpc
	cd $(BUILD_DIR) && ./app/quenorpc

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-asan

# Every test again under AddressSanitizer (leak checks included) and
# UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	    -DQUENOR_SANITIZE=ON -DQUENOR_BUILD_BENCH=OFF
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The parsers of outside bytes under libFuzzer (clang, its own build folder),
# each target for FUZZ_SECONDS: make fuzz FUZZ_SECONDS=600
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENOR_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	bash tests/fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do \
	    [ -x "$$b" ] || continue; echo "== $$b"; "$$b" || exit 1; done

screenshot: build
	bash scripts/screenshot.sh $(BUILD_DIR)/app/quenorpc screenshot.png
	@# The window after choosing a few songs, with the import summary.
	if [ -x $(BUILD_DIR)/tests/app/shot_import ]; then \
	    bash scripts/screenshot.sh $(BUILD_DIR)/tests/app/shot_import screenshot-import.png; fi
	@# The song edit dialog filled from a song.
	if [ -x $(BUILD_DIR)/tests/app/shot_editdialog ]; then \
	    bash scripts/screenshot.sh $(BUILD_DIR)/tests/app/shot_editdialog screenshot-edit.png; fi
	@# The optimise dialog after a run with a refused file, and the song list export.
	if [ -x $(BUILD_DIR)/tests/app/shot_devicetools ]; then \
	    bash scripts/screenshot.sh $(BUILD_DIR)/tests/app/shot_devicetools screenshot-optimise.png it optimise; \
	    bash scripts/screenshot.sh $(BUILD_DIR)/tests/app/shot_devicetools screenshot-songslist.png it songslist; fi
	@# The table narrowed by the search; the memory view by artist and its playlists.
	if [ -x $(BUILD_DIR)/tests/app/shot_beyond ]; then \
	    bash scripts/screenshot.sh $(BUILD_DIR)/tests/app/shot_beyond screenshot-search.png it table; \
	    bash scripts/screenshot.sh $(BUILD_DIR)/tests/app/shot_beyond screenshot-memory.png it memory; \
	    bash scripts/screenshot.sh $(BUILD_DIR)/tests/app/shot_beyond screenshot-playlists.png it playlists; fi

install: build
	cmake --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
