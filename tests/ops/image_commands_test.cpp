// Image clips after capture: shown on the Image tab, put back on the clipboard as a bitmap, saved
// as files, and a stored picture that is no picture.
#include <gtest/gtest.h>

#include "platform/gadgets.h"
#include "support/pictures.h"
#include "ui/clip_list.h"
#include "ui/commands.h"
#include "ui/gadgets.h"

using namespace testing_support;

namespace {

const std::string savedName = dataFolder + "holiday";

class ImageClipTest : public MainWindowTest {
 protected:
  // A text clip, then a 64 x 48 PNG picture, then (newest, on top) a 30 x 20 JPEG one.
  void seedPictures() {
    seed({{"td_clips", "a text", "", " "}});
    execute(imageClipSql(png64x48, "Image 64x48", "Paint") + ";" + imageClipSql(jpeg30x20, "Image 30x20", "Viewer"));
  }
  void command(int id) { desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, id, 0, 0}); }
  void show(int row) {
    selectOnly(ui::gadgetClipList, row);
    ui::clickSelectClip(*program);
  }
  std::string statusLine() { return gadget(ui::gadgetStatusLine).text; }
  sim::Gadget& view() { return gadget(ui::gadgetImageView); }
  void saveAs(const std::string& name, int filter) { desktop.saveDialogAnswers.push_back(platform::SaveFileAnswer{name, filter}); }

  const std::string png64x48 = core::encodeImage(patternImage(64, 48), core::ImageFormat::Png).bytes;
  const std::string jpeg30x20 = core::encodeImage(patternImage(30, 20), core::ImageFormat::Jpeg).bytes;
};

TEST_F(ImageClipTest, SelectedPictureIsShownAndADoubleClickPutsItsBitmapBack) {
  seedPictures();
  desktop.then([&] {
    show(1);
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabImage);
    ASSERT_TRUE(view().hasImage);
    const int left = view().imageWidth / 2 - 32, top = view().imageHeight / 2 - 24;
    EXPECT_EQ(pixelAt(view().imagePixels.data(), view().imageWidth, left + 5, top + 40),
              pixelAt(patternImage(64, 48).pixels.data(), 64, 5, 40));
    EXPECT_TRUE(desktop.clipboard.empty());  // shown, not copied
    post(ui::gadgetClipList, platform::GADGET_DOUBLE_CLICK);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.clipboard.count(platform::CF_DIB), 1u);
    EXPECT_EQ(desktop.clipboard.count(platform::CF_TEXT), 0u);
    const core::DecodedImage back = core::dibToImage(desktop.clipboard[platform::CF_DIB]);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.image.pixels, patternImage(64, 48).pixels);
    EXPECT_EQ(listColumn(0)[0].substr(0, 11), "Image 64x48");  // activated: moved to the top
  });
  runToEnd();
  EXPECT_EQ(query("select count(*) from cTbl")[0][0], "3");  // our own copy is not captured
}

TEST_F(ImageClipTest, StoredBytesThatAreNoPictureFailAndLeaveTheClipboardAlone) {
  seed({{"td_clips", "a text", "", " "}});
  execute(imageClipSql(std::string("\x89PNG\r\n\x1a\n garbage", 17), "Image 9x9", "Paint"));
  desktop.then([&] {
    desktop.clipboard = {{platform::CF_TEXT, std::string("the user's text") + '\0'}};
    show(0);
    EXPECT_EQ(statusLine(), "Action Failed");
    post(ui::gadgetClipToClipboard);
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Action Failed");
    EXPECT_EQ(clipboardText(), "the user's text");
    EXPECT_FALSE(view().hasImage);
  });
  runToEnd();
}

TEST_F(ImageClipTest, SaveImageAsFileWritesTheShownOlderPictureAsStored) {
  seedPictures();
  desktop.then([&] {
    show(1);  // the older picture, while a newer one was captured after it
    saveAs(savedName + ".png", 2);
    post(ui::gadgetSaveImage);
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Image Saved");
    ASSERT_EQ(desktop.saveDialogs.size(), 1u);
    EXPECT_EQ(desktop.saveDialogs[0].title, "Select Filename");
    EXPECT_EQ(desktop.saveDialogs[0].startName, "*.*");
    EXPECT_EQ(desktop.saveDialogs[0].filter, "JPEG image (*.JPG)|*.jpg|PNG Image (*.PNG)|*.png");
    EXPECT_EQ(program->settings.imageExtension, ".png");
    saveAs(savedName, 1);
    command(ui::commandSaveImageFromPopup);
  });
  runToEnd();
  // The PNG is the stored bytes themselves; the extension is added even to a name that has one.
  EXPECT_EQ(read(savedName + ".png.png"), png64x48);
  const core::DecodedImage jpeg = core::decodeImage(read(savedName + ".jpg"));
  ASSERT_TRUE(jpeg.ok());
  EXPECT_EQ(read(savedName + ".jpg").compare(0, 3, "\xFF\xD8\xFF"), 0);
  EXPECT_TRUE(jpeg.image.width == 64 && jpeg.image.height == 48);
}

TEST_F(ImageClipTest, OverwriteIsAskedAndAFailedSaveKeepsTheOldFile) {
  seedPictures();
  write(savedName + ".jpg", "the user's old picture");
  desktop.then([&] {
    saveAs(savedName, 1);
    desktop.answerNext(platform::IDNO);
    command(ui::commandSaveImageFromPopup);
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Not Saved");
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Do you wish to overwrite " + savedName + ".jpg");
    EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel");
    EXPECT_EQ(read(savedName + ".jpg"), "the user's old picture");

    desktop.diskFull = true;
    saveAs(savedName, 1);
    desktop.answerNext(platform::IDYES);
    command(ui::commandSaveImageFromPopup);
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Not Saved");
    EXPECT_EQ(read(savedName + ".jpg"), "the user's old picture");
    EXPECT_FALSE(exists(savedName + ".jpg.tdsave"));

    desktop.diskFull = false;
    saveAs(savedName, 1);
    desktop.answerNext(platform::IDYES);
    command(ui::commandSaveImageFromPopup);
  });
  desktop.then([&] { EXPECT_EQ(statusLine(), "Image Saved"); });
  runToEnd();
  EXPECT_EQ(read(savedName + ".jpg"), jpeg30x20);
  EXPECT_FALSE(exists(savedName + ".jpg.tdsave"));
}

TEST_F(ImageClipTest, CancelledSaveAndTextClipSaveNothing) {
  seedPictures();
  desktop.then([&] {
    desktop.saveDialogAnswers.push_back(std::nullopt);
    command(ui::commandSaveImageFromPopup);
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Not Saved");
    show(2);  // the text clip: no picture on the Image tab
    command(ui::commandSaveImageFromPopup);
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Action Failed");
    EXPECT_EQ(desktop.saveDialogs.size(), 1u);
  });
  runToEnd();
}

TEST_F(ImageClipTest, SaveImageInClipsListCopiesTheShownPictureOnlyWhilePicturesAreNotKept) {
  seedPictures();
  desktop.then([&] { command(ui::commandSaveImageInList); });
  desktop.then([&] {
    EXPECT_EQ(query("select count(*) from cTbl")[0][0], "3");
    program->settings.saveImages = "N";
    program->settings.usePng = 1;  // the shown picture's own format: its bytes are kept as they are
    show(1);
    command(ui::commandSaveImageInList);
  });
  desktop.then([&] {
    EXPECT_EQ(program->settings.saveImages, "N");
    EXPECT_EQ(listColumn(0)[0].substr(0, 11), "Image 64x48");
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{0}));
  });
  runToEnd();
  const Rows added = query("select cSource, cImage from cTbl order by cKey desc limit 1");
  EXPECT_EQ(added[0][0], "Paint");
  EXPECT_EQ(added[0][1], png64x48);  // the stored bytes, not a preview, not encoded again
}

}  // namespace
