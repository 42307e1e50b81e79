#pragma once
#include <QString>

namespace ql {

// The desktop's autostart entry that starts the monitor program when the user
// logs in: a desktop entry file in the autostart folder of the XDG
// configuration ($XDG_CONFIG_HOME/autostart, normally ~/.config/autostart).
class AutostartEntry {
public:
    static inline const QString kFileName = QStringLiteral("qlmon.desktop");

    // The entry in `folder`; the default is the user's autostart folder.
    explicit AutostartEntry(QString folder = defaultFolder());

    static QString defaultFolder();
    QString filePath() const;

    // True when the entry is there and not hidden (switched off by the desktop).
    bool isOn() const;
    // Writes the entry so that it starts `program` on `dataFolder`. False when
    // the file could not be written or a path cannot be written in it.
    bool switchOn(const QString& program, const QString& dataFolder) const;
    // Removes the entry; true when it is gone.
    bool switchOff() const;

    // A command line for an entry's Exec key: each argument quoted when it
    // holds a reserved character, with the escapes the key's value needs.
    static QString execLine(const QStringList& arguments);

private:
    QString folder_;
};

} // namespace ql
