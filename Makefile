# make run  : install what is missing, build the two programs, open the program on the bundled example
# make test : install what is missing, build, check that includes flow downwards, run every test;
#             then the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, and
#             a short run of every fuzz target (FUZZ_CI_SECONDS each);
#             the Debian package is built and run from a scratch root (test-package)
# make fuzz : every fuzz target for FUZZ_SECONDS each, one after the other (FUZZ_TARGETS=... for
#             some of them); a finding fails it, named with its file
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_CI_SECONDS ?= 15
FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?=
JOBS ?= 2

.PHONY: all setup build test test-plain test-asan test-fuzz fuzz run bench clean
.PHONY: test-package

all: build

setup:
	@bash scripts/setup

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: test-plain test-package test-asan test-fuzz

# The include graph first: calls flow downwards only (scripts/check-layers names any upward include);
# then the layout of every source against .clang-format (scripts/check-format names each line).
test-plain: build
	python3 scripts/check-layers
	bash scripts/check-format
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-package: build
	bash scripts/test-package $(BUILD)

# The window's Qt tests run in the plain build only; the sanitized build leaves Qt out.
$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAV_SANITIZE=ON -DTAV_WITH_QT=OFF

test-asan: setup $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

$(FUZZ_BUILD)/build.ninja:
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTAV_FUZZ=ON -DTAV_WITH_QT=OFF -DTAV_FUZZ_SECONDS=$(FUZZ_CI_SECONDS)

# The bounded run's seconds are set again every time, so that FUZZ_CI_SECONDS=... takes effect.
test-fuzz: setup $(FUZZ_BUILD)/build.ninja
	cmake -S . -B $(FUZZ_BUILD) -DTAV_FUZZ_SECONDS=$(FUZZ_CI_SECONDS) > /dev/null
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j $(JOBS)
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS)

# Each target from the list the fuzz build writes (name, longest input, seed folders).
fuzz: setup $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j $(JOBS)
	@found=""; \
	while read name max_len seeds; do \
	  case " $(FUZZ_TARGETS) " in "  " | *" $$name "*) ;; *) continue ;; esac; \
	  echo "== $$name: $(FUZZ_SECONDS) s"; \
	  sh tests/fuzz/run_fuzzer.sh $(FUZZ_BUILD)/tests/fuzz/$$name $(FUZZ_SECONDS) $$max_len $$seeds \
	    || found="$$found $$name"; \
	done < $(FUZZ_BUILD)/tests/fuzz/fuzz_targets.list; \
	if [ -n "$$found" ]; then \
	  echo "findings in:$$found (inputs in $(FUZZ_BUILD)/tests/fuzz/<target>_crashes/)"; exit 1; \
	fi

# Only the two programs: make test (and make build) build the tests and benchmarks too.
run: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) --target tavrel6 tavrel6-batch -j $(JOBS)
	@bash scripts/run-example $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
