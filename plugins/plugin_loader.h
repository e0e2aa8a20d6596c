#pragma once
// Loading a plug-in library and calling it, one instance a call. Plain C++:
// the windows turn the results into menu items and messages.

#include <optional>
#include <string>

#include "plugins/fotello_plugin.h"

namespace fotello {

inline constexpr const char* kPluginPattern = "Plimsol.so";
inline constexpr const char* kPluginClass = "clsPluginInterface";

enum class PluginFailure {
    None,
    BadName,      // the name would reach outside the program's folder
    Unsafe,       // someone else could have changed the code
    NotLoaded,    // missing, or not a library this machine can load
    NoEntryPoint, // not a Fotello plug-in
    NoClass,      // no such class, or one of another contract version
    NotCreated,   // the class made no instance
    NoCaption,    // identify() gave nothing
    RunFailed,    // run() said it failed
    Threw,        // an exception reached the browser
};

// The description shown after the progId when a run fails.
std::string PluginFailureText(PluginFailure failure);

// "Plimsol.so" -> "Plimsol.clsPluginInterface"; empty for a name that is not a
// library's.
std::string PluginProgId(const std::string& fileName);

// "Plimsol.clsPluginInterface" -> the library's file name and the class.
struct PluginRef {
    std::string fileName;
    std::string className;
};
// Nothing for a name with a "/" or without a library or class part.
std::optional<PluginRef> ParsePluginProgId(const std::string& progId);

// What the file says before any of its code runs: NotLoaded when it is
// missing; Unsafe unless the folder is absolute and the file a regular file
// there (not a link), neither writable by group or others and both owned by
// root or this user; NoEntryPoint unless its dynamic symbols define the entry
// point (a library's constructors run the moment it is loaded, so a library
// that is no plug-in is never loaded).
PluginFailure CheckPluginFile(const std::string& folder, const std::string& fileName);

struct PluginCall {
    PluginFailure failure = PluginFailure::None;
    // The caption or the run's message; for RunFailed the plug-in's description.
    std::string text;
    bool ok() const { return failure == PluginFailure::None; }
};

// A fresh instance of progId from the library in folder, asked for its caption.
PluginCall IdentifyPlugin(const std::string& folder, const std::string& progId);
// A fresh instance of progId, run with the host.
PluginCall RunPluginWith(const std::string& folder, const std::string& progId,
                         const fotello_host& host);

} // namespace fotello
