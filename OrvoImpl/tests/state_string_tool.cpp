// A line-driven front end to the state string reader, writer and
// comparison, for the independent check in state_string_reference.py.
// Each input line is one command; each gives one output line:
//   write <test box hex> [<image hex><status hex> ...]  ->  <state string>
//   read <text>                 ->  invalid | valid <version> <test box hex> <count>
//                                   [<key>:<id>:<image hex>:<status hex> ...]
//   compare <text> <text>       ->  0 | 1 | -1
// Hex is lower case, two digits a byte. An empty text is written as "-".
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/state_string.h"

namespace {
using namespace orvo::impl;

std::string Hex(const std::uint8_t* data, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += digits[data[i] >> 4];
    text += digits[data[i] & 15];
  }
  return text;
}

bool Unhex(const std::string& text, std::vector<std::uint8_t>& out) {
  if (text.size() % 2) return false;
  out.clear();
  for (std::size_t i = 0; i < text.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  return true;
}

std::string Text(const std::string& word) { return word == "-" ? std::string() : word; }

std::string Write(std::istringstream& words) {
  TAmplifierMemoryCollection collection;
  std::string word;
  std::vector<std::uint8_t> bytes;
  words >> word;
  if (!Unhex(word, bytes) || bytes.size() != collection.TestBox().size()) return "error test box";
  std::copy(bytes.begin(), bytes.end(), collection.TestBox().begin());
  while (words >> word) {
    if (!Unhex(word, bytes) || bytes.size() != TMemory::Size + 3) return "error amplifier";
    TMemory image;
    std::copy(bytes.begin(), bytes.begin() + TMemory::Size, image.Data());
    collection.Add(0, 0, image).SetStatus(bytes.data() + TMemory::Size);
  }
  return WriteStateString(collection);
}

std::string Read(const std::string& text) {
  TStateContent content;
  if (!ReadStateString(std::string_view(text), content)) return "invalid";
  const auto& amplifiers = content.Amplifiers;
  std::string line = "valid " + std::to_string(content.Version) + " " +
                     Hex(amplifiers.TestBox().data(), amplifiers.TestBox().size()) + " " +
                     std::to_string(amplifiers.Count());
  for (std::size_t i = 0; i < amplifiers.Count(); ++i) {
    const TAmplifierMemory& a = amplifiers.Item(i);
    std::uint8_t status[3];
    a.StoreStatus(status);
    line += " " + std::to_string(a.Key()) + ":" + std::to_string(a.AmplifierID()) + ":" + Hex(a.Data(), TMemory::Size) +
            ":" + Hex(status, 3);
  }
  return line;
}
}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command, a, b;
    words >> command;
    if (command == "write") {
      std::cout << Write(words) << '\n';
    } else if (command == "read") {
      words >> a;
      std::cout << Read(Text(a)) << '\n';
    } else if (command == "compare") {
      words >> a >> b;
      std::cout << CompareStateStrings(std::string_view(Text(a)), std::string_view(Text(b))) << '\n';
    } else {
      std::cout << "error command\n";
    }
  }
  return 0;
}
