// libFuzzer target: the answers reader on arbitrary bytes. Reads a fixed
// sequence of items of every kind until the input is used up or refused.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "app/answers.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  triex::AnswerReader answers(in);
  std::string text;
  int integer = 0;
  double reals[3];
  for (int round = 0; round < 64; ++round) {
    bool ok = false;
    switch (round % 4) {
      case 0: ok = answers.read_text(text); break;
      case 1: ok = answers.read_integer(integer); break;
      case 2: ok = answers.read_reals(std::span<double>(reals, 3)); break;
      case 3: ok = answers.read_reals(std::span<double>(reals, 1)); break;
    }
    if (!ok) {
      if (answers.problem().what.empty()) __builtin_trap();  // a refusal always says why
      if (answers.problem().what.find("end of input") != std::string::npos) break;
    } else if (round % 4 == 0 && text.size() != triex::kTextLength) {
      __builtin_trap();
    }
  }
  return 0;
}
