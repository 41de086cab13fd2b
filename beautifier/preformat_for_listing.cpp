// The listing build's pre-format step.
#include "preformat_for_listing.h"

#include <sstream>

#include "atomic_file.h"
#include "reformat_file.h"

namespace folios {

bool PreformatForListing(const std::string& input, const std::string& output) {
  // The backup is a courtesy the listing build has always left; the listing
  // itself reads the formatted copy, so the source is never written.
  CopyFileAtomically(input, input + ".orig");
  std::ostringstream report;
  std::ostringstream messages;
  return ReformatFile(input, output, report, messages) == kReformatOk;
}

}  // namespace folios
