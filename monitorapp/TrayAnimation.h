#pragma once
#include <QString>

namespace ql {

// The tray icon's pictures: the plain icon (red while a user must be chosen
// on every restore) and the eight-step bar animation shown while the monitor
// has work queued.
class TrayAnimation {
public:
    static constexpr int kSteps = 8;
    static inline const QString kPlainIcon = QStringLiteral("ADS_ICO");
    static inline const QString kRedIcon = QStringLiteral("RED_ICO");
    // The window's own icon for each of the two.
    static inline const QString kPlainWindowIcon = QStringLiteral("~ads.ico");
    static inline const QString kRedWindowIcon = QStringLiteral("~RED.ico");

    void setRed(bool red) { red_ = red; }
    bool red() const { return red_; }
    const QString& baseIcon() const { return red_ ? kRedIcon : kPlainIcon; }
    const QString& windowIcon() const { return red_ ? kRedWindowIcon : kPlainWindowIcon; }

    // Moves to the next step (after the eighth comes the first) and returns
    // its picture: the bars rise from 1 to 5 and fall back through 4, 3, 2.
    QString advance();
    int step() const { return step_; }
    // The picture of a step (1-8) in the current colour.
    QString frame(int step) const;

private:
    bool red_ = false;
    int step_ = kSteps; // so that the first advance shows step 1
};

} // namespace ql
