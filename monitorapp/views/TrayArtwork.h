#pragma once
#include <QIcon>
#include <QString>

namespace ql {

// The monitor's pictures, drawn when first asked for: the plain program icon
// (a gold key), its red form (a user must be chosen on every restore), and
// the bar frames of the tray animation, "bar1_ico".."bar5_ico" and the red
// "rbar1_ico".."rbar5_ico", with one to five bars lit; and the marks of the
// list's entries, "~glasses.ico" (watched), "~redbox.ico" (expired) and
// "~blank.ico".
class TrayArtwork {
public:
    static constexpr int kSize = 32;

    // The picture of a name used by the monitor's logic ("ADS_ICO",
    // "~RED.ico", "rbar3_ico", ...); unknown names give the plain icon.
    // Each picture is drawn once; icons need a QGuiApplication.
    static QIcon icon(const QString& name);
    static QImage image(const QString& name);
};

} // namespace ql
