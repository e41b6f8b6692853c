// The bitmap reader: whatever another program puts on the clipboard as a device-independent
// bitmap.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/dib.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string block(reinterpret_cast<const char*>(data), size);
  const core::DibInfo info = core::inspectDib(block);
  FUZZ_REQUIRE(info.ok == info.refusal.empty());
  const core::DecodedImage decoded = core::dibToImage(block);
  FUZZ_REQUIRE(decoded.ok() == info.ok);
  if (!decoded.ok()) return 0;
  FUZZ_REQUIRE(decoded.image.valid());
  FUZZ_REQUIRE(decoded.image.width == info.width && decoded.image.height == info.height);

  // The bitmap we make of the picture reads back to the same pixels.
  const core::EncodedImage ours = core::imageToDib(decoded.image);
  FUZZ_REQUIRE(ours.ok());
  const core::DecodedImage again = core::dibToImage(ours.bytes);
  FUZZ_REQUIRE(again.ok() && again.image.pixels == decoded.image.pixels);
  return 0;
}
