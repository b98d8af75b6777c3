// Windows paths on the machine that runs the bench.
#include "platform/sim/paths.h"

#include <algorithm>

namespace sim {

std::string native_path(std::string path)
{
#if !defined(_WIN32)
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

}  // namespace sim
