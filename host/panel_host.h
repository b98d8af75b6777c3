// Host panel-service interface: the records, constants and service-table slots shared by gauges and host.
#pragma once

#include <cstddef>
#include <cstdint>

// Every entry point across the gauge boundary, both ways, uses the host's calling convention:
// __stdcall on 32-bit Windows, the platform default elsewhere.
#if defined(_WIN32) && !defined(_WIN64)
#define HOST_CALL __stdcall
#define HOST_LAYOUT_32 1
#else
#define HOST_CALL
#define HOST_LAYOUT_32 0
#endif

// The two exported records of a gauge module. Variables at global scope keep their plain names,
// so the exports read "ImportTable" and "Linkage".
#if defined(_WIN32)
#define GAUGE_EXPORT __declspec(dllexport)
#else
#define GAUGE_EXPORT __attribute__((visibility("default")))
#endif

// The 32-bit host packs its records to 4 bytes: a 64-bit float sits at any 4-byte offset.
#if HOST_LAYOUT_32
#pragma pack(push, 4)
#endif

struct GAUGEHDR;
struct ELEMENT_HEADER;
struct MODULE_VAR;
struct PANEL_SERVICES;

// ---- constants ----------------------------------------------------------------------------------

constexpr std::uint32_t IMPORT_ID_PANELS = 0x0F;  // the import entry that carries the service table
constexpr std::uint32_t MODULE_ID_GAUGES = 0x13;  // the only module id the host accepts

constexpr std::uint32_t GAUGE_HEADER_VERSION_610 = 610;
constexpr std::uint32_t GAUGE_HEADER_VERSION_700 = 700;

// element kinds
constexpr std::uint32_t ELEMENT_TYPE_STATIC_IMAGE = 0;
constexpr std::uint32_t ELEMENT_TYPE_NEEDLE = 1;
constexpr std::uint32_t ELEMENT_TYPE_STRING = 2;
constexpr std::uint32_t ELEMENT_TYPE_ICON = 4;

// image flags
constexpr std::uint32_t IMAGE_USE_TRANSPARENCY = 0x00000001;
constexpr std::uint32_t IMAGE_USE_ERASE = 0x00000002;
constexpr std::uint32_t IMAGE_USE_BRIGHT = 0x00000004;
constexpr std::uint32_t IMAGE_USE_LUMINOUS = 0x00004000;
constexpr std::uint32_t IMAGE_HIDDEN = 0x40000000;

// icon picture selection
constexpr std::uint32_t ICON_SWITCH_TYPE_SET_CUR_ICON = 0;  // the value is the picture index

// mouse rectangle kinds
constexpr std::uint32_t MOUSE_RECT_EOL = 0;
constexpr std::uint32_t MOUSE_RECT_PARENT = 1;
constexpr std::uint32_t MOUSE_RECT_CHILD = 2;
constexpr std::uint32_t MOUSE_RECT_END_PARENT = 3;
constexpr std::uint32_t MOUSE_RECT_USER = 4;  // a tooltip row

// cursors
constexpr std::int32_t CURSOR_NONE = -1;
constexpr std::int32_t CURSOR_NORMAL = 0;
constexpr std::int32_t CURSOR_UPARROW = 1;
constexpr std::int32_t CURSOR_DOWNARROW = 2;
constexpr std::int32_t CURSOR_LEFTARROW = 3;
constexpr std::int32_t CURSOR_RIGHTARROW = 4;
constexpr std::int32_t CURSOR_HAND = 5;

// mouse flags
constexpr std::uint32_t MOUSE_LEFTSINGLE = 0x20000000;
constexpr std::uint32_t MOUSE_DOWN_REPEAT = 0x00200000;

// gauge callback service codes; the host sends a PRE and a POST code around each routine
constexpr std::int32_t PANEL_SERVICE_PRE_QUERY = 0;
constexpr std::int32_t PANEL_SERVICE_POST_QUERY = 1;
constexpr std::int32_t PANEL_SERVICE_PRE_INSTALL = 2;
constexpr std::int32_t PANEL_SERVICE_POST_INSTALL = 3;
constexpr std::int32_t PANEL_SERVICE_PRE_INITIALIZE = 4;
constexpr std::int32_t PANEL_SERVICE_POST_INITIALIZE = 5;
constexpr std::int32_t PANEL_SERVICE_PRE_UPDATE = 6;
constexpr std::int32_t PANEL_SERVICE_POST_UPDATE = 7;
constexpr std::int32_t PANEL_SERVICE_PRE_GENERATE = 8;
constexpr std::int32_t PANEL_SERVICE_POST_GENERATE = 9;
constexpr std::int32_t PANEL_SERVICE_PRE_DRAW = 10;
constexpr std::int32_t PANEL_SERVICE_POST_DRAW = 11;
constexpr std::int32_t PANEL_SERVICE_PRE_KILL = 12;
constexpr std::int32_t PANEL_SERVICE_POST_KILL = 13;

// ---- small records -------------------------------------------------------------------------------

struct PIXEL_POINT {
    std::int32_t x;
    std::int32_t y;
};

struct PIXEL_BOX {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

// One (failure key, action) pair; a list ends with the pair (0, 0).
struct FAILURE_RECORD {
    std::uint32_t key;
    std::uint32_t action;
};

// A sim variable as a module binds and reads it.
struct MODULE_VAR {
    std::uint32_t id;         // 0: the host variable's id
    void* pointer;            // 4: the host's slot, set by initialize_var
    std::uint32_t type;       // 8
    double value;             // 12: current value, set by lookup_var
    double previous_value;    // 20: value before the last lookup
};

// A loaded picture. The host allocates it at install; the three fields below begin every picture
// record and are what a gauge may read. The host keeps its own data behind them.
struct HOST_IMAGE {
    std::uint32_t flags;
    std::int32_t width;
    std::int32_t height;
};

// One needle table row: the gauge point the needle turns toward for a value.
struct NONLINEARITY {
    PIXEL_POINT point;
    double value;
};

// ---- entry-point forms ---------------------------------------------------------------------------

typedef void(HOST_CALL* MODULE_ROUTINE)();
typedef void(HOST_CALL* GAUGE_ROUTINE)();
typedef void(HOST_CALL* GAUGE_INSTALL_ROUTINE)(void* resource_handle);
typedef void(HOST_CALL* GAUGE_GENERATE_ROUTINE)(std::uint32_t phase);
typedef void(HOST_CALL* GAUGE_CALLBACK)(GAUGEHDR* gauge, std::int32_t service_id, std::uintptr_t extra_data);
typedef double(HOST_CALL* ELEMENT_CALLBACK)(ELEMENT_HEADER* element);
typedef std::int32_t(HOST_CALL* MOUSE_HANDLER)(PIXEL_POINT* point, std::uint32_t mouse_flags);
// Tooltip string argument: 24 bytes of arguments on the 32-bit host.
typedef const char*(HOST_CALL* TOOLTIP_STRING_CALLBACK)(double number, std::uint32_t id, const char* text,
                                                         MODULE_VAR* source, GAUGEHDR* gauge);

// ---- elements ------------------------------------------------------------------------------------

// The header that begins every element record.
struct ELEMENT_HEADER {
    std::uint32_t element_type;         // 0
    std::int32_t resource_id;           // 4: first bitmap id, -1 for none
    PIXEL_POINT position;               // 8
    PIXEL_POINT previous_position;      // 16 (host)
    PIXEL_POINT offset;                 // 24: a needle's pivot within its picture
    GAUGEHDR* gauge_header;             // 32
    ELEMENT_HEADER* previous_element;   // 36
    ELEMENT_HEADER** next_element;      // 40: null-terminated list, or null
    FAILURE_RECORD* failure_systems;    // 44
    std::uint32_t image_flags;          // 48
    std::uint32_t special_flags;        // 52
    std::uint32_t reserved;             // 56
};

struct ELEMENT_STATIC_IMAGE {
    ELEMENT_HEADER header;
    HOST_IMAGE* image;                  // 60 (host)
    void* host_data;                    // 64 (host)
};

struct ELEMENT_ICON {
    ELEMENT_HEADER header;
    MODULE_VAR source_var;              // 60
    ELEMENT_CALLBACK update_callback;   // 88
    double value;                       // 92 (host): value of the last update
    HOST_IMAGE** pictures;              // 100 (host)
    std::int32_t picture_shown;         // 104 (host)
    std::uint32_t switch_type;          // 108
    std::uint32_t picture_count;        // 112
    std::int32_t scroll_x;              // 116
    std::int32_t scroll_y;              // 120
    void* host_data;                    // 124 (host)
    std::uint32_t reserved;             // 128
};

struct ELEMENT_NEEDLE {
    ELEMENT_HEADER header;
    MODULE_VAR source_var;              // 60
    ELEMENT_CALLBACK update_callback;   // 88
    NONLINEARITY* nonlinearity;         // 92
    std::uint32_t nonlinearity_count;   // 96
    double value;                       // 100 (host)
    HOST_IMAGE* image;                  // 108 (host)
    void* host_data;                    // 112 (host)
    std::uint32_t reserved;             // 116
};

struct ELEMENT_STRING {
    ELEMENT_HEADER header;
    MODULE_VAR source_var[3];           // 60
    ELEMENT_CALLBACK update_callback;   // 144
    double value;                       // 148 (host)
    char* string;                       // 156 (host): max_chars + 1 bytes
    std::uint32_t max_chars;            // 160
    std::int32_t box_width;             // 164
    std::int32_t box_height;            // 168
    std::uint32_t foreground_color;     // 172: a Windows colour value 0x00BBGGRR
    std::uint32_t background_color;     // 176
    std::uint32_t highlight_color;      // 180
    const char* font_name;              // 184
    std::int32_t font_weight;           // 188
    std::uint32_t font_charset;         // 192
    std::uint32_t draw_flags;           // 196: DT_ text drawing flags
    std::int32_t* highlight_list;       // 200
    void* host_data;                    // 204 (host)
};

// ---- mouse rectangles and tooltips ---------------------------------------------------------------

// The handler word of a mouse row: a child row's handler, or a tooltip row's text.
struct MOUSE_FUNCTION {
    union {
        MOUSE_HANDLER handler;
        const char* text;
    };
    constexpr MOUSE_FUNCTION() : handler(nullptr) {}
    constexpr MOUSE_FUNCTION(std::nullptr_t) : handler(nullptr) {}
    constexpr MOUSE_FUNCTION(MOUSE_HANDLER function) : handler(function) {}
    constexpr MOUSE_FUNCTION(const char* tooltip_text) : text(tooltip_text) {}
};

struct MOUSERECT {
    std::uint32_t rect_type;            // 0: MOUSE_RECT_*
    PIXEL_BOX box;                      // 4: a child's box is relative to its parent's
    std::int32_t cursor;                // 20
    std::uint32_t help_id;              // 24
    std::uint32_t mouse_flags;          // 28
    std::uint32_t event_id;             // 32: key event; in a tooltip row, the argument count
    MOUSE_FUNCTION function;            // 36
    void* user_data;                    // 40: in a tooltip row, the TOOLTIP_ARG array
};

// One tooltip argument: the text that replaces "%N!s!" comes from string_callback.
struct TOOLTIP_ARG {
    MODULE_VAR source_var;              // 0
    double scale;                       // 28
    void* lookup_table;                 // 36
    std::uint32_t lookup_count;         // 40
    void* numeric_callback;             // 44
    std::uint32_t reserved[5];          // 48
    TOOLTIP_STRING_CALLBACK string_callback;  // 68
};

// ---- gauge header, linkage and import table ------------------------------------------------------

struct GAUGEHDR {
    std::uint32_t gauge_header_version;         // word 0: 610 or 700
    const char* gauge_name;                     // 1
    ELEMENT_HEADER** elements_list;             // 2: root element first, null-terminated
    GAUGE_ROUTINE query_routine;                // 3
    GAUGE_INSTALL_ROUTINE install_routine;      // 4
    GAUGE_ROUTINE initialize_routine;           // 5
    GAUGE_ROUTINE update_routine;               // 6
    GAUGE_GENERATE_ROUTINE generate_routine;    // 7
    GAUGE_ROUTINE draw_routine;                 // 8
    GAUGE_ROUTINE kill_routine;                 // 9
    std::uint32_t reserved1;                    // 10
    std::uint32_t size_x_mm;                    // 11: default width
    std::uint32_t size_y_mm;                    // 12: default height
    float x_adjust;                             // 13
    float y_adjust;                             // 14
    std::uint32_t reserved2[5];                 // 15 to 19
    MOUSERECT* mouse_rect;                      // 20: installed by the host (700)
    GAUGE_CALLBACK gauge_callback;              // 21 (700)
    std::uintptr_t user_data;                   // 22 (700)
};

struct IMPORT_ENTRY {
    std::uint32_t id;
    void* pointer;
};

// The exported import table: the host writes its service table into the IMPORT_ID_PANELS entry.
struct IMPORT_TABLE {
    IMPORT_ENTRY panels;
    IMPORT_ENTRY end;
};

// The six words that begin the exported linkage record; the null-terminated gauge list follows.
struct MODULE_LINKAGE_HEAD {
    std::uint32_t module_id;
    MODULE_ROUTINE module_init;
    MODULE_ROUTINE module_deinit;
    std::uint32_t flags;
    std::uint32_t priority;
    std::uint32_t version;
};

// The linkage record with room for N gauge-list entries, the terminating null included.
template <std::size_t N>
struct MODULE_LINKAGE {
    MODULE_LINKAGE_HEAD head;
    GAUGEHDR* gauge_list[N];
};

// The gauge list that follows a linkage head.
inline GAUGEHDR* const* linkage_gauge_list(const MODULE_LINKAGE_HEAD* head)
{
    return reinterpret_cast<GAUGEHDR* const*>(reinterpret_cast<const char*>(head) +
                                              offsetof(MODULE_LINKAGE<1>, gauge_list));
}

// ---- the service table ---------------------------------------------------------------------------

typedef void(HOST_CALL* ELEMENT_LIST_ROUTINE)(ELEMENT_HEADER* root);
typedef void(HOST_CALL* ELEMENT_LIST_INSTALL)(ELEMENT_HEADER* root, void* resource_handle);
typedef void(HOST_CALL* ELEMENT_LIST_GENERATE)(ELEMENT_HEADER* root, std::uint32_t phase);
typedef void(HOST_CALL* MOUSE_LIST_INSTALL)(MOUSERECT* table, GAUGEHDR* gauge, PIXEL_POINT* size);
typedef void(HOST_CALL* MOUSE_LIST_ROUTINE)(MOUSERECT* table, GAUGEHDR* gauge);
typedef std::int32_t(HOST_CALL* TRIGGER_KEY_EVENT)(std::uint32_t event_id, std::uint32_t value);
typedef void(HOST_CALL* VAR_ROUTINE)(MODULE_VAR* var);

// An array of entry points; the slot numbers are fixed, the unnamed slots are the host's own.
struct PANEL_SERVICES {
    void* slots_0_to_23[24];
    ELEMENT_LIST_ROUTINE element_list_query;       // 24
    ELEMENT_LIST_INSTALL element_list_install;     // 25
    ELEMENT_LIST_ROUTINE element_list_initialize;  // 26
    ELEMENT_LIST_ROUTINE element_list_update;      // 27
    ELEMENT_LIST_GENERATE element_list_generate;   // 28
    ELEMENT_LIST_ROUTINE element_list_plot;        // 29
    void* slot_30;
    ELEMENT_LIST_ROUTINE element_list_kill;        // 31
    MOUSE_LIST_INSTALL mouse_list_install;         // 32
    MOUSE_LIST_ROUTINE mouse_list_register;        // 33
    MOUSE_LIST_ROUTINE mouse_list_unregister;      // 34
    void* slot_35;
    TRIGGER_KEY_EVENT trigger_key_event;           // 36
    void* slot_37;
    VAR_ROUTINE initialize_var;                    // 38
    void* slot_39;
    VAR_ROUTINE lookup_var;                        // 40
};

// The service table as a module reaches it, read from its import table at the time of the call.
inline PANEL_SERVICES* panel_services(const IMPORT_TABLE& table)
{
    return static_cast<PANEL_SERVICES*>(table.panels.pointer);
}

#if HOST_LAYOUT_32
#pragma pack(pop)
#endif

// ---- layouts -------------------------------------------------------------------------------------

#define HOST_SLOT_AT(field, slot) \
    static_assert(offsetof(PANEL_SERVICES, field) == (slot) * sizeof(void*), #field " is not at its slot")
HOST_SLOT_AT(element_list_query, 24);
HOST_SLOT_AT(element_list_install, 25);
HOST_SLOT_AT(element_list_initialize, 26);
HOST_SLOT_AT(element_list_update, 27);
HOST_SLOT_AT(element_list_generate, 28);
HOST_SLOT_AT(element_list_plot, 29);
HOST_SLOT_AT(element_list_kill, 31);
HOST_SLOT_AT(mouse_list_install, 32);
HOST_SLOT_AT(mouse_list_register, 33);
HOST_SLOT_AT(mouse_list_unregister, 34);
HOST_SLOT_AT(trigger_key_event, 36);
HOST_SLOT_AT(initialize_var, 38);
HOST_SLOT_AT(lookup_var, 40);
#undef HOST_SLOT_AT

#if HOST_LAYOUT_32
// The 32-bit host reads these records at these exact sizes and offsets.
static_assert(sizeof(PIXEL_POINT) == 8);
static_assert(sizeof(MODULE_VAR) == 28);
static_assert(offsetof(MODULE_VAR, value) == 12);
static_assert(offsetof(MODULE_VAR, previous_value) == 20);
static_assert(sizeof(ELEMENT_HEADER) == 60);
static_assert(offsetof(ELEMENT_HEADER, gauge_header) == 32);
static_assert(offsetof(ELEMENT_HEADER, next_element) == 40);
static_assert(offsetof(ELEMENT_HEADER, image_flags) == 48);
static_assert(offsetof(ELEMENT_STATIC_IMAGE, image) == 60);
static_assert(offsetof(ELEMENT_ICON, source_var) == 60);
static_assert(offsetof(ELEMENT_ICON, update_callback) == 88);
static_assert(offsetof(ELEMENT_ICON, picture_count) == 112);
static_assert(sizeof(ELEMENT_ICON) == 132);
static_assert(offsetof(ELEMENT_NEEDLE, source_var) == 60);
static_assert(offsetof(ELEMENT_NEEDLE, update_callback) == 88);
static_assert(offsetof(ELEMENT_STRING, source_var) == 60);
static_assert(offsetof(ELEMENT_STRING, update_callback) == 144);
static_assert(sizeof(HOST_IMAGE) == 12);
static_assert(offsetof(HOST_IMAGE, width) == 4);
static_assert(sizeof(NONLINEARITY) == 16);
static_assert(sizeof(MOUSE_FUNCTION) == 4);
static_assert(sizeof(MOUSERECT) == 44);
static_assert(offsetof(MOUSERECT, box) == 4);
static_assert(offsetof(MOUSERECT, cursor) == 20);
static_assert(offsetof(MOUSERECT, mouse_flags) == 28);
static_assert(offsetof(MOUSERECT, event_id) == 32);
static_assert(offsetof(MOUSERECT, function) == 36);
static_assert(offsetof(MOUSERECT, user_data) == 40);
static_assert(sizeof(TOOLTIP_ARG) == 72);
static_assert(offsetof(TOOLTIP_ARG, string_callback) == 68);
static_assert(offsetof(GAUGEHDR, gauge_name) == 1 * 4);
static_assert(offsetof(GAUGEHDR, elements_list) == 2 * 4);
static_assert(offsetof(GAUGEHDR, query_routine) == 3 * 4);
static_assert(offsetof(GAUGEHDR, kill_routine) == 9 * 4);
static_assert(offsetof(GAUGEHDR, size_x_mm) == 11 * 4);
static_assert(offsetof(GAUGEHDR, x_adjust) == 13 * 4);
static_assert(offsetof(GAUGEHDR, mouse_rect) == 20 * 4);
static_assert(offsetof(GAUGEHDR, gauge_callback) == 21 * 4);
static_assert(offsetof(GAUGEHDR, user_data) == 22 * 4);
static_assert(sizeof(GAUGEHDR) == 23 * 4);
static_assert(sizeof(IMPORT_ENTRY) == 8);
static_assert(sizeof(IMPORT_TABLE) == 16);
static_assert(sizeof(MODULE_LINKAGE_HEAD) == 24);
static_assert(offsetof(MODULE_LINKAGE<2>, gauge_list) == 24);
static_assert(sizeof(MODULE_LINKAGE<2>) == 32);
static_assert(sizeof(PANEL_SERVICES) == 41 * 4);
#endif
