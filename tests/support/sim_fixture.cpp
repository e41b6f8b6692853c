#include "support/sim_fixture.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/startup.h"
#include "core/database.h"
#include "platform/shell.h"

namespace testing_support {

void SimTest::SetUp() {
  desktop.reset();
  program = std::make_unique<core::Program>();
  program->db.setBusyTimeout(20);
}

void SimTest::TearDown() {
  for (const auto& box : desktop.unscriptedMessageBoxes())
    ADD_FAILURE() << "unexpected message box \"" << box.title << "\": " << box.text;
  for (const auto& prompt : desktop.prompts)
    if (!prompt.scripted) ADD_FAILURE() << "unexpected prompt \"" << prompt.layout.title << "\": " << prompt.layout.prompt;
  for (const auto& dialog : desktop.fileDialogs)
    if (!dialog.scripted) ADD_FAILURE() << "unexpected file dialog \"" << dialog.title << "\"";
  desktop.tearDown();
}

int SimTest::run() { return run(*program); }

int SimTest::run(core::Program& p) {
  return desktop.runProgram([&p] { app::startUp(p); });
}

void SimTest::answerFirstRun(int answer) {
  desktop.answerer = [answer](const sim::MessageBoxRecord& box) {
    if (box.text == firstRunQuestion) return answer;
    ADD_FAILURE() << "unexpected message box \"" << box.title << "\": " << box.text;
    return platform::IDOK;
  };
}

void SimTest::thenEndSession() {
  desktop.then([this] { desktop.send(program->mainWindow, platform::WM_QUERYENDSESSION, 0, 0); });
}

std::string SimTest::read(const std::string& path) const {
  std::ifstream in(desktop.hostPath(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void SimTest::write(const std::string& path, const std::string& bytes) const {
  std::filesystem::create_directories(std::filesystem::path(desktop.hostPath(path)).parent_path());
  std::ofstream out(desktop.hostPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool SimTest::exists(const std::string& path) const { return std::filesystem::exists(desktop.hostPath(path)); }

std::vector<std::string> crlfLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> SimTest::logLines() const { return crlfLines(read(dataFolder + "tandrel.log")); }

long SimTest::logLinesWith(const std::string& text) const {
  const auto lines = logLines();
  return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

Rows SimTest::query(const std::string& sql, const std::string& path) const {
  Rows rows;
  sqlite3* db = nullptr;
  if (sqlite3_open(desktop.hostPath(path).c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    ADD_FAILURE() << "cannot open " << path;
    return rows;
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
  } else {
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
        row.push_back(text == nullptr ? "<NULL>" : std::string(text, sqlite3_column_bytes(stmt, c)));
      }
      rows.push_back(row);
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

void SimTest::execute(const std::string& sql, const std::string& path) const {
  sqlite3* db = nullptr;
  std::filesystem::create_directories(std::filesystem::path(desktop.hostPath(path)).parent_path());
  sqlite3_open(desktop.hostPath(path).c_str(), &db);
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) ADD_FAILURE() << sql << ": " << error;
  sqlite3_free(error);
  sqlite3_close(db);
}

void SimTest::prepareStore() {
  core::Paths& f = program->paths;
  f.companyFolder = "C:\\Users\\tester\\AppData\\Roaming\\Korvane\\";
  f.dataFolder = dataFolder;
  f.databasePath = dataFolder + "tdclips.db";
  f.setsFolder = dataFolder + "sets\\";
  f.logPath = dataFolder + "tandrel.log";
  for (const std::string& folder : {f.companyFolder, f.dataFolder, f.setsFolder})
    ASSERT_TRUE(platform::createFolder(folder));
  ASSERT_EQ(program->db.DbBindLibrary(core::linkedSqliteApi()), 1);
}

void SimTest::createDatabase(const std::string& path) const {
  execute(
      "Create Table IF NOT EXISTS cTbl (cKey INTEGER PRIMARY KEY AUTOINCREMENT, cDate text, cSet text, cRTFsw text, "
      "cHTMLsw text, cImageSW text, cSource Text, cNote text, cText text, cRTF Blob, cHTML text, cImage Blob);"
      "Create Table IF NOT EXISTS Sets (setName Text Unique, setID INTEGER PRIMARY KEY AUTOINCREMENT);",
      path);
}

}  // namespace testing_support
