// A library that allocates in known ways, for checking whom the allocation counter blames.
#include <cstdlib>
#include <string>
#include <vector>

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

volatile void* sink;
// Kept until the next call, so that the compiler cannot drop a new and delete pair.
int* kept_int;
void* kept_block;

}  // namespace

PROBE_EXPORT void probe_new()
{
    delete kept_int;
    kept_int = new int(7);
}

PROBE_EXPORT void probe_malloc()
{
    std::free(kept_block);
    kept_block = std::malloc(64);
}

// The string's buffer is made inside the C++ library, on this library's behalf.
PROBE_EXPORT void probe_string()
{
    std::string text(200, 'x');
    sink = text.data();
}

// Two buffers: the vector's first and its regrowth.
PROBE_EXPORT void probe_vector()
{
    std::vector<int> values;
    values.push_back(1);
    values.push_back(2);
    sink = values.data();
}

PROBE_EXPORT void probe_nothing()
{
    static char buffer[64];
    buffer[0] = 1;
    sink = buffer;
}

// What the callback allocates is its own code's, not this library's.
PROBE_EXPORT void probe_call_back(void (*callback)())
{
    callback();
}
