// The count of the stand-ins' COM objects still alive.
#include "platform/sim/com_object.h"

namespace sim {
namespace {

std::size_t live_objects = 0;

}  // namespace

std::size_t live_com_objects()
{
    return live_objects;
}

namespace com {

void object_created()
{
    ++live_objects;
}

void object_destroyed()
{
    --live_objects;
}

}  // namespace com
}  // namespace sim
