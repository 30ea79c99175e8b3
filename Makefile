# The two set-up commands: `make run` and `make test`.
BUILD ?= build
BUILD_ASAN ?= build-asan
JOBS ?= $(shell nproc)

.PHONY: run test test-default test-asan bench install configure configure-asan build build-asan clean

install:
	bash scripts/abhaengigkeiten-installieren.sh

configure: install
	cmake --preset default -DTAMO_SHARED_DIR=$(abspath ../shared)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer (no benchmarks).
configure-asan: install
	cmake --preset asan -DTAMO_SHARED_DIR=$(abspath ../shared)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

build-asan: configure-asan
	cmake --build $(BUILD_ASAN) -j $(JOBS)

run: build
	$(BUILD)/tamo-sepa

# Both configurations must pass (what .ci/run calls).
test: test-default test-asan

test-default: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	ctest --preset asan -j $(JOBS)

bench: build
	bash bench/messen.sh $(BUILD)
	bash bench/sepa_lauf_messen.sh $(BUILD)
	bash bench/iban_lauf_messen.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
