#include "HarvestCli.h"

namespace qb {

bool WriteGridStatistics(const GridRows&, std::ostream&, std::ostream& err) {
  err << "--stats is not available in this version\n";
  return false;
}

}  // namespace qb
