// The simulated audio-CD drive "cdaudio": MCI string commands and command messages over a disc
// that plays by the host clock.
#include "platform/sim/cd_drive.h"

#include "base/text.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace sim {
namespace {

constexpr std::uint64_t FRAMES_PER_SECOND = 75;

using base::lower;

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

// A position as MCI writes it: one integer, or in TMSF up to four colon-separated bytes, the
// track first (packed with the track in the lowest byte).
bool read_position(const std::string& word, DWORD format, DWORD& position)
{
    if (word.find(':') == std::string::npos) {
        return base::read_whole_number(word, 0, 0xFFFFFFFF, position);
    }
    if (format != MCI_FORMAT_TMSF)
        return false;
    DWORD packed = 0;
    std::size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        std::size_t end = word.find(':', start);
        DWORD value = 0;
        if (!base::read_whole_number(word.substr(start, end == std::string::npos ? std::string::npos : end - start), 0, 0xFF,
                                     value))
            return false;
        packed |= value << (8 * part);
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

// A device counts in milliseconds until it is set otherwise; a string command to a type rather
// than an open device (open) reads its words in that format too.
constexpr DWORD DEFAULT_TIME_FORMAT = MCI_FORMAT_MILLISECONDS;

// The time formats a string command names.
constexpr DWORD UNKNOWN_TIME_FORMAT = 0xFFFFFFFFu;

DWORD time_format_named(const std::string& name)
{
    if (name == "tmsf")
        return MCI_FORMAT_TMSF;
    if (name == "milliseconds" || name == "ms")
        return MCI_FORMAT_MILLISECONDS;
    return UNKNOWN_TIME_FORMAT;
}

// The drive counts in tracks, minutes, seconds and frames, or in milliseconds.
MCIERROR check_time_format(DWORD format)
{
    if (format != MCI_FORMAT_TMSF && format != MCI_FORMAT_MILLISECONDS)
        return MCIERR_BAD_TIME_FORMAT;
    return 0;
}

// The door is either opened or closed.
MCIERROR check_door(DWORD_PTR flags)
{
    if ((flags & MCI_SET_DOOR_OPEN) && (flags & MCI_SET_DOOR_CLOSED))
        return MCIERR_FLAGS_NOT_COMPATIBLE;
    return 0;
}

struct StatusItem {
    const char* name;
    DWORD item;
};

// item                  MCI_STATUS_ item
const StatusItem STATUS_ITEMS[] = {
    {"mode",             MCI_STATUS_MODE},
    {"media present",    MCI_STATUS_MEDIA_PRESENT},
    {"current track",    MCI_STATUS_CURRENT_TRACK},
    {"number of tracks", MCI_STATUS_NUMBER_OF_TRACKS},
};

struct ModeName {
    DWORD_PTR mode;
    const char* name;
};

// mode                  as a string command answers it
const ModeName MODE_NAMES[] = {
    {MCI_MODE_NOT_READY, "not ready"},
    {MCI_MODE_STOP,      "stopped"},
    {MCI_MODE_PLAY,      "playing"},
    {MCI_MODE_OPEN,      "open"},
};

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
    stop_and_rewind();
    tracks_ = std::min(tracks, CD_MAX_TRACKS);
    track_seconds_ = disc_track_seconds_;
}

void CdDrive::eject_disc()
{
    stop_and_rewind();
    tracks_ = 0;
}

void CdDrive::finish()
{
    if (playing_)
        reach_end();
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
    if (playing_ && now_ms >= next_event_ms())
        reach_end();
}

// ---- the devices ----

CdDrive::Device* CdDrive::find_device(MCIDEVICEID id)
{
    for (Device& device : devices_)
        if (device.id == id)
            return &device;
    return nullptr;
}

const CdDrive::Device* CdDrive::find_device(const std::string& name) const
{
    for (const Device& device : devices_)
        if (device.name == name)
            return &device;
    return nullptr;
}

CdDrive::Device* CdDrive::find_device(const std::string& name)
{
    return const_cast<Device*>(std::as_const(*this).find_device(name));
}

MCIDEVICEID CdDrive::device_id(const char* name) const
{
    const Device* device = name ? find_device(lower(name)) : nullptr;
    return device ? device->id : 0;
}

// The one type of device there is, and only while the drive is there.
MCIERROR CdDrive::check_type(const std::string& type) const
{
    if (!installed_ || type != "cdaudio")
        return MCIERR_INVALID_DEVICE_NAME;
    return 0;
}

void CdDrive::stop()
{
    if (!playing_)
        return;
    position_ms_ = position_ms();
    playing_ = false;
}

void CdDrive::stop_and_rewind()
{
    playing_ = false;
    position_ms_ = 0;
}

// The drive stops where a play always ends, at the end of the disc.
void CdDrive::reach_end()
{
    playing_ = false;
    position_ms_ = disc_ms();
}

// ---- the messages ----

MCIERROR CdDrive::run_open(Device*, DWORD_PTR flags, DWORD_PTR parameters)
{
    if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT | MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE))
        return MCIERR_UNRECOGNIZED_KEYWORD;
    if (!parameters)
        return MCIERR_NULL_PARAMETER_BLOCK;
    auto* block = reinterpret_cast<MCI_OPEN_PARMSA*>(parameters);
    if (!(flags & MCI_OPEN_TYPE) || !block->lpstrDeviceType)
        return MCIERR_MISSING_DEVICE_NAME;
    std::string type = lower(block->lpstrDeviceType);
    if (MCIERROR result = check_type(type))
        return result;
    if (find_device(type))
        return MCIERR_DEVICE_OPEN;
    // Identifiers are not reused, so that one kept from an earlier open stays invalid.
    devices_.push_back(Device{next_id_++, type, DEFAULT_TIME_FORMAT});
    block->wDeviceID = devices_.back().id;
    return 0;
}

MCIERROR CdDrive::run_close(Device* device, DWORD_PTR flags, DWORD_PTR)
{
    if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT))
        return MCIERR_UNRECOGNIZED_KEYWORD;
    MCIDEVICEID id = device->id;
    devices_.erase(std::remove_if(devices_.begin(), devices_.end(), [id](const Device& open) { return open.id == id; }),
                   devices_.end());
    return 0;
}

MCIERROR CdDrive::run_stop(Device*, DWORD_PTR flags, DWORD_PTR)
{
    if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT))
        return MCIERR_UNRECOGNIZED_KEYWORD;
    stop();
    return 0;
}

MCIERROR CdDrive::run_set(Device* device, DWORD_PTR flags, DWORD_PTR parameters)
{
    if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT | MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED | MCI_SET_TIME_FORMAT))
        return MCIERR_UNRECOGNIZED_KEYWORD;
    if (MCIERROR result = check_door(flags))
        return result;
    bool door_open = flags & MCI_SET_DOOR_OPEN, door_closed = flags & MCI_SET_DOOR_CLOSED;
    if (!door_open && !door_closed && !(flags & MCI_SET_TIME_FORMAT))
        return MCIERR_MISSING_PARAMETER;
    if (flags & MCI_SET_TIME_FORMAT) {
        if (!parameters)
            return MCIERR_NULL_PARAMETER_BLOCK;
        DWORD format = reinterpret_cast<const MCI_SET_PARMS*>(parameters)->dwTimeFormat;
        if (MCIERROR result = check_time_format(format))
            return result;
        device->time_format = format;
    }
    if (door_open)
        stop();
    if (door_open || door_closed)
        door_open_ = door_open;
    return 0;
}

// Where on the disc a play from FROM starts, when the disc has that place.
bool CdDrive::position_on_disc(DWORD from, DWORD time_format, std::uint64_t& start) const
{
    if (time_format != MCI_FORMAT_TMSF) {
        start = from;
        return from < disc_ms();
    }
    DWORD track = from & 0xFF;
    std::uint64_t minutes = (from >> 8) & 0xFF, seconds = (from >> 16) & 0xFF, frames = (from >> 24) & 0xFF;
    std::uint64_t offset = (minutes * 60 + seconds) * 1000 + frames * 1000 / FRAMES_PER_SECOND;
    if (track < 1 || track > tracks_ || seconds >= 60 || frames >= FRAMES_PER_SECOND || offset >= track_ms())
        return false;
    start = (track - 1) * track_ms() + offset;
    return true;
}

MCIERROR CdDrive::run_play(Device* device, DWORD_PTR flags, DWORD_PTR parameters)
{
    if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT | MCI_FROM))
        return MCIERR_UNRECOGNIZED_KEYWORD;
    if ((flags & MCI_FROM) && !parameters)
        return MCIERR_NULL_PARAMETER_BLOCK;
    if (!readable())
        return MCIERR_HARDWARE;
    std::uint64_t start = position_ms() < disc_ms() ? position_ms() : 0;
    if (flags & MCI_FROM) {
        DWORD from = reinterpret_cast<const MCI_PLAY_PARMS*>(parameters)->dwFrom;
        if (!position_on_disc(from, device->time_format, start))
            return MCIERR_OUTOFRANGE;
    }
    position_ms_ = start;
    started_at_ms_ = now_ms();
    playing_ = true;
    return 0;
}

MCIERROR CdDrive::run_status(Device*, DWORD_PTR flags, DWORD_PTR parameters)
{
    if (flags & ~static_cast<DWORD_PTR>(MCI_WAIT | MCI_STATUS_ITEM))
        return MCIERR_UNRECOGNIZED_KEYWORD;
    if (!(flags & MCI_STATUS_ITEM))
        return MCIERR_MISSING_PARAMETER;
    if (!parameters)
        return MCIERR_NULL_PARAMETER_BLOCK;
    auto* block = reinterpret_cast<MCI_STATUS_PARMS*>(parameters);
    switch (block->dwItem) {
    case MCI_STATUS_MODE:
        block->dwReturn = door_open_ ? MCI_MODE_OPEN : !has_disc() ? MCI_MODE_NOT_READY : playing_ ? MCI_MODE_PLAY : MCI_MODE_STOP;
        return 0;
    case MCI_STATUS_MEDIA_PRESENT:
        block->dwReturn = readable() ? TRUE : FALSE;
        return 0;
    case MCI_STATUS_CURRENT_TRACK:
    case MCI_STATUS_NUMBER_OF_TRACKS:
        if (!readable())
            return MCIERR_HARDWARE;
        block->dwReturn = block->dwItem == MCI_STATUS_CURRENT_TRACK ? current_track() : tracks_;
        return 0;
    default:
        return MCIERR_UNRECOGNIZED_KEYWORD;
    }
}

// ---- the string commands, read into their messages ----

MCIERROR CdDrive::read_open(const std::string& name, const Words& words, DWORD, Request& request)
{
    for (const std::string& word : words) {
        if (word != "shareable")
            return MCIERR_UNRECOGNIZED_KEYWORD;
        request.flags |= MCI_OPEN_SHAREABLE;
    }
    request.flags |= MCI_OPEN_TYPE;
    request.open.lpstrDeviceType = name.c_str();
    request.parameters = reinterpret_cast<DWORD_PTR>(&request.open);
    return 0;
}

MCIERROR CdDrive::read_no_words(const std::string&, const Words& words, DWORD, Request&)
{
    return words.empty() ? 0 : MCIERR_UNRECOGNIZED_KEYWORD;
}

// "door open|closed" and "time format NAME", in any order; the first word that cannot be read
// decides the answer, so the door's and the format's rules are applied as each is read.
MCIERROR CdDrive::read_set(const std::string&, const Words& words, DWORD, Request& request)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "door") {
            if (i + 1 == words.size())
                return MCIERR_MISSING_PARAMETER;
            const std::string& state = words[++i];
            if (state != "open" && state != "closed")
                return MCIERR_UNRECOGNIZED_KEYWORD;
            request.flags |= state == "open" ? MCI_SET_DOOR_OPEN : MCI_SET_DOOR_CLOSED;
            if (MCIERROR result = check_door(request.flags))
                return result;
        } else if (words[i] == "time" && i + 1 < words.size() && words[i + 1] == "format") {
            if (i + 2 == words.size())
                return MCIERR_MISSING_PARAMETER;
            request.set.dwTimeFormat = time_format_named(words[i + 2]);
            if (MCIERROR result = check_time_format(request.set.dwTimeFormat))
                return result;
            request.flags |= MCI_SET_TIME_FORMAT;
            i += 2;
        } else {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    request.parameters = reinterpret_cast<DWORD_PTR>(&request.set);
    return 0;
}

MCIERROR CdDrive::read_play(const std::string&, const Words& words, DWORD time_format, Request& request)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] != "from" || (request.flags & MCI_FROM))
            return MCIERR_UNRECOGNIZED_KEYWORD;
        if (i + 1 == words.size())
            return MCIERR_MISSING_PARAMETER;
        if (!read_position(words[++i], time_format, request.play.dwFrom))
            return MCIERR_BAD_INTEGER;
        request.flags |= MCI_FROM;
    }
    request.parameters = reinterpret_cast<DWORD_PTR>(&request.play);
    return 0;
}

MCIERROR CdDrive::read_status(const std::string&, const Words& words, DWORD, Request& request)
{
    request.parameters = reinterpret_cast<DWORD_PTR>(&request.status);
    if (words.empty())
        return 0;   // no item: the message says what is missing
    std::string item;
    for (const std::string& word : words)
        item += (item.empty() ? "" : " ") + word;
    for (const StatusItem& known : STATUS_ITEMS)
        if (item == known.name) {
            request.flags |= MCI_STATUS_ITEM;
            request.status.dwItem = known.item;
            return 0;
        }
    return MCIERR_UNRECOGNIZED_KEYWORD;
}

std::string CdDrive::open_reply(const Request& request)
{
    return std::to_string(request.open.wDeviceID);
}

std::string CdDrive::status_reply(const Request& request)
{
    DWORD_PTR value = request.status.dwReturn;
    if (request.status.dwItem == MCI_STATUS_MEDIA_PRESENT)
        return value ? "true" : "false";
    if (request.status.dwItem != MCI_STATUS_MODE)
        return std::to_string(value);
    for (const ModeName& mode : MODE_NAMES)
        if (mode.mode == value)
            return mode.name;
    return "";
}

// verb      message     by message  read           run                  string reply
const CdDrive::Command CdDrive::COMMANDS[] = {
    {"open",   MCI_OPEN,   true,       read_open,     &CdDrive::run_open,   open_reply},
    {"close",  MCI_CLOSE,  true,       read_no_words, &CdDrive::run_close,  nullptr},
    {"stop",   MCI_STOP,   true,       read_no_words, &CdDrive::run_stop,   nullptr},
    {"set",    MCI_SET,    true,       read_set,      &CdDrive::run_set,    nullptr},
    {"play",   MCI_PLAY,   false,      read_play,     &CdDrive::run_play,   nullptr},
    {"status", MCI_STATUS, false,      read_status,   &CdDrive::run_status, status_reply},
};

const CdDrive::Command* CdDrive::command_named(const std::string& verb)
{
    for (const Command& command : COMMANDS)
        if (verb == command.verb)
            return &command;
    return nullptr;
}

const CdDrive::Command* CdDrive::command_of(UINT message)
{
    for (const Command& command : COMMANDS)
        if (message == command.message && command.by_message)
            return &command;
    return nullptr;
}

// ---- the two faces ----

MCIERROR CdDrive::answer_string(const char* text, char* reply, UINT reply_size)
{
    if (!text)
        return MCIERR_MISSING_COMMAND_STRING;
    for (const ScriptedString& scripted : scripted_strings_)
        if (scripted.command == lower(text))
            return scripted.code ? scripted.code : answer(scripted.reply, reply, reply_size);
    Words words = words_of(text);
    if (words.empty())
        return MCIERR_MISSING_COMMAND_STRING;
    const Command* command = command_named(words[0]);
    if (!command)
        return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    const std::string& name = words[1];
    // The name is looked up before the words after it are read: a position is read in the time
    // format of the device it is for. Open names a type; the drive is never opened for another verb.
    Device* device = nullptr;
    if (command->message == MCI_OPEN) {
        if (MCIERROR result = check_type(name))
            return result;
    } else if (!(device = find_device(name))) {
        return MCIERR_INVALID_DEVICE_NAME;
    }
    Request request;
    Words rest;
    for (std::size_t i = 2; i < words.size(); ++i) {
        if (words[i] == "wait")
            request.flags |= MCI_WAIT;   // what every command here does anyway
        else
            rest.push_back(words[i]);
    }
    if (MCIERROR result = command->read(name, rest, device ? device->time_format : DEFAULT_TIME_FORMAT, request))
        return result;
    if (MCIERROR result = (this->*command->run)(device, request.flags, request.parameters))
        return result;
    return answer(command->reply ? command->reply(request) : std::string(), reply, reply_size);
}

MCIERROR CdDrive::answer_command(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR parameters)
{
    for (const ScriptedMessage& scripted : scripted_messages_)
        if (scripted.message == message && scripted.flags == flags)
            return scripted.code;
    Device* device = nullptr;
    if (message != MCI_OPEN && !(device = find_device(id)))
        return MCIERR_INVALID_DEVICE_ID;
    const Command* command = command_of(message);
    if (!command)
        return MCIERR_UNRECOGNIZED_COMMAND;
    return (this->*command->run)(device, flags, parameters);
}

MCIERROR CdDrive::send_string(const char* command, char* reply, UINT reply_size)
{
    MCIERROR result = answer_string(command, reply, reply_size);
    trace("mci \"%s\" -> %u", command ? command : "", static_cast<unsigned>(result));
    return result;
}

MCIERROR CdDrive::send_command(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters)
{
    MCIERROR result = answer_command(device, message, flags, parameters);
    trace("mci-command 0x%x 0x%llx -> %u", message, static_cast<unsigned long long>(flags),
          static_cast<unsigned>(result));
    return result;
}

CdDrive& cd_drive()
{
    static CdDrive drive;
    static const bool on_the_clock = (add_clocked_device(&drive), true);
    (void)on_the_clock;
    return drive;
}

}  // namespace sim
