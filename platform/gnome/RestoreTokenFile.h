#pragma once
#include <QString>

namespace ql {

// The remote-desktop portal's restore token between runs, which lets a
// session start again without the desktop's dialog. It is no password, but
// it lets this program type without asking: the file is the user's alone,
// replaced whole, and lives in the user's state folder, never in the data
// folder. What is read back is checked, as anyone of the user's programs may
// have written the file.
class RestoreTokenFile {
public:
    explicit RestoreTokenFile(QString path) : path_(std::move(path)) {}

    // $XDG_STATE_HOME/quillock/remote-desktop-PROGRAM (~/.local/state when
    // the variable is unset or not an absolute path).
    static QString defaultPath(const QString& program);

    const QString& path() const { return path_; }
    // The saved token, or empty when there is none or it is not a token.
    QString load() const;
    // Empty on success, else why the file could not be written.
    QString save(const QString& token) const;

    static bool plausible(const QString& token);

private:
    QString path_;
};

} // namespace ql
