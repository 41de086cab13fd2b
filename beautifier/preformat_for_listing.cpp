// The listing build's pre-format step.
#include "preformat_for_listing.h"

#include <sstream>

#include "reformat_file.h"

namespace folios {

bool PreformatForListing(const std::string& input, const std::string& output, std::string* why) {
  std::ostream report(nullptr);  // discarded; a null stream keeps memory flat
  std::ostringstream messages;
  std::string reason;
  int rc = ReformatFile(input, output, report, messages, &reason);
  if (why) *why = rc == kReformatOk || rc == kReformatBinary ? std::string() : reason;
  return rc == kReformatOk;
}

}  // namespace folios
