// The part that every stand-in COM object shares: one reference count for all its interfaces,
// QueryInterface over the interfaces it has, and the count of objects still alive.
#pragma once

#include "platform/platform.h"
#include "platform/sim/com_interfaces.h"
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

// What QueryInterface knows of an interface: its identifier, and the name under which tests can
// make a query for it fail, on an object whose queries may fail.
struct Query {
    const IID* iid;
    const char* failure_name;
};

template <typename Interface>
extern const Query query;
// interface                                   identifier                failure name
template <> inline const Query query<IUnknown>           = {&IID_IUnknown,           "QueryInterface(IUnknown)"};
template <> inline const Query query<IDirectSound8>      = {&IID_IDirectSound8,      "QueryInterface(IDirectSound8)"};
template <> inline const Query query<IDirectSoundBuffer> = {&IID_IDirectSoundBuffer, "QueryInterface(IDirectSoundBuffer)"};
template <> inline const Query query<IGraphBuilder>      = {&IID_IGraphBuilder,      "QueryInterface(IGraphBuilder)"};
template <> inline const Query query<IMediaControl>      = {&IID_IMediaControl,      "QueryInterface(IMediaControl)"};
template <> inline const Query query<IMediaEventEx>      = {&IID_IMediaEventEx,      "QueryInterface(IMediaEventEx)"};
template <> inline const Query query<IMediaSeeking>      = {&IID_IMediaSeeking,      "QueryInterface(IMediaSeeking)"};
template <> inline const Query query<IBasicAudio>        = {&IID_IBasicAudio,        "QueryInterface(IBasicAudio)"};
template <> inline const Query query<IVideoWindow>       = {&IID_IVideoWindow,       "QueryInterface(IVideoWindow)"};

// Whether tests can make an object's queries fail, each by its interface's failure name.
enum class Queries { never_fail, may_fail };

// A stand-in object with the interfaces given, each as the build's header set declares it; its
// IUnknown is its first interface's. It ends at its last Release.
template <typename First, typename... Others>
class Object : public Complete<First>, public Complete<Others>... {
public:
    explicit Object(Queries queries = Queries::never_fail) : queries_(queries) { object_created(); }
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

private:
    struct Answer {
        const Query& query;
        void* pointer;
    };

    // The interface for the identifier, or why there is none.
    HRESULT find_interface(REFIID iid, void*& pointer)
    {
        const Answer answers[] = {
            {query<IUnknown>, static_cast<First*>(this)},
            {query<First>, static_cast<First*>(this)},
            {query<Others>, static_cast<Others*>(this)}...,
        };
        for (const Answer& answer : answers) {
            if (!IsEqualGUID(iid, *answer.query.iid))
                continue;
            HRESULT failure;
            if (queries_ == Queries::may_fail && sim::media::injected(answer.query.failure_name, failure))
                return failure;
            pointer = answer.pointer;
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    Queries queries_;
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
