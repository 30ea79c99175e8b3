# The two set-up commands: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test bench install configure build clean

install:
	bash scripts/abhaengigkeiten-installieren.sh

configure: install
	cmake --preset default -DTAMO_SHARED_DIR=$(abspath ../shared)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/tamo-sepa

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	bash bench/messen.sh $(BUILD)
	bash bench/sepa_lauf_messen.sh $(BUILD)
	bash bench/iban_lauf_messen.sh $(BUILD)

clean:
	rm -rf $(BUILD)
