# The two commands: `make run` opens the window on the bundled example;
# `make test` runs every test (the normal build and the sanitizer build).
# Both install missing Debian packages first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
GENERATOR  := -G Ninja

.PHONY: all deps configure build run test test-core test-sanitize bench clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	  -DKELVARIS_CORE_ONLY=ON -DKELVARIS_SANITIZE=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/kelvaris examples/demo_run.txt

test-core: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L 'sanitize|fuzz'

test: test-core test-sanitize

bench: build
	$(BUILD)/bin/kelvaris-bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
