#pragma once
// The handle a plug-in gets during its run: the main window's controls'
// properties by name, read and written as UTF-8 text.

#include <QThread>

#include "plugins/fotello_plugin.h"

namespace fotello {

class MainWindowHost;

class PluginHost {
public:
    explicit PluginHost(MainWindowHost& window);
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    const fotello_host& handle() const { return handle_; }

private:
    static int64_t getProperty(const fotello_host* host, const char* control, const char* property,
                               char* buf, size_t cap) noexcept;
    static int setProperty(const fotello_host* host, const char* control, const char* property,
                           const char* value) noexcept;
    // The host behind a handle, when called on its own thread.
    static PluginHost* of(const fotello_host* host);

    MainWindowHost& window_;
    QThread* thread_;
    fotello_host handle_{};
};

} // namespace fotello
