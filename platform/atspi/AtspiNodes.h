#pragma once
// Reading the accessibility tree one call at a time: a failed call reads as
// nothing, never as an error to handle.
#include <QString>
#include <atspi/atspi.h>

namespace ql::atspi_nodes {

// Takes ownership of a g_malloc'ed string.
inline QString take(gchar* text) {
    QString out = text ? QString::fromUtf8(text) : QString();
    g_free(text);
    return out;
}

inline QString nameOf(AtspiAccessible* node) {
    GError* error = nullptr;
    QString name = take(atspi_accessible_get_name(node, &error));
    g_clear_error(&error);
    return name;
}

inline int childCount(AtspiAccessible* node) {
    GError* error = nullptr;
    const int n = atspi_accessible_get_child_count(node, &error);
    const bool failed = error != nullptr;
    g_clear_error(&error);
    return failed ? 0 : n;
}

// A new reference, or null.
inline AtspiAccessible* childAt(AtspiAccessible* node, int index) {
    GError* error = nullptr;
    AtspiAccessible* child = atspi_accessible_get_child_at_index(node, index, &error);
    g_clear_error(&error);
    return child;
}

} // namespace ql::atspi_nodes
