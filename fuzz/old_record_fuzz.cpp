// The old set index files: whatever bytes a .dbt file holds, the reader takes whole records and
// stops, and each record parses into fields that stay inside their places in the layout.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text.h"
#include "fuzz_check.h"
#include "store/old_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  std::size_t at = 0;
  const store::ReadBytes fromMemory = [&](std::size_t n, std::string& bytes) {
    bytes = file.substr(at, n);
    at += bytes.size();
    return true;
  };
  std::string bytes;
  std::size_t records = 0;
  for (;;) {
    const store::OldRead got = store::readOldRecord(fromMemory, bytes);
    if (got == store::OldRead::End) break;
    FUZZ_REQUIRE(got != store::OldRead::Failed);
    if (got == store::OldRead::ShortTail) {
      FUZZ_REQUIRE(!bytes.empty() && bytes.size() < store::oldRecordSize && at == size);
      break;
    }
    FUZZ_REQUIRE(bytes.size() == store::oldRecordSize);
    FUZZ_REQUIRE(++records <= size / store::oldRecordSize);

    store::OldRecord record;
    const store::OldRecordKind kind = store::parseOldRecord(bytes, record);
    if (kind != store::OldRecordKind::Clip) continue;
    FUZZ_REQUIRE(record.type == 'T' || record.type == 'F' || record.type == 'I');
    FUZZ_REQUIRE(record.source.size() <= 56 && record.source == core::trimBlanks(record.source));
    FUZZ_REQUIRE(record.date.size() <= 19);
    FUZZ_REQUIRE(record.text.size() <= 250 && record.text == core::trimBlanks(record.text));
    for (const std::string* field : {&record.source, &record.date, &record.text})
      FUZZ_REQUIRE(field->find('\0') == std::string::npos);
    if (record.blob) {
      FUZZ_REQUIRE(*record.blob <= 999999u);
      const std::string key = store::oldBlobKey(*record.blob, 'T');
      FUZZ_REQUIRE(key.find_first_not_of("0123456789") == key.size() - 1);
    }
  }
  FUZZ_REQUIRE(records == size / store::oldRecordSize);
  return 0;
}
