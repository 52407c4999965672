# Entry points; CMake does the building.
#   make test   install missing packages, build with AddressSanitizer and UBSan, run every test
#   make build  an optimized build of libraries and tools
#   make bench  build and run the benchmarks (optimized)
#   make fuzz   build the libFuzzer targets with clang (run them from build/fuzz/fuzz)

JOBS ?= $(shell nproc)
TEST_DIR := build/test
RELEASE_DIR := build/release

.PHONY: test build bench fuzz deps clean

deps:
	@scripts/install-deps

test: deps
	@cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPICTAVIA_SANITIZE=ON \
	  -DPICTAVIA_BUILD_TESTS=ON >/dev/null
	@cmake --build $(TEST_DIR) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS)

build: deps
	@cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPICTAVIA_BUILD_TESTS=OFF -DPICTAVIA_BUILD_BENCH=ON >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

bench: build
	@for b in $(RELEASE_DIR)/bench/*Bench; do echo "== $$b"; $$b || exit 1; done

fuzz:
	@scripts/install-deps --fuzz
	@CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPICTAVIA_FUZZ=ON -DPICTAVIA_BUILD_TESTS=OFF >/dev/null
	@cmake --build build/fuzz -j $(JOBS) --target SvgpbFuzzer ImageDecodeFuzzer CatalogAnswerFuzzer StringsTableFuzzer

clean:
	rm -rf build
