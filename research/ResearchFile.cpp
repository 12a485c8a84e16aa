#include "research/ResearchFile.h"

namespace qb {

std::unique_ptr<ResearchFile> ResearchFile::Open(const std::string& path, bool, std::string& error) {
  error = ResearchFileMessage(path, "research files are not built yet");
  return nullptr;
}

}  // namespace qb
