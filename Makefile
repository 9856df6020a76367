# Thin driver over CMake. `make run` builds and starts the program, `make test` builds
# and runs every test. Both install the Debian packages the project needs first.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
CTEST = ctest --output-on-failure -j $(JOBS) --timeout 600

.PHONY: deps run test test-asan test-tsan bench build clean

deps:
	@scripts/install-deps

build/CMakeCache.txt: | deps
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: deps build/CMakeCache.txt
	@cmake --build build -j $(JOBS)

run: build
	@./build/app/dorvaquent

test: build
	@cd build && $(CTEST)

# AddressSanitizer + UndefinedBehaviorSanitizer over every test.
test-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DDCS_SANITIZE=address >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 $(CTEST)

# ThreadSanitizer over every test.
test-tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DDCS_SANITIZE=thread >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/scripts/tsan.supp $(CTEST)

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf build build-asan build-tsan build-bench
