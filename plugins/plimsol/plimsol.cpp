// Plimsol, the sample plug-in: "Informações da pasta" counts the pictures of
// the folder on show and their bytes, and names the current picture. It sees
// the browser only through the host's control properties.

#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "plugins/fotello_plugin.h"

struct fotello_plugin {
    std::string text; // what the last call returned
};

namespace {

namespace fs = std::filesystem;

std::optional<std::string> property(const fotello_host* host, const char* control,
                                    const char* name) {
    const int64_t size = host->get_property(host, control, name, nullptr, 0);
    if (size < 0)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    if (host->get_property(host, control, name, text.data(), text.size()) < 0)
        return std::nullopt;
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool isPicture(const std::string& name) {
    if (name.empty() || name.front() == '.')
        return false;
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    for (const char* kind : {"bmp", "jpg", "wmf", "gif", "ico", "cur"})
        if (ext == kind)
            return true;
    return false;
}

// 0 and the summary, or 1 and what went wrong.
int summarise(const fotello_host* host, std::string& out) {
    if (!host || host->abi_version < 1 || host->size < sizeof(fotello_host)) {
        out = "Versão do Fotello não suportada";
        return 1;
    }
    const auto folder = property(host, "File1", "path");
    if (!folder || folder->empty()) {
        out = "Nenhuma pasta aberta";
        return 1;
    }
    std::error_code ec;
    fs::directory_iterator it(fs::u8path(*folder), ec);
    if (ec) {
        out = "Não foi possível ler a pasta " + *folder;
        return 1;
    }
    long long count = 0;
    unsigned long long bytes = 0;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        if (!isPicture(it->path().filename().string()) || !it->is_regular_file(ec))
            continue;
        const auto size = it->file_size(ec);
        if (ec)
            continue;
        ++count;
        bytes += size;
    }
    out = "Pasta: " + *folder + "\n" + std::to_string(count) +
          (count == 1 ? " imagem, " : " imagens, ") + std::to_string(bytes) + " bytes no total";

    // The current picture: lblPath holds its full path, or the folder alone.
    const auto current = property(host, "lblPath", "text");
    const std::string prefix = *folder == "/" ? "/" : *folder + "/";
    if (current && current->size() > prefix.size() && current->starts_with(prefix) &&
        current->find('/', prefix.size()) == std::string::npos) {
        const std::string name = current->substr(prefix.size());
        const auto size = fs::file_size(fs::u8path(*current), ec);
        out += "\nImagem atual: " + name;
        if (!ec)
            out += " (" + std::to_string(size) + " bytes)";
    }
    return 0;
}

fotello_plugin* create() {
    return new (std::nothrow) fotello_plugin;
}

const char* identify(fotello_plugin* self) {
    try {
        self->text = "Informações da pasta";
        return self->text.c_str();
    } catch (...) {
        return nullptr;
    }
}

int run(fotello_plugin* self, const fotello_host* host, const char** text) {
    int status = 1;
    try {
        status = summarise(host, self->text);
    } catch (...) {
        self->text.clear();
        status = 1;
    }
    *text = self->text.c_str();
    return status;
}

void destroy(fotello_plugin* self) {
    delete self;
}

constexpr fotello_plugin_class kClass = {
    FOTELLO_PLUGIN_ABI_VERSION, sizeof(fotello_plugin_class), create, identify, run, destroy};

} // namespace

extern "C" const fotello_plugin_class* fotello_plugin_class_named(const char* class_name,
                                                                  uint32_t host_abi_version) {
    if (!class_name || std::strcmp(class_name, "clsPluginInterface") != 0 ||
        host_abi_version < FOTELLO_PLUGIN_ABI_VERSION)
        return nullptr;
    return &kClass;
}
