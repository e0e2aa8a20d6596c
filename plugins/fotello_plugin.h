/* Fotello plug-ins: the contract between the browser and a plug-in library.
 *
 * A plug-in is a shared library "<Name>.so" in the program's folder that
 * exports fotello_plugin_class_named(). The browser asks it for the class
 * "clsPluginInterface", creates an instance, calls identify() for the caption
 * of its menu item or run() when the user picks that item, and destroys the
 * instance at once. Nothing is kept between calls, and the library may be
 * unloaded after each one: a plug-in leaves no thread or timer behind.
 *
 * Plain C on both sides: no C++ exception may leave a plug-in's function, and
 * text crosses as NUL-terminated UTF-8. Everything runs on the browser's user
 * interface thread, and the host functions refuse calls from any other.
 */
#ifndef FOTELLO_PLUGIN_H
#define FOTELLO_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define FOTELLO_PLUGIN_ABI_VERSION 1u
#define FOTELLO_PLUGIN_ENTRY "fotello_plugin_class_named"
#define FOTELLO_PLUGIN_EXPORT __attribute__((visibility("default")))

/* The main window as a plug-in sees it: the properties of its controls, found
 * by the control's name ("lblPath", "File1", "frmFotello" for the window). The
 * handle is valid only during the run() it was given to. */
typedef struct fotello_host fotello_host;
struct fotello_host {
    uint32_t abi_version; /* FOTELLO_PLUGIN_ABI_VERSION */
    uint32_t size;        /* sizeof(fotello_host) as the browser was built */
    void* context;        /* the browser's own */

    /* Reads a property as text. Copies at most cap - 1 bytes and a NUL into
     * buf (nothing when cap is 0) and returns the whole text's length in
     * bytes, so a call with cap 0 sizes the buffer; -1 when there is no such
     * control or property, or the property has no text form. A cut text ends
     * on a whole character. */
    int64_t (*get_property)(const fotello_host* host, const char* control, const char* property,
                            char* buf, size_t cap);
    /* Writes an existing property from text ("true", "42", "Olá"). 0 when
     * done; -1 when there is no such control or property, it is read-only or
     * the text does not convert to its type. */
    int (*set_property)(const fotello_host* host, const char* control, const char* property,
                        const char* value);
};

/* An instance, the plug-in's own. */
typedef struct fotello_plugin fotello_plugin;

typedef struct fotello_plugin_class {
    uint32_t abi_version; /* FOTELLO_PLUGIN_ABI_VERSION */
    uint32_t size;        /* sizeof(fotello_plugin_class) */
    /* A new instance, or NULL when none can be made. */
    fotello_plugin* (*create)(void);
    /* The caption of the plug-in's menu item, or NULL. */
    const char* (*identify)(fotello_plugin* self);
    /* Does the plug-in's work. Returns 0 and sets *text to a message for the
     * user (NULL or "" for none), or non-zero and sets *text to a description
     * of what failed. */
    int (*run)(fotello_plugin* self, const fotello_host* host, const char** text);
    void (*destroy)(fotello_plugin* self);
} fotello_plugin_class;

/* Texts returned by identify() and run() belong to the instance and stay
 * valid until its next call or its destroy(). */

/* The one symbol a plug-in exports: the class of that name for a browser of
 * the given contract version, or NULL. */
typedef const fotello_plugin_class* (*fotello_plugin_entry)(const char* class_name,
                                                            uint32_t host_abi_version);
FOTELLO_PLUGIN_EXPORT const fotello_plugin_class*
fotello_plugin_class_named(const char* class_name, uint32_t host_abi_version);

#ifdef __cplusplus
}
#endif

#endif /* FOTELLO_PLUGIN_H */
