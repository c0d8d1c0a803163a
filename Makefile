# Thin wrapper around CMake; see README.md.
BUILD  ?= build
JOBS   ?= 2
PREFIX ?= /usr/local

.PHONY: all deps configure build run test bench tables format sanitize sanitize-thread fuzz mutate clean install

all: build

# The Debian packages the build and the tests need: installed when missing
# (as root), otherwise the one apt-get line to run is printed and make stops.
deps:
	@tools/deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Builds only the program, quietly: one progress line, the output of the
# configuration (the first time) and of the build kept in $(BUILD)/*.log and
# shown when a step fails; then starts it.
run: deps
	@tools/quiet_build.sh $(BUILD) $(JOBS)
	@$(BUILD)/triex

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTRIEX_BENCH=ON -DBUILD_TESTING=OFF
	cmake --build build-bench -j $(JOBS)
	for b in build-bench/bench/*_bench; do $$b; done
	/usr/bin/python3 bench/commands_bench.py --triex build-bench/triex
	if [ -d build-bench/python/triex ]; then \
	  PYTHONPATH=build-bench/python /usr/bin/python3 bench/ured_python_bench.py; \
	else echo "bench/ured_python_bench.py skipped: the Python module was not built"; fi

# AddressSanitizer and UndefinedBehaviorSanitizer, with assert() and the
# standard library's checks (_GLIBCXX_ASSERTIONS) kept on.
sanitize:
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRIEX_SANITIZE=ON -DTRIEX_ASSERTIONS=ON
	cmake --build build-sanitize -j $(JOBS)
	ctest --test-dir build-sanitize --output-on-failure -j $(JOBS) -LE long
	$(MAKE) --no-print-directory sanitize-thread

# ThreadSanitizer over the tests that run several threads at once.
THREAD_TESTS ?= Thread|Parallel|Concurren
sanitize-thread:
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRIEX_TSAN=ON
	cmake --build build-tsan -j $(JOBS)
	ctest --test-dir build-tsan --output-on-failure -j $(JOBS) -R '$(THREAD_TESTS)' --no-tests=error

# Each fuzz target runs FUZZ_SECONDS on a copy of the seed corpus in tests/fuzz/corpus.
FUZZ_SECONDS ?= 60
fuzz:
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRIEX_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build build-fuzz -j $(JOBS) --target answers_fuzz dialogue_fuzz cli_fuzz structure_fuzz
	for t in answers dialogue cli structure; do \
	  mkdir -p build-fuzz/corpus/$$t && cp tests/fuzz/corpus/$$t/* build-fuzz/corpus/$$t/ && \
	  build-fuzz/tests/fuzz/$${t}_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=20 \
	    -artifact_prefix=build-fuzz/ build-fuzz/corpus/$$t || exit 1; \
	done

# Mutation check, not part of make test: the faults of tools/mutants.txt, one at
# a time on a scratch copy of the tree (build-mutate/); MUTANTS=<regex> selects
# mutants by id or file.
MUTANTS ?= .
mutate:
	/usr/bin/python3 tools/mutate.py --select '$(MUTANTS)' --jobs $(JOBS)

tables:
	python3 tools/gen_rules.py

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

# Builds only what is installed (the program, libtriex, the Python module).
install: configure
	cmake --build $(BUILD) --target triex_installed -j $(JOBS)
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) build-bench build-sanitize build-tsan build-fuzz build-mutate
