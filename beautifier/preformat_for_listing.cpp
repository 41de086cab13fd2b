// The listing build's pre-format step.
#include "preformat_for_listing.h"

#include <sstream>

#include "reformat_file.h"

namespace folios {

bool PreformatForListing(const std::string& input, const std::string& output) {
  std::ostream report(nullptr);  // discarded; a null stream keeps memory flat
  std::ostringstream messages;
  return ReformatFile(input, output, report, messages) == kReformatOk;
}

}  // namespace folios
