// TransportProblem where the DDEML is the system's own: it is always there.
#include "tools/probe/Transport.h"

namespace norvale {

std::string TransportProblem() { return {}; }

}  // namespace norvale
