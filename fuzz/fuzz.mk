# Objects and targets of the fuzz build; fuzz/build.sh runs it with ROOT set.
# Every source compiles once (instrumented for the fuzzer, not linked with
# its main) and both targets link what they need.
OUT := $(ROOT)/fuzz/out
OBJ := $(OUT)/obj
FLAGS := -std=c++20 -O1 -g -fsanitize=address,undefined -fno-sanitize-recover=undefined \
  -I$(ROOT)/src -I$(ROOT)/include -I$(ROOT)
CXX := clang++

# What CMake compiles into qxcom, qx_xml, qx_model and qx_frame (which
# carries decode, parse, rpc and encode), and the in-memory port of the host
# library.
XML := $(wildcard $(ROOT)/src/xml/*.cpp) $(ROOT)/src/platform/wide_ctype.cpp
HANDLER := $(sort $(wildcard $(addprefix $(ROOT)/src/,platform/*.cpp xml/*.cpp model/*.cpp \
  frame/*.cpp decode/*.cpp parse/*.cpp rpc/*.cpp encode/*.cpp)) $(wildcard $(ROOT)/host/memory_port*.cpp))

objects = $(patsubst $(ROOT)/%.cpp,$(OBJ)/%.o,$(1))

all: $(OUT)/xml_reader_fuzz $(OUT)/request_fuzz

$(OUT)/xml_reader_fuzz: $(call objects,$(ROOT)/fuzz/xml_reader_fuzz.cpp $(XML))
	$(CXX) $(FLAGS) -fsanitize=fuzzer -o $@ $^

$(OUT)/request_fuzz: $(call objects,$(ROOT)/fuzz/request_fuzz.cpp $(HANDLER))
	$(CXX) $(FLAGS) -fsanitize=fuzzer -o $@ $^ -ldl

$(OBJ)/%.o: $(ROOT)/%.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(FLAGS) -fsanitize=fuzzer-no-link -MMD -MP -c -o $@ $<

-include $(shell find $(OBJ) -name '*.d' 2>/dev/null)
