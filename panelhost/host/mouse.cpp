// Hit-testing and tooltips over a gauge's mouse rectangle table.
#include "panelhost/host/mouse.h"

namespace panelhost {
namespace {

bool contains(const PIXEL_BOX& box, bool bounded, PIXEL_POINT point)
{
    if (!bounded)
        return true;
    return std::int64_t(point.x) >= box.x && std::int64_t(point.x) < std::int64_t(box.x) + box.width &&
           std::int64_t(point.y) >= box.y && std::int64_t(point.y) < std::int64_t(box.y) + box.height;
}

bool group_contains(const MouseTable& table, int group, PIXEL_POINT point)
{
    for (; group >= 0; group = table.groups[group].parent)
        if (!contains(table.groups[group].area, table.groups[group].bounded, point))
            return false;
    return true;
}

constexpr std::uint32_t MAX_TOOLTIP_ARGS = 64;

// The group a parent row opens inside the current one: its box within the enclosing area, or, of
// no size, the enclosing area itself.
MouseGroup opened_group(const std::vector<MouseGroup>& groups, int current, const MOUSERECT& entry)
{
    const MouseGroup& enclosing = groups[current];
    MouseGroup group;
    group.row = &entry;
    group.parent = current;
    group.depth = enclosing.depth + 1;
    if (entry.box.width == 0 && entry.box.height == 0) {
        group.area = enclosing.area;
        group.bounded = enclosing.bounded;
    } else {
        group.area = {enclosing.area.x + entry.box.x, enclosing.area.y + entry.box.y, entry.box.width, entry.box.height};
    }
    return group;
}

}  // namespace

MouseTable read_mouse_table(const MOUSERECT* table, PIXEL_POINT gauge_size)
{
    MouseTable result;
    MouseGroup gauge;
    gauge.area = {0, 0, gauge_size.x, gauge_size.y};
    gauge.bounded = gauge_size.x > 0 && gauge_size.y > 0;
    result.groups.push_back(gauge);
    if (!table) {
        result.faults.push_back("no table");
        return result;
    }
    int current = 0;
    std::size_t row = 0;
    for (; row < MAX_MOUSE_ROWS; ++row) {
        const MOUSERECT& entry = table[row];
        if (entry.rect_type == MOUSE_RECT_EOL)
            break;
        const MouseGroup& enclosing = result.groups[current];
        switch (entry.rect_type) {
        case MOUSE_RECT_PARENT:
            result.groups.push_back(opened_group(result.groups, current, entry));
            current = static_cast<int>(result.groups.size()) - 1;
            break;
        case MOUSE_RECT_CHILD:
            result.hot_spots.push_back(MouseHotSpot{
                &entry,
                {enclosing.area.x + entry.box.x, enclosing.area.y + entry.box.y, entry.box.width, entry.box.height},
                current});
            break;
        case MOUSE_RECT_END_PARENT:
            if (current == 0)
                result.faults.push_back("row " + std::to_string(row) + " closes a group that is not open");
            else
                current = result.groups[current].parent;
            break;
        case MOUSE_RECT_USER:
            if (!result.groups[current].tooltip)
                result.groups[current].tooltip = &entry;
            break;
        default:
            result.faults.push_back("row " + std::to_string(row) + " has unknown kind " +
                                    std::to_string(entry.rect_type));
            break;
        }
    }
    if (row == MAX_MOUSE_ROWS)
        result.faults.push_back("no end row within " + std::to_string(MAX_MOUSE_ROWS) + " rows");
    if (current != 0)
        result.faults.push_back("a group is not closed");
    return result;
}

MouseHit hit_test(const MouseTable& table, PIXEL_POINT point)
{
    MouseHit hit;
    for (const MouseHotSpot& hot_spot : table.hot_spots) {
        if (contains(hot_spot.area, true, point) && group_contains(table, hot_spot.group, point)) {
            hit.hot_spot = &hot_spot;
            hit.group = hot_spot.group;
            hit.relative = {point.x - hot_spot.area.x, point.y - hot_spot.area.y};
            return hit;
        }
    }
    int deepest = -1;
    for (std::size_t group = 0; group < table.groups.size(); ++group)
        if (group_contains(table, static_cast<int>(group), point) &&
            (deepest < 0 || table.groups[group].depth > table.groups[deepest].depth))
            deepest = static_cast<int>(group);
    hit.group = deepest;
    return hit;
}

Tooltip tooltip_for(const MouseTable& table, const MouseHit& hit, GAUGEHDR* gauge)
{
    Tooltip tooltip;
    if (hit.hot_spot && hit.hot_spot->row->help_id) {
        tooltip.kind = Tooltip::Help;
        tooltip.help_id = hit.hot_spot->row->help_id;
        return tooltip;
    }
    for (int group = hit.group; group >= 0; group = table.groups[group].parent) {
        const MouseGroup& entry = table.groups[group];
        if (entry.tooltip && entry.tooltip->function.text) {
            tooltip.kind = Tooltip::Text;
            tooltip.text = compose_tooltip(entry.tooltip->function.text,
                                           static_cast<const TOOLTIP_ARG*>(entry.tooltip->user_data),
                                           entry.tooltip->event_id, gauge);
            return tooltip;
        }
        if (entry.row && entry.row->help_id) {
            tooltip.kind = Tooltip::Help;
            tooltip.help_id = entry.row->help_id;
            return tooltip;
        }
    }
    return tooltip;
}

std::string compose_tooltip(const char* text, const TOOLTIP_ARG* args, std::uint32_t count, GAUGEHDR* gauge)
{
    std::string result;
    if (!args)
        count = 0;
    if (count > MAX_TOOLTIP_ARGS)
        count = MAX_TOOLTIP_ARGS;
    for (const char* cursor = text; *cursor;) {
        if (cursor[0] == '%' && cursor[1] >= '1' && cursor[1] <= '9') {
            const char* end = cursor + 1;
            std::uint32_t number = 0;
            while (*end >= '0' && *end <= '9' && number < 1000)
                number = number * 10 + std::uint32_t(*end++ - '0');
            if (end[0] == '!' && end[1] == 's' && end[2] == '!' && number >= 1 && number <= count) {
                const TOOLTIP_ARG& arg = args[number - 1];
                const char* insert = nullptr;
                if (arg.string_callback)
                    insert = arg.string_callback(0.0, number, nullptr, const_cast<MODULE_VAR*>(&arg.source_var), gauge);
                result += insert ? insert : "";
                cursor = end + 3;
                continue;
            }
        }
        result += *cursor++;
    }
    return result;
}

}  // namespace panelhost
