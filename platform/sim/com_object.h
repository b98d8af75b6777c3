// The part that every stand-in COM object shares: one reference count for all its interfaces,
// QueryInterface over a table of the interfaces it has, and the count of objects still alive.
#pragma once

#include "platform/platform.h"
#include "platform/sim/media.h"
#include "platform/sim/simulation.h"

#include <cstddef>
#include <cstdint>

namespace sim {

// COM objects of the stand-ins not yet released to their end.
SIM_API std::size_t live_com_objects();

namespace com {

SIM_API void object_created();
SIM_API void object_destroyed();

// One row of an object's interface table: the identifier, the name under which tests can make
// the query fail (null: it never fails), and the pointer a caller gets.
struct InterfaceEntry {
    const IID* iid;
    const char* failure_name;
    void* pointer;
};

// A stand-in object with the interfaces given; it ends at its last Release.
template <typename... Interfaces>
class Object : public Interfaces... {
public:
    Object() { object_created(); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        void* pointer = nullptr;
        HRESULT result = find_interface(iid, pointer);
        if (FAILED(result))
            return result;
        *object = pointer;
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~Object() { object_destroyed(); }

    // The interface for the identifier, or why there is none.
    virtual HRESULT find_interface(REFIID iid, void*& pointer) = 0;

    template <std::size_t N>
    static HRESULT answer(const InterfaceEntry (&entries)[N], REFIID iid, void*& pointer)
    {
        for (const InterfaceEntry& entry : entries) {
            if (!IsEqualGUID(iid, *entry.iid))
                continue;
            HRESULT failure;
            if (entry.failure_name && sim::media::injected(entry.failure_name, failure))
                return failure;
            pointer = entry.pointer;
            return S_OK;
        }
        return E_NOINTERFACE;
    }

private:
    ULONG references_ = 1;
};

// A new object of the class asked for the interface, as a class factory answers: the object
// lives on in the caller's reference, or ends at once when the query fails.
template <typename Class>
HRESULT create(REFIID iid, void** object)
{
    Class* created = new Class();
    HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

}  // namespace com
}  // namespace sim
