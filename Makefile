# Thin driver over CMake. `make run` builds and starts the program, `make test` builds
# and runs every test. Both install the Debian packages the project needs first.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
CTEST = ctest --output-on-failure -j $(JOBS) --timeout 600

.PHONY: deps run test test-asan test-tsan bench fuzz build clean

deps:
	@scripts/install-deps

build/CMakeCache.txt: | deps
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: deps build/CMakeCache.txt
	@cmake --build build -j $(JOBS)

# The program starts in its build folder, which holds the synthetic demo pre.data. Its
# data folder ($APPDATA/Dorvaquent, else the XDG data folder's) gets the body-zone
# pictures it lacks; pictures already there are the user's and stay.
run: build
	@data="$${APPDATA:-$${XDG_DATA_HOME:-$$HOME/.local/share}}/Dorvaquent"; mkdir -p "$$data" && \
	  for f in app/artwork/data/*.jpg; do [ -e "$$data/$${f##*/}" ] || cp "$$f" "$$data/"; done
	@cd build/app && ./dorvaquent

test: build
	@cd build && $(CTEST)

# AddressSanitizer + UndefinedBehaviorSanitizer over every test.
test-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DDCS_SANITIZE=address -DDCS_BUILD_BENCH=OFF >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 $(CTEST)

# ThreadSanitizer over every test.
test-tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DDCS_SANITIZE=thread -DDCS_BUILD_BENCH=OFF >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/scripts/tsan.supp $(CTEST)

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# The libFuzzer targets of fuzz/ (clang, from their own package list), each run for
# FUZZ_SECONDS from its seed corpus; a finding stops the run and leaves its input in
# build-fuzz/findings/. Not part of CI.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = $(sort $(basename $(notdir $(wildcard fuzz/*.cpp))))
fuzz: deps
	@scripts/install-deps scripts/debian-packages-fuzz.txt
	@cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDCS_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS)) >build-fuzz/build.log 2>&1 \
	  || { grep -E 'error' build-fuzz/build.log | head -40; exit 1; }
	@mkdir -p build-fuzz/findings
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build-fuzz/corpus/$$t; \
	  echo "fuzz: $$t, $(FUZZ_SECONDS) s"; \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	  build-fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	    -artifact_prefix=build-fuzz/findings/$$t- build-fuzz/corpus/$$t fuzz/corpus/$$t \
	    >build-fuzz/$$t.log 2>&1 || { tail -60 build-fuzz/$$t.log; echo "fuzz: $$t found a fault"; exit 1; }; \
	  grep -E '^stat::(number_of_executed_units|new_units_added)' build-fuzz/$$t.log | tr '\n' ' '; echo; \
	done

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz
