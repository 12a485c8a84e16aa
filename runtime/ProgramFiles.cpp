#include "runtime/ProgramFiles.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace qb {

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string();
}

int ReplaceProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  return errno;
}

}  // namespace qb
