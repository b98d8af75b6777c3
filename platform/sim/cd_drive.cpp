// The simulated audio-CD drive "cdaudio": MCI string commands and command messages over a disc
// that plays by the host clock.
#include "platform/sim/cd_drive.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sim {
namespace {

constexpr std::uint64_t FRAMES_PER_SECOND = 75;

std::string lower(const char* text)
{
    std::string result;
    for (; *text; ++text)
        result += static_cast<char>(std::tolower(static_cast<unsigned char>(*text)));
    return result;
}

std::vector<std::string> words_of(const char* command)
{
    std::vector<std::string> words;
    std::string text = lower(command);
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t start = text.find_first_not_of(" \t\r\n", at);
        if (start == std::string::npos)
            break;
        std::size_t end = text.find_first_of(" \t\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        words.push_back(text.substr(start, end - start));
        at = end;
    }
    return words;
}

// A decimal number of at most 32 bits.
bool read_number(const std::string& word, std::uint64_t limit, std::uint64_t& value)
{
    if (word.empty() || word.size() > 10)
        return false;
    value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value <= limit;
}

// A position as MCI writes it: one integer, or in TMSF up to four colon-separated bytes, the
// track first (packed with the track in the lowest byte).
bool read_position(const std::string& word, DWORD format, DWORD& position)
{
    if (word.find(':') == std::string::npos) {
        std::uint64_t value = 0;
        if (!read_number(word, 0xFFFFFFFFu, value))
            return false;
        position = static_cast<DWORD>(value);
        return true;
    }
    if (format != MCI_FORMAT_TMSF)
        return false;
    DWORD packed = 0;
    std::size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        std::size_t end = word.find(':', start);
        std::uint64_t value = 0;
        if (!read_number(word.substr(start, end == std::string::npos ? std::string::npos : end - start), 0xFF, value))
            return false;
        packed |= static_cast<DWORD>(value) << (8 * part);
        if (end == std::string::npos) {
            position = packed;
            return true;
        }
        start = end + 1;
    }
    return false;
}

MCIERROR answer(const std::string& text, char* reply, UINT reply_size)
{
    if (!reply || reply_size == 0)
        return 0;
    if (text.size() + 1 > reply_size)
        return MCIERR_PARAM_OVERFLOW;
    std::memcpy(reply, text.c_str(), text.size() + 1);
    return 0;
}

}  // namespace

CdDrive::CdDrive() = default;

void CdDrive::reset()
{
    installed_ = true;
    disc_track_seconds_ = CD_DEFAULT_TRACK_SECONDS;
    tracks_ = CD_DEFAULT_TRACKS;
    track_seconds_ = CD_DEFAULT_TRACK_SECONDS;
    door_open_ = false;
    playing_ = false;
    position_ms_ = 0;
    started_at_ms_ = 0;
    devices_.clear();
    scripted_strings_.clear();
    scripted_messages_.clear();
    next_id_ = 1;
}

void CdDrive::script_answer(const char* command, MCIERROR code, const char* reply)
{
    scripted_strings_.push_back(ScriptedString{lower(command), code, reply ? reply : ""});
}

void CdDrive::script_message_answer(UINT message, DWORD_PTR flags, MCIERROR code)
{
    scripted_messages_.push_back(ScriptedMessage{message, flags, code});
}

void CdDrive::set_installed(bool installed)
{
    installed_ = installed;
    if (!installed) {
        stop();
        devices_.clear();
    }
}

void CdDrive::set_track_seconds(unsigned seconds)
{
    disc_track_seconds_ = seconds > 0 ? seconds : 1;
}

void CdDrive::insert_disc(unsigned tracks)
{
    playing_ = false;
    position_ms_ = 0;
    tracks_ = std::min(tracks, CD_MAX_TRACKS);
    track_seconds_ = disc_track_seconds_;
}

void CdDrive::eject_disc()
{
    playing_ = false;
    position_ms_ = 0;
    tracks_ = 0;
}

void CdDrive::finish()
{
    if (!playing_)
        return;
    playing_ = false;
    position_ms_ = disc_ms();
}

std::uint64_t CdDrive::position_ms() const
{
    if (!playing_)
        return position_ms_;
    return std::min(disc_ms(), position_ms_ + (now_ms() - started_at_ms_));
}

unsigned CdDrive::current_track() const
{
    if (!has_disc())
        return 0;
    return static_cast<unsigned>(std::min<std::uint64_t>(tracks_, position_ms() / track_ms() + 1));
}

std::uint64_t CdDrive::next_event_ms() const
{
    return playing_ ? started_at_ms_ + (disc_ms() - position_ms_) : NO_EVENT;
}

void CdDrive::on_clock(std::uint64_t now_ms)
{
    if (playing_ && now_ms >= next_event_ms()) {
        playing_ = false;
        position_ms_ = disc_ms();
    }
}

CdDrive::Device* CdDrive::find_device(MCIDEVICEID id)
{
    for (Device& device : devices_)
        if (device.id == id)
            return &device;
    return nullptr;
}

CdDrive::Device* CdDrive::find_device(const std::string& name)
{
    for (Device& device : devices_)
        if (device.name == name)
            return &device;
    return nullptr;
}

MCIDEVICEID CdDrive::device_id(const char* name) const
{
    if (!name)
        return 0;
    std::string key = lower(name);
    for (const Device& device : devices_)
        if (device.name == key)
            return device.id;
    return 0;
}

MCIERROR CdDrive::open_device(const std::string& type, MCIDEVICEID* id)
{
    if (!installed_ || type != "cdaudio")
        return MCIERR_INVALID_DEVICE_NAME;
    if (find_device(type))
        return MCIERR_DEVICE_OPEN;
    // Identifiers are not reused, so that one kept from an earlier open stays invalid.
    devices_.push_back(Device{next_id_++, type, MCI_FORMAT_MILLISECONDS});
    *id = devices_.back().id;
    return 0;
}

MCIERROR CdDrive::close_device(MCIDEVICEID id)
{
    devices_.erase(std::remove_if(devices_.begin(), devices_.end(), [id](const Device& device) { return device.id == id; }),
                   devices_.end());
    return 0;
}

MCIERROR CdDrive::set_time_format(Device& device, DWORD format)
{
    if (format != MCI_FORMAT_TMSF && format != MCI_FORMAT_MILLISECONDS)
        return MCIERR_BAD_TIME_FORMAT;
    device.time_format = format;
    return 0;
}

void CdDrive::set_door(bool open)
{
    if (open)
        stop();
    door_open_ = open;
}

void CdDrive::stop()
{
    if (!playing_)
        return;
    position_ms_ = position_ms();
    playing_ = false;
}

MCIERROR CdDrive::play_from(const Device& device, bool from_given, DWORD from)
{
    if (!readable())
        return MCIERR_HARDWARE;
    std::uint64_t start = position_ms() < disc_ms() ? position_ms() : 0;
    if (from_given && device.time_format == MCI_FORMAT_TMSF) {
        DWORD track = from & 0xFF;
        std::uint64_t minutes = (from >> 8) & 0xFF, seconds = (from >> 16) & 0xFF, frames = (from >> 24) & 0xFF;
        std::uint64_t offset = (minutes * 60 + seconds) * 1000 + frames * 1000 / FRAMES_PER_SECOND;
        if (track < 1 || track > tracks_ || seconds >= 60 || frames >= FRAMES_PER_SECOND || offset >= track_ms())
            return MCIERR_OUTOFRANGE;
        start = (track - 1) * track_ms() + offset;
    } else if (from_given) {
        if (from >= disc_ms())
            return MCIERR_OUTOFRANGE;
        start = from;
    }
    position_ms_ = start;
    started_at_ms_ = now_ms();
    playing_ = true;
    return 0;
}

MCIERROR CdDrive::send_string(const char* command, char* reply, UINT reply_size)
{
    if (!command)
        return MCIERR_MISSING_COMMAND_STRING;
    for (const ScriptedString& scripted : scripted_strings_)
        if (scripted.command == lower(command))
            return scripted.code ? scripted.code : answer(scripted.reply, reply, reply_size);
    std::vector<std::string> words = words_of(command);
    if (words.empty())
        return MCIERR_MISSING_COMMAND_STRING;
    const std::string& verb = words[0];
    if (verb != "open" && verb != "close" && verb != "stop" && verb != "set" && verb != "play" && verb != "status")
        return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    const std::string& name = words[1];
    std::vector<std::string> rest(words.begin() + 2, words.end());

    if (verb == "open") {
        if (!installed_ || name != "cdaudio")
            return MCIERR_INVALID_DEVICE_NAME;
        for (const std::string& word : rest)
            if (word != "shareable" && word != "wait")
                return MCIERR_UNRECOGNIZED_KEYWORD;
        MCIDEVICEID id = 0;
        if (MCIERROR result = open_device(name, &id))
            return result;
        return answer(std::to_string(id), reply, reply_size);
    }

    Device* device = find_device(name);
    if (!device)
        return MCIERR_INVALID_DEVICE_NAME;
    // "wait" asks for what every command here does anyway: it returns once the drive has done it.
    rest.erase(std::remove(rest.begin(), rest.end(), "wait"), rest.end());

    if (verb == "close" || verb == "stop") {
        if (!rest.empty())
            return MCIERR_UNRECOGNIZED_KEYWORD;
        if (verb == "close")
            close_device(device->id);
        else
            stop();
        return answer("", reply, reply_size);
    }

    if (verb == "set") {
        bool door_given = false, door_open = false, format_given = false;
        DWORD format = 0;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == "door") {
                if (i + 1 == rest.size())
                    return MCIERR_MISSING_PARAMETER;
                if (rest[i + 1] != "open" && rest[i + 1] != "closed")
                    return MCIERR_UNRECOGNIZED_KEYWORD;
                if (door_given && door_open != (rest[i + 1] == "open"))
                    return MCIERR_FLAGS_NOT_COMPATIBLE;
                door_given = true;
                door_open = rest[++i] == "open";
            } else if (rest[i] == "time" && i + 1 < rest.size() && rest[i + 1] == "format") {
                if (i + 2 == rest.size())
                    return MCIERR_MISSING_PARAMETER;
                const std::string& value = rest[i + 2];
                if (value == "tmsf")
                    format = MCI_FORMAT_TMSF;
                else if (value == "milliseconds" || value == "ms")
                    format = MCI_FORMAT_MILLISECONDS;
                else
                    return MCIERR_BAD_TIME_FORMAT;
                format_given = true;
                i += 2;
            } else {
                return MCIERR_UNRECOGNIZED_KEYWORD;
            }
        }
        if (!door_given && !format_given)
            return MCIERR_MISSING_PARAMETER;
        if (format_given)
            set_time_format(*device, format);
        if (door_given)
            set_door(door_open);
        return answer("", reply, reply_size);
    }

    if (verb == "play") {
        bool from_given = false;
        DWORD from = 0;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] != "from" || from_given)
                return MCIERR_UNRECOGNIZED_KEYWORD;
            if (i + 1 == rest.size())
                return MCIERR_MISSING_PARAMETER;
            if (!read_position(rest[++i], device->time_format, from))
                return MCIERR_BAD_INTEGER;
            from_given = true;
        }
        if (MCIERROR result = play_from(*device, from_given, from))
            return result;
        return answer("", reply, reply_size);
    }

    // status
    std::string item;
    for (const std::string& word : rest)
        item += (item.empty() ? "" : " ") + word;
    if (item.empty())
        return MCIERR_MISSING_PARAMETER;
    if (item == "mode") {
        const char* mode = door_open_ ? "open" : !has_disc() ? "not ready" : playing_ ? "playing" : "stopped";
        return answer(mode, reply, reply_size);
    }
    if (item == "media present")
        return answer(readable() ? "true" : "false", reply, reply_size);
    if (item == "current track" || item == "number of tracks") {
        if (!readable())
            return MCIERR_HARDWARE;
        return answer(std::to_string(item == "current track" ? current_track() : tracks_), reply, reply_size);
    }
    return MCIERR_UNRECOGNIZED_KEYWORD;
}

MCIERROR CdDrive::send_command(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR parameters)
{
    for (const ScriptedMessage& scripted : scripted_messages_)
        if (scripted.message == message && scripted.flags == flags)
            return scripted.code;
    if (message == MCI_OPEN) {
        if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT | MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE))
            return MCIERR_UNRECOGNIZED_KEYWORD;
        if (!parameters)
            return MCIERR_NULL_PARAMETER_BLOCK;
        auto* block = reinterpret_cast<MCI_OPEN_PARMSA*>(parameters);
        if (!(flags & MCI_OPEN_TYPE) || !block->lpstrDeviceType)
            return MCIERR_MISSING_DEVICE_NAME;
        MCIDEVICEID opened = 0;
        MCIERROR result = open_device(lower(block->lpstrDeviceType), &opened);
        if (result == 0)
            block->wDeviceID = opened;
        return result;
    }

    Device* device = find_device(id);
    if (!device)
        return MCIERR_INVALID_DEVICE_ID;
    switch (message) {
    case MCI_CLOSE:
    case MCI_STOP:
        if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT))
            return MCIERR_UNRECOGNIZED_KEYWORD;
        if (message == MCI_CLOSE)
            return close_device(id);
        stop();
        return 0;
    case MCI_SET: {
        if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT | MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED | MCI_SET_TIME_FORMAT))
            return MCIERR_UNRECOGNIZED_KEYWORD;
        bool door_open = flags & MCI_SET_DOOR_OPEN, door_closed = flags & MCI_SET_DOOR_CLOSED;
        bool time_format = flags & MCI_SET_TIME_FORMAT;
        if (door_open && door_closed)
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        if (!door_open && !door_closed && !time_format)
            return MCIERR_MISSING_PARAMETER;
        if (time_format) {
            if (!parameters)
                return MCIERR_NULL_PARAMETER_BLOCK;
            if (MCIERROR result = set_time_format(*device, reinterpret_cast<const MCI_SET_PARMS*>(parameters)->dwTimeFormat))
                return result;
        }
        if (door_open || door_closed)
            set_door(door_open);
        return 0;
    }
    default:
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

CdDrive& cd_drive()
{
    static CdDrive drive;
    static const bool on_the_clock = (add_clocked_device(&drive), true);
    (void)on_the_clock;
    return drive;
}

}  // namespace sim
