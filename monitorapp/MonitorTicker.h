#pragma once
#include <functional>

namespace ql {

class MonitorController;
class MonitorWindowSurface;
class SettingsAccess;
class TrayAnimation;
class TrayIcon;
class WindowMonitor;
struct ProgramValues;

// What the monitor window's timer does every 0.75 s, shown or in the tray:
// the window's icon, a monitor cycle while there is work and monitoring is
// on, the tray icon's animation, and every 51st tick the program values read
// again from the Configuration table.
class MonitorTicker {
public:
    static constexpr int kIntervalMs = 750;
    static constexpr int kReloadAfter = 50; // the values are read when the counter passes it

    struct Parts {
        MonitorController& controller;
        MonitorWindowSurface& window;
        TrayIcon& tray;
        TrayAnimation& animation;
        WindowMonitor& monitor;
        SettingsAccess& settings;
        ProgramValues& values;
    };
    explicit MonitorTicker(const Parts& parts) : parts_(parts) {}

    // Runs after the periodic read of the program values.
    std::function<void()> valuesReloaded;

    void tick();
    int reloadCounter() const { return reloadCounter_; }

private:
    void reloadValues();

    Parts parts_;
    int reloadCounter_ = 0;
};

} // namespace ql
