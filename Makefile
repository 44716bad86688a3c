# Thin wrapper around CMake. `make run` and `make test` do all set-up on a fresh Debian 12.
# JOBS is the number of compile jobs at once (default: one per core), e.g. `make run JOBS=2`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 30
CMAKE_FLAGS ?=

.PHONY: deps configure build run test test-asan fuzz bench clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMORA_TESTS=ON -DPELMORA_BENCH=ON $(CMAKE_FLAGS) >/dev/null

# Everything: the program, the test suite, the benchmarks and the screenshot programs.
build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only what the program needs (the program, its scanner helper and, beside them, its program
# folder), then the program.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target pelmora pelmora-scanner
	@$(BUILD)/bin/pelmora

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) --output-on-failure

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, leaks included
# but those of the libraries in tests/support/leak-suppressions.txt. The leak checker leaves
# thread-local storage alone: its scan of it crashes with this compiler and C library.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELMORA_SANITIZE=ON -DPELMORA_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:use_tls=0:intercept_tls_get_addr=0:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/leak-suppressions.txt:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest -j $(JOBS) --output-on-failure

# Each libFuzzer target for FUZZ_SECONDS seconds. The targets look for crashes: an input that
# runs past the time or memory limit of one input is kept as a timeout or oom file (under
# $(FUZZ_BUILD)/artifacts) and the run goes on (in the program the picture reader's helper bounds such an input); a crash fails it.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPELMORA_FUZZ=ON -DPELMORA_TESTS=OFF -DPELMORA_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for t in $(FUZZ_BUILD)/bin/fuzz_*; do \
	  echo "== $$t"; mkdir -p $(FUZZ_BUILD)/corpus/$$(basename $$t) $(FUZZ_BUILD)/artifacts/$$(basename $$t); \
	  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $$t -max_total_time=$(FUZZ_SECONDS) \
	    -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$(basename $$t)/ -fork=1 -ignore_timeouts=1 -ignore_ooms=1 -timeout=10 -rss_limit_mb=3072 -max_len=65536 $(FUZZ_BUILD)/corpus/$$(basename $$t) fuzz/corpus/$$(basename $$t) || exit 1; \
	done

# Every benchmark, then the comparisons with other programs, ending with one table of ratios.
bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target pelmora_benchmarks
	@for b in $(BUILD)/bin/pelmora_bench*; do QT_QPA_PLATFORM=offscreen $$b || exit 1; done
	@bench/compare-all $(BUILD)/bin

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
