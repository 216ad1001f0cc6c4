# make run  : install what is missing, build, open the program on the bundled example
# make test : install what is missing, build, run every test
BUILD ?= build
JOBS ?= 2

.PHONY: all setup build test run bench clean

all: build

setup:
	@bash scripts/setup

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@bash scripts/run-example $(BUILD)

clean:
	rm -rf $(BUILD)
