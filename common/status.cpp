#include "status.h"

#include <cstring>

namespace folios {

std::string ErrnoMessage(int error_number) { return std::strerror(error_number); }

}  // namespace folios
