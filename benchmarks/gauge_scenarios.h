// What the gauges are measured doing: one update pass, one click or one install, each in a state
// set up for it, run in-process through the bench host against the stand-in devices.
#pragma once

#include "panelhost/host/host.h"

#include <memory>
#include <string>
#include <vector>

namespace gauge_bench {

enum class Gauge { radio, autohelm };

struct Scenario {
    const char* name;       // "radio/pass/cd_playing"
    Gauge gauge;
    bool songs;             // the folder holds all six songs, else none
    // Brings the freshly installed gauge into the state the act is measured in.
    void (*prepare)(panelhost::Host& host);
    // The measured act: it leaves the gauge in a state where it does the same work again, or
    // does that work on its way back (a toggle).
    void (*act)(panelhost::Host& host);
    // After every BATCH acts RESTORE (not measured) brings the state back (0: never).
    int batch;
    void (*restore)(panelhost::Host& host);
    // The act is an update pass or a click: the gauge allocates nothing in it.
    bool allocation_free;
};

const std::vector<Scenario>& scenarios();

// The bench set up once for the process: the song folders, the traces dropped, the module paths
// beside this executable. Aborts with a message when it cannot be set up.
void set_up_process();

// The MCI string commands and messages the CD drive has received so far.
std::uint64_t mci_commands();

// One gauge loaded, installed and prepared for a scenario, in the scenario's folder with the
// stand-in devices as the bench starts them; unloaded at the end.
class Session {
public:
    explicit Session(const Scenario& scenario);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    panelhost::Host& host() { return *host_; }
    // One act, followed (not measured) by the restore when a batch is complete; true when the
    // restore ran, so that a caller can stop its clock around it.
    void act() { scenario_.act(*host_); }
    bool restore_due() { return scenario_.batch > 0 && ++acts_ % scenario_.batch == 0; }
    void restore() { scenario_.restore(*host_); }

private:
    const Scenario& scenario_;
    std::unique_ptr<panelhost::Host> host_;
    long acts_ = 0;
};

}  // namespace gauge_bench
