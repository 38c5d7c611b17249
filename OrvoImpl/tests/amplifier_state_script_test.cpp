// The VBScript suite amplifier_state.vbs run by Windows Script Host, an
// automation client nobody here wrote, against the registered class. Wine's
// cscript ends with exit code 0 and no output when a script stops on an
// error, so the test requires the script's summary line.
#include <objbase.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "state_fixture.h"
#include "testing/com_test.h"

namespace orvo::impl::testing {
namespace {

std::string g_script;

std::string RunScript(const std::wstring& state_text) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string state_file = std::string(folder) + "orvoimpl_script_state.txt";
  const std::string output_file = std::string(folder) + "orvoimpl_script_output.txt";
  std::ofstream(state_file) << std::string(state_text.begin(), state_text.end()) << "\n";
  std::remove(output_file.c_str());
  const auto wide = [](const std::string& s) { return std::wstring(s.begin(), s.end()); };
  // cmd writes the script's output to a file: the summary is read from there.
  const std::wstring line = L"cmd /c cscript //nologo \"" + orvo::testing::windows_path(g_script) + L"\" \"" +
                            wide(state_file) + L"\" > \"" + wide(output_file) + L"\"";
  EXPECT_EQ(orvo::testing::run_program(line), 0);
  std::ifstream output(output_file);
  std::stringstream all;
  all << output.rdbuf();
  return all.str();
}

TEST(AmplifierStateScript, AVBScriptClientWalksSetsAndRoundTripsAState) {
  auto images = ZeroImages(2);
  images.Item(1).Data()[TMemory::SerialNumberOffset] = 7;
  images.TestBox() = {1, 0x01, 0x00, 0x01, 0x05, 0x01, 0x00};
  // A state whose text no longer changes when it is written again.
  const std::string output = RunScript(AsString(MakeState(images).get()));
  EXPECT_EQ(output.find("FAIL"), std::string::npos) << output;
  EXPECT_NE(output.find("SUMMARY 31 checks, 0 failures"), std::string::npos) << output;
}

}  // namespace
}  // namespace orvo::impl::testing

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 3) return 2;
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  orvo::impl::testing::UseCapabilitiesLibrary(argv[1]);
  orvo::impl::testing::g_script = argv[2];
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
