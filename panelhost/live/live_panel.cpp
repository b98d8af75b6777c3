// The live panel's side of the page: each request answered on the panel's thread, and the frames.
#include "panelhost/live/live_panel.h"

#include "base/text.h"
#include "base/bytes.h"

#include "panelhost/live/embedded_files.h"
#include "panelhost/picture/render.h"
#include "panelhost/base/trace.h"
#include "platform/sim/cd_drive.h"
#include "platform/sim/media_graph.h"
#include "platform/sim/paths.h"
#include "platform/sim/sound_device.h"

#include <arpa/inet.h>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <filesystem>
#include <new>

namespace live_page {
extern const panelhost::EmbeddedFile files[];
}

namespace panelhost {
namespace {

LiveResponse answer(int status, const std::string& body, const std::string& type = "text/plain; charset=utf-8")
{
    LiveResponse response;
    response.status = status;
    response.type = type;
    response.body = body;
    return response;
}

LiveResponse refuse(int status, const std::string& why)
{
    return answer(status, why + "\n");
}

std::string number_text(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The answers' JSON keeps its fields in the order they are set, the order the page and its tools
// have always read.
using Json = nlohmann::ordered_json;

// Text goes out as the UTF-8 it is. A trace line can carry any byte of a file name, and a byte
// that is not UTF-8 would make the writer throw on the panel's thread: error_handler_t::replace
// writes U+FFFD in its place instead, and the rest of the text as it is.
LiveResponse json_answer(const Json& value)
{
    return answer(200, value.dump(-1, ' ', false, Json::error_handler_t::replace), "application/json");
}

// A variable's value as the page has always had it: a whole number without a fraction ("103":1,
// not 1.0), as far as such numbers are written out in digits; any other value as the nearest
// text that reads back as the same double.
Json json_number(double value)
{
    bool whole = std::trunc(value) == value && std::fabs(value) < 1e17 && !(value == 0 && std::signbit(value));
    return whole ? Json(static_cast<std::int64_t>(value)) : Json(value);
}

// A whole number of the query, within [low, high].
bool read_integer(const std::map<std::string, std::string>& params, const char* name, long long low, long long high,
                  long long& value)
{
    auto found = params.find(name);
    return found != params.end() && base::read_whole_number(found->second, low, high, value);
}

using base::lower;

const char* content_type(const std::string& name)
{
    struct Type {
        const char* ending;
        const char* type;
    };
    // ending       type
    static const Type TYPES[] = {
        {".html", "text/html; charset=utf-8"},
        {".js",   "text/javascript; charset=utf-8"},
        {".css",  "text/css; charset=utf-8"},
        {".png",  "image/png"},
        {".wav",  "audio/wav"},
        {".mp3",  "audio/mpeg"},
        {".wma",  "audio/x-ms-wma"},
        {".mid",  "audio/midi"},
    };
    std::string ending = lower(name);
    for (const Type& type : TYPES) {
        std::size_t length = std::strlen(type.ending);
        if (ending.size() >= length && ending.compare(ending.size() - length, length, type.ending) == 0)
            return type.type;
    }
    return "application/octet-stream";
}

using base::put32;

// A sound buffer's samples as the RIFF WAVE file of its format.
std::string wave_file(const sim::SoundBufferInfo& buffer)
{
    std::string out = "RIFF";
    put32(out, static_cast<std::uint32_t>(4 + 24 + 8 + buffer.bytes.size()));
    out += "WAVEfmt ";
    put32(out, 16);
    out.append(reinterpret_cast<const char*>(&buffer.format), 16);
    out += "data";
    put32(out, static_cast<std::uint32_t>(buffer.bytes.size()));
    out.append(buffer.bytes.begin(), buffer.bytes.end());
    return out;
}

// ---- who may ask: the Host and Origin of a request against the served address -----------------------

// An address as its 4 or 16 bytes, empty for a name; "::1" is written without its brackets.
std::string address_bytes(const std::string& name)
{
    unsigned char bytes[16];
    if (inet_pton(AF_INET, name.c_str(), bytes) == 1)
        return std::string(reinterpret_cast<char*>(bytes), 4);
    if (inet_pton(AF_INET6, name.c_str(), bytes) == 1)
        return std::string(reinterpret_cast<char*>(bytes), 16);
    return std::string();
}

// Two names of one address: the same bytes however they are written, or the same name in any case.
bool same_address(const std::string& name, const std::string& other)
{
    std::string bytes = address_bytes(name);
    return bytes.empty() ? lower(name) == lower(other) : bytes == address_bytes(other);
}

// The served address as it was given, without the brackets of an IPv6 address.
std::string bare_address(const std::string& host)
{
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        return host.substr(1, host.size() - 2);
    return host;
}

bool wildcard_address(const std::string& host)
{
    std::string bytes = address_bytes(bare_address(host));
    return !bytes.empty() && bytes.find_first_not_of('\0') == std::string::npos;
}

// A Host header's name and port: "name:port", "[v6 address]:port", or a name alone (port 80).
struct HostHeader {
    std::string name;
    bool bracketed = false;
    std::string port;
};

bool split_host_header(const std::string& value, HostHeader& host)
{
    std::string rest;
    if (!value.empty() && value.front() == '[') {
        std::size_t close = value.find(']');
        if (close == std::string::npos)
            return false;
        host.name = value.substr(1, close - 1);
        host.bracketed = true;
        rest = value.substr(close + 1);
    } else {
        std::size_t colon = value.find(':');
        host.name = value.substr(0, colon);
        rest = colon == std::string::npos ? std::string() : value.substr(colon);
    }
    if (rest.empty())
        return !host.name.empty();
    host.port = rest.substr(1);
    return rest[0] == ':' && !host.name.empty() && !host.port.empty();
}

// The Host values the panel takes, for its refusals: what a person would type.
std::string accepted_hosts(const LiveAddress& served)
{
    std::string port = ":" + std::to_string(served.port);
    std::string bound = bare_address(served.host);
    if (wildcard_address(served.host))
        return "localhost" + port + " or an IP address of this machine with port " + std::to_string(served.port);
    std::string named = (address_bytes(bound).size() == 16 ? "[" + bound + "]" : bound) + port;
    if (!live_address_loopback(served.host))
        return named;
    std::string list = named;
    const char* others[] = {"localhost", "127.0.0.1", "::1"};
    std::vector<std::string> more;
    for (const char* other : others)
        if (!same_address(bound, other))
            more.push_back((std::string(other) == "::1" ? "[::1]" : other) + port);
    for (std::size_t i = 0; i < more.size(); ++i)
        list += (i + 1 == more.size() ? " or " : ", ") + more[i];
    return list;
}

}  // namespace

// A page elsewhere can have its own name resolve to this machine (DNS rebinding) and then read
// the panel as if it were its own site: its requests then carry that name as their Host. So the
// Host must name the served address. On loopback the machine's own names for it are as good.
// Served on a wildcard address the panel's own addresses are not known, but an IP address in the
// Host is: a rebound page is at a name, never at an IP address, and so is localhost.
bool live_host_accepted(const std::string& host, const LiveAddress& served)
{
    HostHeader asked;
    if (!split_host_header(host, asked))
        return false;
    // A browser leaves out the port of a page at port 80.
    if (asked.port != std::to_string(served.port) && !(asked.port.empty() && served.port == 80))
        return false;
    bool ipv6 = address_bytes(asked.name).size() == 16;
    if (asked.bracketed != ipv6)
        return false;
    std::string bound = bare_address(served.host);
    if (same_address(asked.name, bound))
        return true;
    if (live_address_loopback(served.host))
        return same_address(asked.name, "localhost") || same_address(asked.name, "127.0.0.1") ||
               same_address(asked.name, "::1");
    if (wildcard_address(served.host))
        return same_address(asked.name, "localhost") || !address_bytes(asked.name).empty();
    return false;
}

bool live_address_loopback(const std::string& host)
{
    std::string bare = bare_address(host);
    std::string bytes = address_bytes(bare);
    if (bytes.size() == 4)
        return bytes[0] == 127;
    if (bytes.size() == 16)
        return bytes == address_bytes("::1");
    return lower(bare) == "localhost";
}

std::string live_exposure_warning(const LiveAddress& served)
{
    if (live_address_loopback(served.host))
        return std::string();
    return "warning serve: the live panel is served on " + served.host + ":" + std::to_string(served.port) +
           ", and anyone who can reach that address can press the gauges and read the panel; serve on "
           "127.0.0.1 to keep it to this machine";
}

// Reads are guarded by the Host alone: another site's page may send a GET, but cannot read the
// answer without a rebound name. What changes the panel is guarded by the Origin too, which a
// browser sends with another site's POST and which that site cannot choose.
std::optional<LiveResponse> live_refusal(const LiveRequest& request, const LiveAddress& served)
{
    if (!request.host)
        return refuse(403, "a request must name the live panel's address in its Host header: " + accepted_hosts(served));
    if (!live_host_accepted(*request.host, served))
        return refuse(403, "the Host header names another address than the live panel's: " + accepted_hosts(served));
    bool changes = request.method != "GET" && request.method != "HEAD";
    std::string scheme = "http://";
    bool own_origin = request.origin && lower(request.origin->substr(0, scheme.size())) == scheme &&
                      live_host_accepted(request.origin->substr(scheme.size()), served);
    if (changes && request.origin && !own_origin)
        return refuse(403, "the live panel is changed only from its own page (an Origin of http:// and " +
                               accepted_hosts(served) + ") or by a request from no page (no Origin)");
    return std::nullopt;
}

LivePanel::LivePanel(Host& host, const LiveTrace& trace, const LiveAddress& served)
    : host_(host), trace_(trace), served_(served)
{
    refresh_version();
}

LivePanel::~LivePanel() = default;

void LivePanel::frame(std::uint64_t elapsed_ms)
{
    // The time since the frame before is the time the page had to renew the hold: a hold gone
    // stale is let go before it earns another repeat.
    if (held_) {
        unrenewed_ms_ += elapsed_ms;
        if (unrenewed_ms_ >= LIVE_HOLD_EXPIRY_MS)
            let_go();
    }
    if (held_)
        host_.repeat_press();
    host_.frame(elapsed_ms);
    ++frames_;
    refresh_version();
}

std::string LivePanel::picture_signature() const
{
    std::string signature;
    for (const PlacedGauge& placed : host_.placed())
        for (ELEMENT_HEADER* element : element_tree(placed.gauge->root())) {
            signature += (element->image_flags & IMAGE_HIDDEN) ? 'h' : 's';
            signature += number_text(element_value(element));
            if (element->element_type == ELEMENT_TYPE_ICON)
                signature += "/" + std::to_string(reinterpret_cast<ELEMENT_ICON*>(element)->picture_shown);
            if (element->element_type == ELEMENT_TYPE_STRING) {
                const char* text = reinterpret_cast<ELEMENT_STRING*>(element)->string;
                signature += "'" + std::string(text ? text : "");
            }
            signature += ';';
        }
    return signature;
}

// The page is told of a change by the version: a new picture, trace line, sound, song, state of
// the drive or variable. A song's position moves on by itself and tells nothing until it jumps.
void LivePanel::refresh_version()
{
    std::string signature = picture_signature();
    if (signature != shown_signature_) {
        shown_signature_ = signature;
        ++picture_;
    }
    std::string now = std::to_string(picture_) + "|" + std::to_string(trace_.count()) + "|" +
                      std::to_string(held_);
    for (const sim::SoundBufferInfo& buffer : sim::sound_buffer_infos())
        now += "|s" + std::to_string(buffer.id) + "," + std::to_string(buffer.plays) + "," + std::to_string(buffer.volume);
    for (const sim::MediaGraphInfo& graph : sim::media_graph_infos())
        now += "|g" + std::to_string(graph.id) + "," + std::to_string(graph.running) + "," + std::to_string(graph.volume);
    const sim::CdDrive& drive = sim::cd_drive();
    now += "|c" + std::to_string(drive.installed()) + std::to_string(drive.has_disc()) + std::to_string(drive.door_open()) +
           std::to_string(drive.playing()) + "," + std::to_string(drive.current_track());
    for (const auto& [id, value] : host_.vars())
        now += "|v" + std::to_string(id) + "=" + number_text(value);
    if (now != last_state_) {
        last_state_ = now;
        ++version_;
    }
}

LiveResponse live_text(int status, const std::string& line)
{
    return refuse(status, line);
}

LiveResponse live_body_too_large()
{
    return refuse(413, "a request's body is at most " + std::to_string(LIVE_BODY_LIMIT) +
                           " bytes; the live panel reads its requests' words from their query");
}

LiveResponse LivePanel::handle(const LiveRequest& request)
{
    if (std::optional<LiveResponse> refusal = live_refusal(request, served_))
        return *refusal;
    if (request.body_size > LIVE_BODY_LIMIT)
        return live_body_too_large();
    struct Route {
        const char* method;
        const char* path;        // a path, or its beginning where it ends in '/'
        LiveResponse (*run)(LivePanel& live, const LiveRequest& request, const std::string& rest);
    };
    // method  path             what it does
    static const Route ROUTES[] = {
        {"GET",  "/",           [](LivePanel& live, const LiveRequest&, const std::string&) { return live.asset("index.html"); }},
        {"GET",  "/live.js",    [](LivePanel& live, const LiveRequest&, const std::string&) { return live.asset("live.js"); }},
        {"GET",  "/live.css",   [](LivePanel& live, const LiveRequest&, const std::string&) { return live.asset("live.css"); }},
        {"GET",  "/panel.png",  [](LivePanel& live, const LiveRequest&, const std::string&) { return live.picture(); }},
        {"GET",  "/state",      [](LivePanel& live, const LiveRequest& r, const std::string&) { return live.state(r); }},
        {"GET",  "/pointer",    [](LivePanel& live, const LiveRequest& r, const std::string&) { return live.pointer(r); }},
        {"POST", "/press",      [](LivePanel& live, const LiveRequest& r, const std::string&) { return live.press(r); }},
        {"POST", "/release",    [](LivePanel& live, const LiveRequest&, const std::string&) { return live.release(); }},
        {"POST", "/hold",       [](LivePanel& live, const LiveRequest&, const std::string&) { return live.renew_hold(); }},
        {"POST", "/var",        [](LivePanel& live, const LiveRequest& r, const std::string&) { return live.set_var(r); }},
        {"GET",  "/sound/",     [](LivePanel& live, const LiveRequest&, const std::string& id) { return live.sound(id); }},
        {"GET",  "/song/",      [](LivePanel& live, const LiveRequest&, const std::string& id) { return live.song(id); }},
    };
    for (const Route& route : ROUTES) {
        std::string path = route.path;
        bool prefix = path.size() > 1 && path.back() == '/';
        bool matches = prefix ? request.path.compare(0, path.size(), path) == 0 && request.path.size() > path.size()
                              : request.path == path;
        if (!matches)
            continue;
        // What GET reads, HEAD reads too, without the body.
        bool get = std::string(route.method) == "GET";
        if (request.method != route.method && !(get && request.method == "HEAD")) {
            LiveResponse refusal = refuse(405, std::string(route.path) + (prefix ? "N" : "") + " takes " +
                                                   (get ? "GET or HEAD" : route.method) + ", not " + request.method);
            refusal.allow = get ? "GET, HEAD" : route.method;
            return refusal;
        }
        return route.run(*this, request, prefix ? request.path.substr(path.size()) : std::string());
    }
    // The path is not said back: the answer carries nothing that the request chose.
    return refuse(404, "no such page; the live panel serves /, /state, /panel.png, /pointer and /press");
}

LiveResponse LivePanel::asset(const std::string& name)
{
    for (const EmbeddedFile* file = live_page::files; file->name; ++file)
        if (name == file->name)
            return answer(200, std::string(reinterpret_cast<const char*>(file->bytes), file->size), content_type(name));
    return refuse(404, "no such page");
}

// A picture that cannot be made (too large to draw, the memory short) is refused for now, and the
// panel goes on: the page asks again at its next change.
LiveResponse LivePanel::picture()
{
    std::string signature = picture_signature();
    if (png_.empty() || signature != signature_) {
        std::string error;
        bool drawn = false;
        try {
            std::optional<Canvas> canvas = draw_panel(host_, HotSpots::None, error);
            drawn = canvas && encode_png(*canvas, png_, error, true);
        } catch (const std::bad_alloc&) {
            error = "the memory for it ran out";
        }
        if (!drawn) {
            png_.clear();
            png_.shrink_to_fit();
            return refuse(503, "the panel's picture cannot be made: " + error);
        }
        signature_ = signature;
    }
    return answer(200, std::string(png_.begin(), png_.end()), "image/png");
}

namespace {

Json sounds_state()
{
    Json sounds = Json::array();
    for (const sim::SoundBufferInfo& buffer : sim::sound_buffer_infos())
        sounds.push_back({{"id", buffer.id}, {"plays", buffer.plays}, {"volume", buffer.volume},
                          {"url", "/sound/" + std::to_string(buffer.id) + ".wav"}});
    return sounds;
}

// The graphs that play a file, each with the first file it rendered.
Json songs_state()
{
    Json songs = Json::array();
    for (const sim::MediaGraphInfo& graph : sim::media_graph_infos()) {
        if (graph.rendered.empty())
            continue;
        songs.push_back({{"id", graph.id}, {"file", graph.rendered.front()}, {"url", "/song/" + std::to_string(graph.id)},
                         {"running", graph.running}, {"position_ms", graph.position_ms},
                         {"duration_ms", graph.duration_ms}, {"volume", graph.volume}});
    }
    return songs;
}

Json cd_state()
{
    const sim::CdDrive& drive = sim::cd_drive();
    return {{"drive", drive.installed()}, {"disc", drive.has_disc()}, {"tray_open", drive.door_open()},
            {"playing", drive.playing()}, {"track", drive.current_track()}};
}

}  // namespace

LiveResponse LivePanel::state(const LiveRequest& request)
{
    long long from = 0, seen = 0;
    if (request.params.count("trace") &&
        !read_integer(request.params, "trace", 0, 1LL << 40, from))
        return refuse(400, "trace must be a whole number, the count of the lines seen already");
    if (request.params.count("seen") && !read_integer(request.params, "seen", 0, LLONG_MAX, seen))
        return refuse(400, "seen must be a whole number, the version of the state seen already");
    std::uint64_t total = trace_.count();
    std::uint64_t first = std::max<std::uint64_t>(static_cast<std::uint64_t>(from), trace_.first_kept());
    first = std::min(first, total);
    std::uint64_t last = std::min(total, first + LIVE_TRACE_PER_ANSWER);
    PIXEL_POINT size = host_.window_size();
    Json trace = Json::array();
    for (std::uint64_t i = first; i < last; ++i)
        trace.push_back(trace_.line(i));
    Json variables = Json::object();
    for (const auto& [id, value] : host_.vars())
        variables[std::to_string(id)] = json_number(value);
    return json_answer({{"version", version_}, {"picture", picture_}, {"frames", frames_}, {"clock_ms", sim::now_ms()},
                        {"window", {{"width", size.x}, {"height", size.y}}}, {"pressed", held_},
                        {"trace_from", first}, {"trace_next", last}, {"trace", trace}, {"sounds", sounds_state()},
                        {"songs", songs_state()}, {"cd", cd_state()}, {"variables", variables}});
}

bool LivePanel::window_point(const LiveRequest& request, PIXEL_POINT& point, LiveResponse& refusal) const
{
    PIXEL_POINT size = host_.window_size();
    // A panel of logic gauges alone has no picture, and no point of it reaches a gauge.
    if (size.x <= 0 || size.y <= 0) {
        refusal = refuse(400, "the panel has no size: its gauges run and are never drawn, and no point reaches them");
        return false;
    }
    long long x = 0, y = 0;
    if (!read_integer(request.params, "x", 0, size.x - 1, x) || !read_integer(request.params, "y", 0, size.y - 1, y)) {
        refusal = refuse(400, "x and y must be whole numbers inside the panel: x from 0 to " + std::to_string(size.x - 1) +
                                  ", y from 0 to " + std::to_string(size.y - 1));
        return false;
    }
    point = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    return true;
}

LiveResponse LivePanel::pointer(const LiveRequest& request)
{
    PIXEL_POINT point{};
    LiveResponse refusal;
    if (!window_point(request, point, refusal))
        return refusal;
    Host::Pointer found = host_.pointer_at(point);
    Json tooltip = nullptr;
    if (found.tooltip.kind == Tooltip::Text)
        tooltip = found.tooltip.text;
    Json help = nullptr;
    if (found.tooltip.kind == Tooltip::Help) {
        char id[16];
        std::snprintf(id, sizeof id, "0x%x", found.tooltip.help_id);
        help = id;
    }
    return json_answer({{"hot_spot", found.hot_spot}, {"cursor", found.cursor}, {"repeats", found.repeats},
                        {"tooltip", tooltip}, {"help", help}});
}

LiveResponse LivePanel::press(const LiveRequest& request)
{
    PIXEL_POINT point{};
    LiveResponse refusal;
    if (!window_point(request, point, refusal))
        return refusal;
    held_ = host_.press(point);
    unrenewed_ms_ = 0;
    refresh_version();
    return json_answer({{"repeats", held_}});
}

LiveResponse LivePanel::release()
{
    let_go();
    return json_answer(Json::object());
}

// The page renews its press while the person holds the button; the answer says whether the
// panel still holds it, so that a page whose hold was let go stops renewing.
LiveResponse LivePanel::renew_hold()
{
    if (held_)
        unrenewed_ms_ = 0;
    return json_answer({{"pressed", held_}});
}

// A release asked for and a hold gone stale are let go alike.
void LivePanel::let_go()
{
    host_.release();
    held_ = false;
    unrenewed_ms_ = 0;
    refresh_version();
}

LiveResponse LivePanel::set_var(const LiveRequest& request)
{
    long long id = 0;
    auto value = request.params.find("value");
    char* end = nullptr;
    double number = value == request.params.end() ? 0.0 : std::strtod(value->second.c_str(), &end);
    bool good_value = value != request.params.end() && !value->second.empty() && end && *end == '\0' &&
                      std::isfinite(number);
    if (!read_integer(request.params, "id", 0, 0xFFFFFFFFLL, id) || !good_value)
        return refuse(400, "id must be a variable's number from 0 to 4294967295, value a finite number");
    host_.set_var(static_cast<std::uint32_t>(id), number);
    refresh_version();
    return json_answer(Json::object());
}

LiveResponse LivePanel::sound(const std::string& id)
{
    for (const sim::SoundBufferInfo& buffer : sim::sound_buffer_infos())
        if (id == std::to_string(buffer.id) + ".wav")
            return answer(200, wave_file(buffer), "audio/wav");
    return refuse(404, "no such sound (a sound buffer of the gauges, by its number)");
}

// Only the files that a media graph rendered are served, each by its graph's number: no name
// from the request reaches the file system. The server reads the file as it sends it, a piece at
// a time, so that a song of any size costs the panel's thread nothing.
LiveResponse LivePanel::song(const std::string& id)
{
    for (const sim::MediaGraphInfo& graph : sim::media_graph_infos()) {
        if (graph.rendered.empty() || id != std::to_string(graph.id))
            continue;
        std::error_code failure;
        std::filesystem::path path = std::filesystem::absolute(sim::native_path(graph.rendered.front()), failure);
        LiveResponse song = answer(200, "", content_type(graph.rendered.front()));
        song.file = failure ? sim::native_path(graph.rendered.front()) : path.string();
        return song;
    }
    return refuse(404, "no such song (a song the media graph plays, by its graph's number)");
}

}  // namespace panelhost
