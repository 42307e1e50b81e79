#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace ql {

class Clipboard;
class Launcher;
class Prompter;
class Record;
class WindowMonitor;

// What the monitor window's list sends or copies: the entry's own send text
// ("Preset") or one of its fields.
const QStringList& monitorPresets();
inline const QString kPresetOwnText = QStringLiteral("Preset");

inline const QString kPresetToClipboardWarning =
    QStringLiteral("Cannot send \"Preset\" to the clipboard");

// The commands of the monitor window on the highlighted entry (a Passwords
// record buffer).
class MonitorCommands {
public:
    struct Services {
        Launcher& launcher;
        Prompter& prompter;
        Clipboard& clipboard;
        WindowMonitor& monitor;
        std::function<void()> beep;
        // Sends the monitor window to the tray, out of the target's way.
        std::function<void()> minimize;
        // Writes the entry back (an imported program line the user agreed to start).
        std::function<void(Record& entry)> saveEntry = {};
    };
    explicit MonitorCommands(Services services) : services_(std::move(services)) {}

    // "&Send": with "Preset", the entry's program or document is started
    // first (an imported entry's only after the user agreed); the text goes
    // out after the entry's wait (1 second for a field, or when the entry
    // waits 0) through the monitor, as a one-shot request.
    void send(Record& entry, const QString& preset);
    // "&Clipboard": the field the preset names; "Preset" only warns.
    void copyToClipboard(const Record& entry, const QString& preset);
    // "Start UR&L": the entry's address, opened by the desktop.
    void startUrl(const Record& entry);

private:
    bool mayStart(Record& entry);

    Services services_;
};

} // namespace ql
