# Two entry points for a fresh Debian 12 machine:
#   make run   installs what is missing, builds and starts the game
#   make test  installs what is missing, builds and runs every test
# and for the LAN layer's packet decoder:
#   make fuzz  builds the packet fuzzer (clang, libFuzzer, ASan, UBSan) in
#              FUZZ_DIR and runs it for FUZZ_SECONDS on FUZZ_JOBS workers
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ifeq ($(CI),true)
CMAKE_FLAGS += -DMAREVANE_WERROR=ON
endif

.PHONY: all deps configure build test run clean fuzz

all: build

deps:
	@tools/install-deps

# Qt's moc keeps no watch on its list of headers: when a configure changed a
# target's list, its last moc run is dropped so new QObject headers get moc'ed.
configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null
	@for info in $$(find $(BUILD_DIR) -path '*/CMakeFiles/*_autogen.dir/AutogenInfo.json'); do \
		dir=$$(dirname "$$info"); stamp="$$(dirname "$$(dirname "$$dir")")/$$(basename "$$dir" .dir)/timestamp"; \
		if [ -f "$$stamp" ] && [ "$$info" -nt "$$stamp" ]; then rm -f "$$stamp"; fi; \
	done

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Tests labelled "xvfb" need a display with OpenGL; the rest run offscreen.
test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE xvfb
	@cd $(BUILD_DIR) && if ctest -N -L xvfb | grep -q 'Total Tests: [1-9]'; then \
		xvfb-run -a ctest --output-on-failure -L xvfb; fi

run: build
	@tools/run-game $(BUILD_DIR)

FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_JOBS ?= 1
FUZZ_FLAGS = -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer

# New inputs land in FUZZ_DIR/corpus; the committed seeds are only read.
fuzz:
	@tools/install-deps --fuzz
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
		-DMAREVANE_FUZZ=ON -DCMAKE_CXX_FLAGS="$(FUZZ_FLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target marevane-fuzz-packet
	@mkdir -p $(FUZZ_DIR)/corpus
	@cd $(FUZZ_DIR) && ASAN_OPTIONS=quarantine_size_mb=32:max_malloc_fill_size=0 \
		./tests/fuzz/marevane-fuzz-packet -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -detect_leaks=0 \
		$(if $(filter-out 1,$(FUZZ_JOBS)),-jobs=$(FUZZ_JOBS) -workers=$(FUZZ_JOBS)) corpus $(CURDIR)/tests/fuzz/corpus

clean:
	rm -rf $(BUILD_DIR)
