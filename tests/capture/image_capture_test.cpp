// Image capture as the user meets it: a picture copied in another program becomes an image clip
// and shows on the Image tab; repeats, loops, hostile bitmaps and a full panel or none.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/dispatcher.h"
#include "capture/image_capture.h"
#include "ui/clip_list.h"
#include "platform/gadgets.h"
#include "support/pictures.h"
#include "ui/commands.h"
#include "ui/gadgets.h"

using namespace testing_support;

namespace {

class ImageCaptureTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    paint = desktop.addForeignWindow("Untitled - Paint", "C:\\Tools\\paint.exe");
  }
  void copyPicture(const std::string& dib) { desktop.copyFormats({{platform::CF_DIB, dib}}, paint); }
  // The next copies fall into one second of capture time.
  void startOfASecond() { desktop.ticks += 1000 - desktop.ticks % 1000; }
  Rows imageClips() { return query("select cText, cSource, cImageSW from cTbl where cImageSW = 'Y' order by cKey"); }
  std::string storedImage() { return query("select cImage from cTbl where cImageSW = 'Y' order by cKey desc")[0][0]; }
  bool logMentions(const std::string& part) {
    const auto lines = logLines();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; });
  }
  sim::Gadget& view() { return gadget(ui::gadgetImageView); }
  sim::Gadget& addItemButton() { return gadget(ui::gadgetAddItem); }

  platform::Hwnd paint = 0;
};

TEST_F(ImageCaptureTest, CopiedPictureBecomesAPngClipShownWholeAndCentred) {
  seed({{"td_clips", "a text", "", " "}}, {}, "Version = 2.8\r\nUsePNG = Y\r\n");
  desktop.then([&] { copyPicture(patternDib(64, 48)); });
  desktop.then([&] {
    EXPECT_EQ(listColumn(0)[0].substr(0, 11), "Image 64x48");
    EXPECT_EQ(desktop.listRows(ui::gadgetClipList).size(), 2u);
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabImage);
    ASSERT_TRUE(view().hasImage);
    // The box is the picture box's size; the picture sits in its middle at its own size.
    ASSERT_EQ(view().imageWidth, view().place.width);
    ASSERT_EQ(view().imageHeight, view().place.height);
    const core::Image expected = patternImage(64, 48);
    const int left = view().imageWidth / 2 - 32, top = view().imageHeight / 2 - 24;
    for (const auto& [x, y] : {std::pair{0, 0}, {63, 47}, {31, 20}})
      EXPECT_EQ(pixelAt(view().imagePixels.data(), view().imageWidth, left + x, top + y),
                pixelAt(expected.pixels.data(), 64, x, y));
    EXPECT_EQ(pixelAt(view().imagePixels.data(), view().imageWidth, 0, 0), 0xF0F0F0u);  // the panel grey
    // Pictures are kept, so there is nothing to add by hand; the new clip can be saved as a file.
    EXPECT_EQ(addItemButton().background, ui::colour::disabledBackground);
    EXPECT_TRUE(gadget(ui::gadgetSaveImage).enabled);
  });
  runToEnd();
  EXPECT_EQ(imageClips(), (Rows{{"Image 64x48", "Untitled - Paint", "Y"}}));
  const std::string stored = storedImage();
  ASSERT_EQ(stored.compare(0, 4, "\x89PNG"), 0);
  const core::DecodedImage decoded = core::decodeImage(stored);
  ASSERT_TRUE(decoded.ok());
  EXPECT_EQ(decoded.image.pixels, patternImage(64, 48).pixels);
}

TEST_F(ImageCaptureTest, WithoutUsePngThePictureIsStoredAsJpeg) {
  seed({});
  desktop.then([&] { copyPicture(patternDib(40, 30)); });
  runToEnd();
  const std::string stored = storedImage();
  EXPECT_EQ(stored.compare(0, 3, "\xFF\xD8\xFF"), 0);
  const core::DecodedImage decoded = core::decodeImage(stored);
  EXPECT_TRUE(decoded.ok() && decoded.image.width == 40 && decoded.image.height == 30);
}

TEST_F(ImageCaptureTest, UnsavedPictureIsShownAndAddedWholeByHandOnce) {
  seed({{"td_clips", "a text", "", " "}}, {}, "Version = 2.8\r\nSaveImages = N\r\nUsePNG = Y\r\n");
  const int width = 1400, height = 900;  // larger than the box: the preview is a scaled copy
  desktop.then([&] { copyPicture(patternDib(width, height)); });
  desktop.then([&] {
    EXPECT_TRUE(imageClips().empty());
    EXPECT_TRUE(view().hasImage);
    EXPECT_EQ(addItemButton().background, ui::colour::lightCyan);
    EXPECT_EQ(addItemButton().textColour, ui::colour::black);
    post(ui::gadgetAddItem);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Image Saved");
    post(ui::gadgetAddItem);  // the same picture again
  });
  desktop.then([&] { EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Invalid Selection"); });
  runToEnd();
  EXPECT_EQ(imageClips(), (Rows{{"Image 1400x900", "Untitled - Paint", "Y"}}));
  const core::DecodedImage decoded = core::decodeImage(storedImage());
  ASSERT_TRUE(decoded.ok());
  EXPECT_EQ(decoded.image.pixels, patternImage(width, height).pixels);
}

TEST_F(ImageCaptureTest, SamePictureTwiceInASecondIsStoredOnceAndAgainASecondLater) {
  seed({});
  desktop.then([&] {
    startOfASecond();
    copyPicture(patternDib(8, 8));
    copyPicture(patternDib(8, 8));
  });
  desktop.then([&] {
    EXPECT_EQ(imageClips().size(), 1u);
    desktop.ticks += 1000;
    copyPicture(patternDib(8, 8));
  });
  runToEnd();
  EXPECT_EQ(imageClips().size(), 2u);
}

TEST_F(ImageCaptureTest, PictureRepeatedTwentyTimesInASecondPausesCaptureAndTandrelGoesOn) {
  seed({}, {}, "Version = 2.8\r\nSupressDuplicates = N\r\n");
  desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  const platform::Hwnd editor = desktop.addForeignWindow("Notes", "C:\\Tools\\notes.exe");
  desktop.then([&] {
    startOfASecond();
    for (int i = 0; i < 21; ++i) copyPicture(patternDib(8, 8));
  });
  desktop.then([&] {
    EXPECT_EQ(program->capture.capturing, 0);
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Inactive");
    desktop.copyText("not captured while paused", editor);
  });
  runToEnd();  // ends by the session's end, not by the loop
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].text.substr(0, 70),
            "Duplicate Clip Loop detected. Program paused to avoid data corruption.");
  EXPECT_NE(desktop.messageBoxes[0].text.find("Clip collecting is now off"), std::string::npos);
  EXPECT_TRUE(logMentions("Duplicate Clip Loop detected"));
  EXPECT_EQ(query("select count(*) from cTbl where cImageSW = 'Y'")[0][0], "20");
  EXPECT_EQ(query("select count(*) from cTbl where cText = 'not captured while paused'")[0][0], "0");
}

TEST_F(ImageCaptureTest, HostileAndExtremeBitmapsLeaveTandrelRunningWithALogLine) {
  seed({});
  // 4 x 2 pixels of 8 bits, a table of 2 colours, and a pixel that names a third.
  std::string shortTable(40 + 8 + 8, '\0');
  shortTable[0] = 40;
  shortTable[4] = 4;
  shortTable[8] = 2;
  shortTable[12] = 1;
  shortTable[14] = 8;
  shortTable[32] = 2;
  shortTable[48 + 5] = 2;
  desktop.then([&] {
    copyPicture(patternDib(70000, 1));  // wider than JPEG can hold
    copyPicture(patternDib(1, 2000));
    copyPicture(shortTable);
  });
  desktop.then([&] {
    // The tall line still shows, one pixel wide at the least.
    ASSERT_TRUE(view().hasImage);
    const int middle = view().imageWidth / 2;
    EXPECT_NE(pixelAt(view().imagePixels.data(), view().imageWidth, middle, view().imageHeight / 2), 0xF0F0F0u);
  });
  runToEnd();
  EXPECT_TRUE(logMentions("Image not captured: JPEG cannot hold a picture of 70000 x 1 pixels"));
  EXPECT_TRUE(logMentions("Clipboard image refused: bitmap colour index past its colour table of 2 entries"));
  EXPECT_EQ(imageClips(), (Rows{{"Image 1x2000", "Untitled - Paint", "Y"}}));
}

TEST_F(ImageCaptureTest, CollapsedPanelShowsNoPreviewButStoresThePicture) {
  seed({});
  desktop.then([&] {
    platform::moveGadget(ui::gadgetImageView, 5, 5, 525, 0);
    copyPicture(patternDib(64, 48));
  });
  desktop.then([&] { EXPECT_FALSE(view().hasImage); });
  runToEnd();
  EXPECT_EQ(imageClips().size(), 1u);
}

TEST_F(ImageCaptureTest, PictureThatCannotBeStoredGetsNoRow) {
  seed({{"td_clips", "a text", "", " "}});
  desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  desktop.then([&] {
    execute("drop table cTbl");  // every insert fails from here on
    copyPicture(patternDib(16, 16));
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.listRows(ui::gadgetClipList).size(), 1u);
    EXPECT_EQ(program->view.rows.size(), 1u);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
  });
  runToEnd();
}

TEST_F(ImageCaptureTest, TimingLinesNameThePictureSteps) {
  seed({}, {}, "Version = 2.8\r\nDebugTiming = Y\r\n");
  desktop.then([&] { copyPicture(patternDib(64, 48)); });
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 0);
    program->view.copyOnShow = 1;
    ui::showClipContent(*program);
  });
  runToEnd();
  const auto lines = logLines();
  auto timing = [&](const std::string& start, const std::string& step) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.compare(0, start.size(), start) == 0 && l.find(step) != std::string::npos;
    });
  };
  EXPECT_TRUE(timing("timing clipboard change: source", " read "));
  EXPECT_TRUE(timing("timing clipboard change: source", " encode "));
  EXPECT_TRUE(timing("timing clipboard change: source", " preview "));
  EXPECT_TRUE(timing("timing show clip: read ", " decode "));
  EXPECT_TRUE(timing("timing show clip: read ", " picture shown and copied "));
}

}  // namespace
