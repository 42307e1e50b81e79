#pragma once
#include "platform/core/WindowSystem.h"
#include "platform/wlrwindows/ToplevelList.h"
#include <QStringList>
#include <memory>

namespace ql {

class ControlTextSource;
class WaylandConnection;

// What every window system over a compositor's list of top-level windows
// answers alike, on our own connection: the list, a window's controls by its
// title, existence, the focus and this program's own windows. Events are read
// on demand at each call (refresh); the focus is asked with a round trip, so
// it is the compositor's of the moment, which the send path's guard acts on.
// The protocol code of each compositor family feeds `list_`.
class ToplevelWindowSystem : public WindowSystem {
public:
    std::vector<TopWindow> topWindows() override;
    std::vector<ChildWindow> childWindows(WindowHandle window) override;
    bool exists(WindowHandle window) override;
    bool hasFocus(WindowHandle window) override;
    WindowHandle focusedWindow() override;
    WindowHandle ownFocusedWindow() override;

    // The window's application id ("foot"); empty when unknown.
    QString appIdOf(WindowHandle window);
    bool isMinimized(WindowHandle window);

protected:
    // `ownAppIds` are the application ids of this program's windows; empty
    // means the program's own name.
    ToplevelWindowSystem(std::shared_ptr<WaylandConnection> connection,
                         std::shared_ptr<ControlTextSource> controls, QStringList ownAppIds);

    std::shared_ptr<WaylandConnection> connection_;
    ToplevelList list_;

    // Takes in the events that have arrived.
    virtual void refresh();

private:
    std::shared_ptr<ControlTextSource> controls_;
    QStringList ownAppIds_;

    void catchUp();
};

} // namespace ql
