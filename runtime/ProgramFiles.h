#pragma once

#include <string>
#include <vector>

namespace qb {

// The folder that holds the running program's file, or empty when it cannot
// tell.
std::string ProgramFolder();

// Runs program in place of this process: the same process, its open files
// and standard streams kept; arguments[0] is the name it is given. Returns
// only when program cannot be run, with the errno of the failure.
int ReplaceProcess(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace qb
