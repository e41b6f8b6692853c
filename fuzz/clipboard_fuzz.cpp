// What another program puts on the clipboard, through the whole capture: the input is split into
// CF_TEXT bytes (no terminator promised, any size) and "Rich Text Format" bytes, copied from a
// foreign window into a running program on the simulated desktop, which must store or refuse
// them and end normally.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "app/startup.h"
#include "core/program.h"
#include "fuzz_check.h"
#include "platform/clipboard.h"
#include "platform/sim/desktop.h"
#include "platform/window.h"

namespace {

const std::string dataFolder = "C:\\Users\\tester\\AppData\\Roaming\\Korvane\\Tandrel\\";

void writeFile(sim::Desktop& d, const std::string& windowsPath, const std::string& bytes) {
  if (std::FILE* f = std::fopen(d.hostPath(windowsPath).c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // "text \0\0 rich": the first double zero splits the two formats; without one, all is text.
  const std::size_t split = input.find(std::string("\0\0", 2));
  const std::string text = input.substr(0, split);
  const std::string rich = split == std::string::npos ? std::string() : input.substr(split + 2);

  sim::Desktop& d = sim::desktop();
  d.reset();
  writeFile(d, dataFolder + "tandrel.ini", "Version = 2.8\r\nSaveHTML = 1\r\n");
  d.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  core::Program program;
  const platform::Hwnd writer = d.addForeignWindow("Writer", "C:\\Tools\\writer.exe");
  d.then([&] {
    std::map<unsigned, std::string> formats{{platform::CF_TEXT, text}};
    if (!rich.empty()) formats[platform::registerClipboardFormat("Rich Text Format")] = rich;
    d.copyFormats(formats, writer);
  });
  d.then([&] { d.send(program.mainWindow, platform::WM_QUERYENDSESSION, 0, 0); });
  const int exitCode = d.runProgram([&program] { app::startUp(program); });
  FUZZ_REQUIRE(exitCode == 0);
  d.tearDown();
  return 0;
}
