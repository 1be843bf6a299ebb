# Thin wrapper over CMake. `make run` and `make test` are the two commands of
# the README; the rest are for developers.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
CMAKE_GEN := -G Ninja

.PHONY: run test deps bench-deps build build-asan check check-asan bench fuzz format clean

run: deps build
	./$(BUILD)/src/tallowmere

# Everything: the normal build with its tests, then the sanitizer build with its tests.
test: deps check check-asan

deps:
	@bash scripts/install-deps.sh

# The outside programs the benchmarks compare with; not needed for the tests.
bench-deps:
	@bash scripts/install-deps.sh --bench

build:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTALLOWMERE_SANITIZE=ON -DTALLOWMERE_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)

check: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

check-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# TALLOWMERE_BENCH_1M=1 adds 1,000,000 transactions to the scaling run.
bench: deps bench-deps
	cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/*_bench; do echo "== $$b"; $$b; done

# libFuzzer targets with clang 14: make fuzz, then run build-fuzz/fuzz/fuzz_NAME fuzz/corpus/NAME
fuzz: deps
	CXX=clang++-14 CC=clang-14 cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWMERE_FUZZ=ON -DTALLOWMERE_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-bench
