#include "platform/desktop/DesktopBackends.h"
#include "platform/desktop/WaylandFamilies.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

std::vector<WaylandGlobal> announced(std::initializer_list<const char*> names) {
    std::vector<WaylandGlobal> out;
    uint32_t n = 1;
    for (const char* name : names) out.push_back({n++, name, 1});
    return out;
}

void openNothing(const std::shared_ptr<WaylandConnection>&, const DesktopRequest&, DesktopBackends&) {}

} // namespace

TEST(DesktopChoice, AWaylandFamilyFitsOnlyWhenEveryProtocolItNeedsIsOffered) {
    const std::vector<WaylandFamily>& families = waylandFamilies();
    const WaylandFamily* wlroots = fittingFamily(
        families, announced({"wl_compositor", "wl_seat", "zwlr_foreign_toplevel_manager_v1",
                             "zwp_virtual_keyboard_manager_v1"}));
    ASSERT_NE(wlroots, nullptr);
    EXPECT_EQ(wlroots->keystrokesName, "Wayland virtual keyboard");
    // Windows without keystrokes (or the reverse) is no backend: the send path needs both.
    EXPECT_EQ(fittingFamily(families, announced({"wl_seat", "zwlr_foreign_toplevel_manager_v1"})),
              nullptr);
    EXPECT_EQ(fittingFamily(families, announced({"wl_seat", "zwp_virtual_keyboard_manager_v1"})),
              nullptr);
    EXPECT_EQ(fittingFamily(families, {}), nullptr);
}

// GNOME's compositor offers neither wlroots protocol but its shell's own: its
// windows and keys come through the accessibility bus and the desktop portal.
TEST(DesktopChoice, GnomesCompositorGetsThePortalFamily) {
    const WaylandFamily* gnome = fittingFamily(
        waylandFamilies(), announced({"wl_compositor", "wl_seat", "gtk_shell1", "xdg_activation_v1"}));
    ASSERT_NE(gnome, nullptr);
    EXPECT_EQ(gnome->keystrokesName, "desktop portal");
}

TEST(DesktopChoice, TheFirstFittingFamilyIsChosen) {
    const std::vector<WaylandFamily> families = {
        {"Plasma fake input", {"org_kde_plasma_window_management", "org_kde_kwin_fake_input"}, &openNothing},
        {"Wayland virtual keyboard", {"zwp_virtual_keyboard_manager_v1"}, &openNothing},
    };
    const auto kwin = announced({"org_kde_kwin_fake_input", "org_kde_plasma_window_management",
                                 "zwp_virtual_keyboard_manager_v1"});
    EXPECT_EQ(fittingFamily(families, kwin)->keystrokesName, "Plasma fake input");
    const auto wlr = announced({"zwp_virtual_keyboard_manager_v1"});
    EXPECT_EQ(fittingFamily(families, wlr)->keystrokesName, "Wayland virtual keyboard");
}

TEST(DesktopChoice, WithoutAnyDisplayEveryServiceSaysItIsOff) {
    FakeClipboard clipboard;
    clipboard.contents = "secret";
    const DesktopBackends none = openDesktop({nullptr, &clipboard, {}}, SessionDisplays{});
    EXPECT_EQ(none.name, "none");
    EXPECT_FALSE(none.windows->available());
    EXPECT_FALSE(none.keyboard->available());
    EXPECT_TRUE(none.windows->topWindows().empty());
    EXPECT_FALSE(none.keyboard->typeCharacter(U'a', false));
    EXPECT_EQ(none.statusText(), "No X11 display or Wayland compositor: sending keystrokes and "
                                 "watching windows are off");
    // The toolkit's own clipboard still clears where nothing else would.
    ASSERT_TRUE(none.clipboardClearing->available());
    EXPECT_TRUE(none.clipboardClearing->clear());
    EXPECT_TRUE(clipboard.contents.isEmpty());
    EXPECT_TRUE(describeDesktop(SessionDisplays{}).isEmpty());
}

TEST(DesktopChoice, AWaylandDisplayThatDoesNotAnswerFallsBackToX11ThenToNone) {
    // A stale $WAYLAND_DISPLAY and an X display that is not there either.
    const DesktopBackends b =
        openDesktop({}, SessionDisplays{QStringLiteral(":987654"), QStringLiteral("ql-no-such-socket")});
    EXPECT_EQ(b.name, "none");
    EXPECT_EQ(b.wayland, nullptr);
    EXPECT_EQ(b.statusText(), "No X11 display: sending keystrokes and watching windows are off");
    EXPECT_FALSE(b.clipboardClearing->available()); // no toolkit clipboard was handed in
}
