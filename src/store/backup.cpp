// The backup copy. The shell's copy pumps window messages while it asks and shows its progress, so
// a capture may write to the database meanwhile: the shell is therefore given a still copy taken
// first, never the live file, and the result is judged by what arrived, not only by the shell's word.
#include "store/backup.h"

#include "core/log.h"
#include "core/program.h"
#include "platform/shell.h"

namespace store {
namespace {

constexpr std::size_t compareChunk = 1u << 20;

bool sameContents(const std::string& a, const std::string& b) {
  const auto sizeA = platform::fileSize(a), sizeB = platform::fileSize(b);
  if (!sizeA || !sizeB || *sizeA != *sizeB) return false;
  const platform::Handle fileA = platform::openReadFile(a);
  const platform::Handle fileB = platform::openReadFile(b);
  bool same = fileA != 0 && fileB != 0;
  std::string chunkA, chunkB;
  while (same) {
    same = platform::readFromFile(fileA, compareChunk, chunkA) && platform::readFromFile(fileB, compareChunk, chunkB) &&
           chunkA == chunkB;
    if (chunkA.empty()) break;
  }
  if (fileA != 0) platform::closeFile(fileA);
  if (fileB != 0) platform::closeFile(fileB);
  return same;
}

std::string zeroSeparated(const std::vector<std::string>& paths) {
  std::string buffer;
  for (const std::string& path : paths) buffer += path + '\0';
  return buffer + '\0';
}

}  // namespace

int CopyFiles(const std::vector<std::string>& sources, const std::vector<std::string>& targets, bool& aborted) {
  return platform::shellFileOperation(platform::FO_COPY, zeroSeparated(sources), zeroSeparated(targets),
                                      platform::FOF_ALLOWUNDO, aborted);
}

std::string backupPath(const core::Program& p, char number) {
  return p.paths.dataFolder + "tdclips_" + number + ".dbk";
}

bool backUpDatabase(core::Program& p, const std::string& target) {
  // Under its own name in a folder of its own, so the shell's progress and question name it.
  const std::string folder = platform::tempFolder() + "td_backup\\";
  const std::string still = folder + "tdclips.db";
  platform::createFolder(folder);
  if (!platform::copyFile(p.paths.databasePath, still, true)) {
    core::writeLog(p, p.captureTime + " Backup could not copy the database to " + still);
    return false;
  }
  bool aborted = false;
  const int result = CopyFiles({still}, {target}, aborted);
  const bool whole = result == 0 && !aborted && sameContents(still, target);
  if (!whole)
    core::writeLog(p, p.captureTime + " Backup to " + target + " shell result " + std::to_string(result) +
                         (aborted ? " aborted" : "") + (result == 0 && !aborted ? " copied nothing" : ""));
  platform::deleteFile(still);
  platform::deleteFolderTree(folder);
  return whole;
}

}  // namespace store
