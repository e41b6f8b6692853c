// Converting old clip sets from the menu: what arrives in the database and the list, what every
// kind of bad file or name gets, and that nothing the files hold can reach an SQL text.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>

#include "core/program.h"
#include "platform/dialogs.h"
#include "support/main_window_script.h"
#include "support/old_format_files.h"
#include "ui/commands.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

const std::string pngBytes = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + "not really a picture";
const std::string hostileName = "x');DELETE FROM cTbl;--";

// An engine that cannot read the contents of old clip number 9.
int failingBlobStep(sqlite3_stmt* stmt) {
  char* sql = sqlite3_expanded_sql(stmt);
  const bool blob9 = sql != nullptr && std::strstr(sql, "fldKey = '9T'") != nullptr;
  sqlite3_free(sql);
  return blob9 ? SQLITE_IOERR : sqlite3_step(stmt);
}

class ConversionTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    seed({{"td_clips", "kept", "Src", " "}, {"td_clips", "also kept", "Src", " "}});
  }
  // clip.db with the contents of the records below.
  void writeContents() {
    execute("CREATE TABLE tblBlob (fldKey text, fldBlob);"
            "INSERT INTO tblBlob VALUES ('1T', 'the whole first text, longer than its index entry');"
            "INSERT INTO tblBlob VALUES ('2R', '{\\rtf1\\ansi rich {\\b text}}');",
            dataFolder + "clip.db");
    sqlite3Blob("3I", pngBytes);
  }
  void sqlite3Blob(const std::string& key, const std::string& bytes) {
    std::string hex;
    char byte[3];
    for (unsigned char c : bytes) {
      std::snprintf(byte, sizeof byte, "%02X", c);
      hex += byte;
    }
    execute("INSERT INTO tblBlob VALUES ('" + key + "', x'" + hex + "')", dataFolder + "clip.db");
  }
  // A text record, a rich text record, an image record, a blank record, one whose contents are
  // missing, and a short tail.
  std::string workRecords() {
    OldClip text{"Notepad - a.txt", "2009-03-14 15:09:26", 1, "the whole first text", 'T'};
    OldClip rich{"WordPad", "2009-03-15 08:00:00", 2, "rich index text", 'F'};
    OldClip image{"Paint", "2009-03-16 09:30:00", 3, "", 'I'};
    OldClip missing{"  Browser  ", "2009-03-17 10:00:00", 44, "only in the index", 'T'};
    return oldRecord(text) + oldRecord(rich) + std::string(437, ' ') + oldRecord(image) + oldRecord(missing) +
           std::string(100, 'z');
  }
  void menu(int command) { desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, command, 0, 0}); }
  // Inside a step: the user chooses these files in the conversion dialog.
  void convert(const Texts& files) {
    desktop.fileDialogAnswers.push_back(files);
    menu(ui::commandConvertOldSet);
  }
  Texts boxes() {
    Texts texts;
    for (const auto& box : desktop.messageBoxes) texts.push_back(box.text);
    return texts;
  }
  Rows clipsOf(const std::string& set) {
    return query("select cDate, cSource, cText, cImageSW, cRTFsw, cHTMLsw, cNote from cTbl where cSet = '" +
                 store::escapeQuotes(set) + "' order by cKey");
  }
  std::string setRows(const std::string& name) {
    return query("select count(*) from Sets where setName = '" + store::escapeQuotes(name) + "'")[0][0];
  }
  void okToEverything() {
    desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  }
};

TEST_F(ConversionTest, AnOldSetBecomesTheActiveSetWithItsTextsRichTextsAndImages) {
  writeContents();
  write(dataFolder + "work.dbt", workRecords());
  desktop.then([&] { convert({dataFolder + "work.dbt"}); });
  desktop.then([&] {
    const auto& dialog = desktop.fileDialogs.back();
    EXPECT_EQ(dialog.title, "Tandrel Conversion: - Please select set(s) to convert");
    EXPECT_EQ(dialog.filter, "dbt file|*.dbt");
    EXPECT_EQ(dialog.folder, dataFolder);
    EXPECT_TRUE(dialog.multiSelect);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    // The simulated editor gives rich text back as it took it; under Wine it is plain text.
    EXPECT_EQ(clipsOf("work"),
              (Rows{{"2009-03-14 15:09:26", "Notepad - a.txt", "the whole first text, longer than its index entry", "N", "N", "N", " "},
                    {"2009-03-15 08:00:00", "WordPad", "{\\rtf1\\ansi rich {\\b text}}", "N", "N", "N", " "},
                    {"2009-03-16 09:30:00", "Paint", " ", "Y", "N", "N", " "},
                    {"2009-03-17 10:00:00", "Browser", "only in the index", "N", "N", "N", " "}}));
    EXPECT_EQ(gadget(ui::gadgetTextEditor).richText, "");  // the list shows the first clip again
    EXPECT_EQ(program->settings.activeSetName, "work");
    EXPECT_EQ(gadget(ui::gadgetActiveSetLabel).text, "Active Set = work");
    EXPECT_EQ(listColumn(1), (Texts{"Browser", "Paint", "WordPad", "Notepad - a.txt"}));
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Complete");
    EXPECT_NE(setRow("work"), -1);
    EXPECT_TRUE(program->view.pendingSetName.empty());
    EXPECT_TRUE(program->heldEvents.empty());
    const auto log = logLines();
    const auto has = [&](const std::string& end) {
      return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
        return line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0;
      });
    };
    EXPECT_TRUE(has(" Opened Database " + dataFolder));
    EXPECT_TRUE(has(" Opened ClipindexFile " + dataFolder + "work"));
    EXPECT_TRUE(has(" Closed Database " + dataFolder));
    EXPECT_TRUE(has(" work.dbt ends in 100 bytes that are no whole record; they were left"));
    EXPECT_TRUE(has(" Converted image of 3I in work does not decode"));
  });
  runToEnd();
  // The image is kept as its bytes came.
  EXPECT_EQ(query("select hex(cImage) from cTbl where cImageSW = 'Y'"),
            query("select hex(fldBlob) from tblBlob where fldKey = '3I'", dataFolder + "clip.db"));
  EXPECT_EQ(clipsOf("td_clips").size(), 2u);
}

TEST_F(ConversionTest, ASecondConversionIsADuplicateAndTheMainOldSetConvertsOnce) {
  writeContents();
  write(dataFolder + "work.dbt", workRecords());
  write(dataFolder + "clips.dbt", oldRecord({"Old main set", "2008-01-01 00:00:00", 1, "", 'T'}));
  desktop.then([&] { convert({dataFolder + "work.dbt"}); });
  desktop.then([&] {
    desktop.answerNext(platform::IDOK);
    convert({dataFolder + "work.dbt"});
  });
  desktop.then([&] {
    EXPECT_EQ(boxes(), (Texts{"work appears to be a duplicate. Please select another."}));
    EXPECT_EQ(clipsOf("work").size(), 4u);
    // "clips" converts into a set that has a row already, once.
    execute("insert into Sets (setName) values ('clips')");
    convert({dataFolder + "clips.dbt"});
  });
  desktop.then([&] {
    EXPECT_EQ(clipsOf("clips").size(), 1u);
    EXPECT_EQ(program->settings.clipsConverted, "Y");
    desktop.answerNext(platform::IDOK);
    convert({dataFolder + "clips.dbt"});
  });
  desktop.then([&] {
    EXPECT_EQ(boxes().back(), "clips appears to be a duplicate. Please select another.");
    EXPECT_EQ(clipsOf("clips").size(), 1u);
  });
  runToEnd();
}

TEST_F(ConversionTest, AHostileFileNameConvertsAsAPlainNameAndDeletesNothing) {
  writeContents();
  write(dataFolder + hostileName + ".dbt", oldRecord({"s", "2009-01-01 00:00:00", 1, "", 'T'}));
  desktop.then([&] { convert({"D:\\elsewhere\\" + hostileName + ".dbt"}); });
  desktop.then([&] {
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(clipsOf("td_clips").size(), 2u);
    EXPECT_EQ(setRows(hostileName), "1");
    EXPECT_EQ(clipsOf(hostileName).size(), 1u);
    EXPECT_EQ(program->settings.activeSetName, hostileName);
  });
  runToEnd();
}

TEST_F(ConversionTest, NamesAndFilesThatCannotBeConvertedAreToldAndLeaveNoRow) {
  writeContents();
  const std::string longName(40, 'n');
  write(dataFolder + longName + ".dbt", oldRecord({"s", "2009-01-01 00:00:00", 1, "", 'T'}));
  write(dataFolder + "notes.txt.dbt", oldRecord({"s", "2009-01-01 00:00:00", 1, "", 'T'}));
  desktop.then([&] {
    okToEverything();
    convert({dataFolder + longName + ".dbt", "D:\\elsewhere\\absent.dbt", dataFolder + "notes.txt"});
  });
  desktop.then([&] {
    EXPECT_EQ(boxes(), (Texts{"Sorry, but " + longName + " could not be added", "Invalid set dbt specified. absent",
                              "Information: This doesn't appear to be a valid .dbt file, please select another"}));
    EXPECT_EQ(desktop.messageBoxes[0].title, "Name Error");
    EXPECT_EQ(setRows(longName), "0");
    EXPECT_EQ(setRows("absent"), "0");
    // A name that is not a .dbt goes on as it is: notes.txt.dbt is read.
    EXPECT_EQ(clipsOf("notes.txt").size(), 1u);
    EXPECT_TRUE(program->view.pendingSetName.empty());
    desktop.answerer = nullptr;
  });
  runToEnd();
}

TEST_F(ConversionTest, ASetWithNothingToConvertIsTakenBackSoThatATryLaterIsNoDuplicate) {
  writeContents();
  write(dataFolder + "empty.dbt", std::string(437 * 3, ' ') + std::string(437, '\0'));
  desktop.then([&] {
    okToEverything();
    convert({dataFolder + "empty.dbt"});
  });
  desktop.then([&] {
    convert({dataFolder + "empty.dbt"});
  });
  desktop.then([&] {
    EXPECT_EQ(boxes(), Texts(2, "No clips were converted from empty.dbt."));
    EXPECT_EQ(setRows("empty"), "0");
    EXPECT_EQ(program->settings.activeSetName, "td_clips");
    desktop.answerer = nullptr;
  });
  runToEnd();
}

TEST_F(ConversionTest, UnreadableRecordsAreSkippedAndCountedAndTheRestIsImported) {
  writeContents();
  std::string garbage;
  for (int i = 0; i < 437 * 23; ++i) garbage += static_cast<char>((i * 7919) % 251 + 1);
  const std::string good = oldRecord({"good", "2009-01-01 00:00:00", 1, "", 'T'});
  const std::string unreadable = oldRecord({"lost", "2009-01-02 00:00:00", 9, "its list text", 'T'});
  write(dataFolder + "mixed.dbt", good + garbage + unreadable + good);
  std::string stuck;
  for (int i = 0; i < 22; ++i) stuck += unreadable;
  write(dataFolder + "stuck.dbt", stuck);
  write(dataFolder + "broken.dbt", good);
  core::SqliteApi failing = *core::linkedSqliteApi();
  failing.step = failingBlobStep;
  desktop.then([&] {
    okToEverything();
    ASSERT_EQ(program->db.DbBindLibrary(&failing), 1);
    convert({dataFolder + "mixed.dbt"});
  });
  desktop.then([&] {
    EXPECT_EQ(boxes(), (Texts{"Conversion of set mixed: 23 records skipped, 1 clips kept with their list text only (see the log)."}));
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Complete");
    EXPECT_EQ(query("select cSource, cText from cTbl where cSet = 'mixed' order by cKey"),
              (Rows{{"good", "the whole first text, longer than its index entry"},
                    {"lost", "its list text"},
                    {"good", "the whole first text, longer than its index entry"}}));
    EXPECT_EQ(program->settings.activeSetName, "mixed");
    // The first 20 named, the rest counted.
    EXPECT_EQ(logLinesWith(" of mixed.dbt skipped: it is not an old Tandrel clip"), 20);
    EXPECT_EQ(logLinesWith(" 4 more records of mixed.dbt skipped or kept with their list text only"), 1);
    // Reads that keep failing mean clip.db cannot be read: the set stops after 20 of them.
    convert({dataFolder + "stuck.dbt"});
  });
  desktop.then([&] {
    EXPECT_EQ(boxes().size(), 3u);
    EXPECT_EQ(boxes()[1], "The old clip database clip.db could not be read (Some kind of disk I/O error occurred). "
                          "The conversion of stuck stopped after 20 clips.");
    EXPECT_EQ(boxes()[2], "Conversion of set stuck: 0 records skipped, 20 clips kept with their list text only (see the log).");
    EXPECT_EQ(clipsOf("stuck").size(), 20u);
    ASSERT_EQ(program->db.DbBindLibrary(core::linkedSqliteApi()), 1);
    // clip.db that is no database: nothing starts.
    write(dataFolder + "clip.db", std::string(4096, 'g'));
    convert({dataFolder + "broken.dbt"});
  });
  desktop.then([&] {
    EXPECT_EQ(boxes().back(), "The old clip database " + dataFolder + "clip.db cannot be read (file is not a database). Can not continue. ");
    EXPECT_EQ(setRows("broken"), "0");
    std::remove(desktop.hostPath(dataFolder + "clip.db").c_str());
    convert({dataFolder + "broken.dbt"});
  });
  desktop.then([&] {
    EXPECT_EQ(boxes().back(), "No existing database for conversion. clip.db. Can not continue. ");
    EXPECT_EQ(boxes().size(), 5u);
    desktop.answerer = nullptr;
  });
  runToEnd();
}

TEST_F(ConversionTest, WhatTheUserDoesDuringTheImportWaitsUntilItIsDone) {
  writeContents();
  std::string records;
  for (int i = 0; i < 20; ++i) records += oldRecord({"s", "2009-01-01 00:00:00", 1, "", 'T'});
  write(dataFolder + "long.dbt", records);
  int clipsWhenAsked = -1;
  desktop.then([&] {
    convert({dataFolder + "long.dbt"});
    desktop.duringSleep = [&] {
      if (program->view.pendingSetName.empty() || clipsWhenAsked >= 0) return;
      // Half way, the user asks for a restore and then for the end of the program.
      clipsWhenAsked = std::stoi(query("select count(*) from cTbl where cSet = 'long'")[0][0]);
      desktop.fileDialogAnswers.push_back({});
      menu(ui::commandRestore);
      menu(ui::commandExit);
    };
  });
  desktop.answerNext(platform::IDOK);  // the restore's cancelled dialog
  EXPECT_EQ(run(), 0);
  EXPECT_GE(clipsWhenAsked, 0);
  EXPECT_LT(clipsWhenAsked, 20);
  EXPECT_EQ(clipsOf("long").size(), 20u);
  EXPECT_EQ(boxes(), (Texts{"Unable to Open the Database "}));
  EXPECT_EQ(desktop.fileDialogs.size(), 2u);
}

}  // namespace
