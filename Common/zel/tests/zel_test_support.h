// Test support of the toolkit tests: what the program writes to the
// debugger output while an object of this class lives.
#pragma once

#include <string>

namespace orvo::testing {

class debugger_output {
 public:
  debugger_output();
  ~debugger_output();
  std::string text() const;
};

}  // namespace orvo::testing
