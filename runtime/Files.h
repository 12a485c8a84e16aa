#pragma once

#include <string>
#include <string_view>

namespace qb {

// Writes the whole file or nothing: the bytes go to a temporary file beside it,
// which then replaces the file. Throws Exception
// 'Cannot write file "<name>". <reason>' and leaves any earlier file as it was.
void WriteFileWhole(const std::string& fileName, std::string_view bytes);

}  // namespace qb
