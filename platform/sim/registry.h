// The table of live objects that every stand-in keeps: each object found by its handle, listed in
// the order of the handles for the bench and the tests that check nothing is left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <type_traits>
#include <utility>
#include <vector>

namespace sim {

// Objects stay where they are while others come and go, so that a caller may hold one across a
// call that adds or removes another (a window procedure that makes or ends a window).
template <typename Handle, typename Object>
class Registry {
public:
    // first_number: where the handles that the table makes up begin (add_numbered).
    explicit Registry(std::uintptr_t first_number = 0) : next_number_(first_number) {}

    // The object under its handle, in place of one that had it.
    Object& add(const Handle& handle, Object object)
    {
        return objects_.insert_or_assign(handle, std::move(object)).first->second;
    }

    // The object under a handle made up for it: numbers four apart, as the system's handles are,
    // so that a handle is never given twice in a process.
    Handle add_numbered(Object object)
    {
        Handle handle = reinterpret_cast<Handle>(next_number_);
        next_number_ += 4;
        add(handle, std::move(object));
        return handle;
    }

    // The object of the handle; null when the handle names none.
    Object* find(const Handle& handle)
    {
        auto found = objects_.find(handle);
        return found == objects_.end() ? nullptr : &found->second;
    }

    // The first object, in the order of the handles, for which match is true; null for none.
    template <typename Match>
    const Object* find_if(Match match) const
    {
        for (const auto& [handle, object] : objects_)
            if (match(object))
                return &object;
        return nullptr;
    }

    bool holds(const Handle& handle) const { return objects_.count(handle) != 0; }

    // Whether the handle named an object; the object ends here.
    bool remove(const Handle& handle) { return objects_.erase(handle) != 0; }

    std::size_t count() const { return objects_.size(); }

    auto begin() const { return objects_.begin(); }
    auto end() const { return objects_.end(); }

private:
    std::map<Handle, Object> objects_;
    std::uintptr_t next_number_;
};

// The devices that modules reach through COM faces, each able to say its face() and its info():
// the state of the one behind the face, false for none; the state of each, in the order of their
// handles.
template <typename Handle, typename Device, typename Face, typename Info>
bool info_of(const Registry<Handle, const Device*>& devices, const Face* face, Info& info)
{
    const Device* const* found =
        devices.find_if([face](const Device* device) { return device->face() == face; });
    if (!found)
        return false;
    info = (*found)->info();
    return true;
}

template <typename Handle, typename Device>
auto infos_of(const Registry<Handle, const Device*>& devices)
{
    std::vector<std::decay_t<decltype(std::declval<const Device&>().info())>> infos;
    for (const auto& [handle, device] : devices)
        infos.push_back(device->info());
    return infos;
}

}  // namespace sim
