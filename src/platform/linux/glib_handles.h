#pragma once

#include <glib-object.h>
#include <glib.h>

#include <memory>

// Owning handles for the GLib objects the backend takes, so that every path
// out of a function releases them.
namespace vantrel::platform::linux_backend {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GErrorFree {
    void operator()(GError *error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFree>;

struct GVariantUnref {
    void operator()(GVariant *value) const { g_variant_unref(value); }
};
using GVariantPtr = std::unique_ptr<GVariant, GVariantUnref>;

} // namespace vantrel::platform::linux_backend
