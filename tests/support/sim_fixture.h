// A fresh simulated desktop and program for every test, with helpers to run the program, read its
// files and look into its database.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/program.h"
#include "platform/sim/desktop.h"

namespace testing_support {

// The data folder the program uses on the simulated desktop.
inline const std::string dataFolder = "C:\\Users\\tester\\AppData\\Roaming\\Korvane\\Tandrel\\";
inline const std::string firstRunQuestion =
    "Tandrel has not located any previous Tandrel files on your computer. If this is correct, press 'Yes' to "
    "continue, otherwise press 'No' to end the program";

using Rows = std::vector<std::vector<std::string>>;

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs a fresh program to its end; answers its exit code.
  int run();
  int run(core::Program& program);
  // Answers the first-run question (and nothing else) with `answer`.
  void answerFirstRun(int answer);
  // Script: Windows ends the session (WM_QUERYENDSESSION to the main window).
  void thenEndSession();

  std::string read(const std::string& windowsPath) const;
  void write(const std::string& windowsPath, const std::string& bytes) const;
  bool exists(const std::string& windowsPath) const;
  std::vector<std::string> logLines() const;
  // How many lines of the log hold `text`.
  long logLinesWith(const std::string& text) const;
  // Runs SQL on a database file with a connection of the test's own.
  Rows query(const std::string& sql, const std::string& databaseWindowsPath = dataFolder + "tdclips.db") const;
  void execute(const std::string& sql, const std::string& databaseWindowsPath = dataFolder + "tdclips.db") const;
  // The program's folders and paths set and made, and the database engine bound, without a start:
  // for tests of the store on its own.
  void prepareStore();
  // A database file with the program's tables, for seeding before a start.
  void createDatabase(const std::string& databaseWindowsPath = dataFolder + "tdclips.db") const;

  sim::Desktop& desktop = sim::desktop();
  std::unique_ptr<core::Program> program;
};

// Splits a file's CR LF lines.
std::vector<std::string> crlfLines(const std::string& bytes);

}  // namespace testing_support
