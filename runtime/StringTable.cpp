#include "StringTable.h"

#include <map>

namespace qb {

namespace {

const std::map<int, std::string>& EnglishTable() {
  static const std::map<int, std::string> table = {
      // Button kind captions.
      {30100, "OK"},
      {30101, "Cancel"},
      {30102, "&Help"},
      {30103, "&Yes"},
      {30104, "&No"},
      {30105, "&Close"},
      {30106, "Abort"},
      {30107, "&Retry"},
      {30108, "&Ignore"},
      {30109, "&All"},
      {30110, "&Done"},
      {30111, "< &Back"},
      {30112, "&Next >"},
      {30113, "&Finish"},
      // Message dialog window captions.
      {30507, "Confirmation"},
      {30508, "Warning"},
      {30509, "Information"},
      {30510, "Stop"},
      // Calculator window texts.
      {31800, "Calculator"},
      {31801, "Error"},
      {31802, "&Stay on top"},
      {31803, "&Hide"},
  };
  return table;
}

// Maps an id of another language onto its English base id.
int EnglishId(int id) {
  if (id >= 30120 && id < 30440) {  // button captions: 30100 + 20 n + offset
    const int offset = (id - 30100) % 20;
    if (offset <= 13) return 30100 + offset;
  }
  if (id >= 30537 && id < 31000) {  // window captions: base + 30 n
    for (int base = 30507; base <= 30510; ++base)
      if ((id - base) % 30 == 0) return base;
  }
  if (id >= 31810 && id < 31950) {  // calculator texts: 31800 + 10 (n - 1) + k
    const int k = (id - 31800) % 10;
    if (k <= 3) return 31800 + k;
  }
  return id;
}

}  // namespace

std::string LoadStr(int id) {
  const auto& table = EnglishTable();
  auto it = table.find(id);
  if (it == table.end()) it = table.find(EnglishId(id));
  return it == table.end() ? std::string() : it->second;
}

}  // namespace qb
