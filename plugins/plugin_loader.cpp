#include "plugins/plugin_loader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fotello {

namespace {

// A message longer than this is a plug-in's fault; what it ran past is not read.
constexpr std::size_t kMaxText = 1 << 20;

std::string copyText(const char* text) {
    return text ? std::string(text, ::strnlen(text, kMaxText)) : std::string();
}

bool ownedAndClosed(const struct stat& st) {
    const bool owner = st.st_uid == 0 || st.st_uid == ::geteuid();
    return owner && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The library, loaded while one call lasts.
class Library {
public:
    explicit Library(const std::string& path)
        : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~Library() {
        if (handle_)
            ::dlclose(handle_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    bool loaded() const { return handle_ != nullptr; }
    fotello_plugin_entry entry() const {
        return reinterpret_cast<fotello_plugin_entry>(::dlsym(handle_, FOTELLO_PLUGIN_ENTRY));
    }

private:
    void* handle_;
};

// One instance, destroyed when the call ends, whatever happened.
class Instance {
public:
    Instance(const fotello_plugin_class& cls) : cls_(cls), self_(cls.create()) {}
    ~Instance() {
        if (self_)
            cls_.destroy(self_);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    fotello_plugin* get() const { return self_; }

private:
    const fotello_plugin_class& cls_;
    fotello_plugin* self_;
};

// A file mapped for reading; every read is bounds-checked and copied out, so
// a hostile or truncated file only fails the check.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            return;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
            void* p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE,
                             fd, 0);
            if (p != MAP_FAILED) {
                data_ = static_cast<const unsigned char*>(p);
                size_ = static_cast<std::size_t>(st.st_size);
            }
        }
        ::close(fd);
    }
    ~MappedFile() {
        if (data_)
            ::munmap(const_cast<unsigned char*>(data_), size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::uint64_t size() const { return size_; }
    template <typename T> bool read(std::uint64_t offset, T& out) const {
        if (offset > size_ || size_ - offset < sizeof(T))
            return false;
        std::memcpy(&out, data_ + offset, sizeof(T));
        return true;
    }
    // Whether the NUL-terminated text at offset, within [offset, end), is `text`.
    bool textIs(std::uint64_t offset, std::uint64_t end, const char* text) const {
        const std::size_t n = std::strlen(text) + 1;
        end = std::min<std::uint64_t>(end, size_);
        return offset <= end && end - offset >= n && std::memcmp(data_ + offset, text, n) == 0;
    }

private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

// Whether a library of this machine's kind defines the entry point among its
// dynamic symbols, read from the file without loading it.
bool definesEntryPoint(const std::string& path) {
    const MappedFile f(path);
    ElfW(Ehdr) eh;
    if (!f.read(0, eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 ||
        eh.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) ||
        eh.e_ident[EI_DATA] != (__BYTE_ORDER == __LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB) ||
        eh.e_type != ET_DYN || eh.e_shentsize != sizeof(ElfW(Shdr)) ||
        eh.e_phentsize != sizeof(ElfW(Phdr)))
        return false;
    // A file cut short (a copy still under way) makes the loader fault on the
    // pages it maps past the end.
    for (unsigned i = 0; i < eh.e_phnum; ++i) {
        ElfW(Phdr) ph;
        if (!f.read(eh.e_phoff + std::uint64_t{i} * sizeof(ElfW(Phdr)), ph))
            return false;
        if (ph.p_type == PT_LOAD &&
            (ph.p_offset > f.size() || f.size() - ph.p_offset < ph.p_filesz))
            return false;
    }
    for (unsigned i = 0; i < eh.e_shnum; ++i) {
        ElfW(Shdr) dynsym;
        if (!f.read(eh.e_shoff + std::uint64_t{i} * sizeof(ElfW(Shdr)), dynsym))
            return false;
        if (dynsym.sh_type != SHT_DYNSYM || dynsym.sh_entsize != sizeof(ElfW(Sym)))
            continue;
        ElfW(Shdr) strtab;
        if (dynsym.sh_link >= eh.e_shnum ||
            !f.read(eh.e_shoff + std::uint64_t{dynsym.sh_link} * sizeof(ElfW(Shdr)), strtab) ||
            strtab.sh_type != SHT_STRTAB || strtab.sh_offset > UINT64_MAX - strtab.sh_size)
            return false;
        const std::uint64_t count = dynsym.sh_size / sizeof(ElfW(Sym));
        for (std::uint64_t k = 0; k < count; ++k) {
            ElfW(Sym) sym;
            if (!f.read(dynsym.sh_offset + k * sizeof(ElfW(Sym)), sym))
                return false;
            const unsigned bind = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx != SHN_UNDEF && ELF64_ST_TYPE(sym.st_info) == STT_FUNC &&
                (bind == STB_GLOBAL || bind == STB_WEAK) && sym.st_name < strtab.sh_size &&
                f.textIs(strtab.sh_offset + sym.st_name, strtab.sh_offset + strtab.sh_size,
                         FOTELLO_PLUGIN_ENTRY))
                return true;
        }
    }
    return false;
}

bool usable(const fotello_plugin_class* cls) {
    return cls && cls->abi_version == FOTELLO_PLUGIN_ABI_VERSION &&
           cls->size >= sizeof(fotello_plugin_class) && cls->create && cls->identify && cls->run &&
           cls->destroy;
}

// Loads the library of progId, makes an instance and hands it to `call`.
template <typename Call>
PluginCall withInstance(const std::string& folder, const std::string& progId, Call call) {
    const auto ref = ParsePluginProgId(progId);
    if (!ref)
        return {PluginFailure::BadName, {}};
    if (const PluginFailure refused = CheckPluginFile(folder, ref->fileName);
        refused != PluginFailure::None)
        return {refused, {}};
    const Library library(folder + "/" + ref->fileName);
    if (!library.loaded())
        return {PluginFailure::NotLoaded, {}};
    const fotello_plugin_entry entry = library.entry();
    if (!entry)
        return {PluginFailure::NoEntryPoint, {}};
    try {
        const fotello_plugin_class* cls = entry(ref->className.c_str(), FOTELLO_PLUGIN_ABI_VERSION);
        if (!usable(cls))
            return {PluginFailure::NoClass, {}};
        const Instance instance(*cls);
        if (!instance.get())
            return {PluginFailure::NotCreated, {}};
        return call(*cls, instance.get());
    } catch (...) {
        // The contract forbids it; the browser survives it all the same.
        return {PluginFailure::Threw, {}};
    }
}

} // namespace

std::string PluginFailureText(PluginFailure failure) {
    switch (failure) {
    case PluginFailure::None:
        return {};
    case PluginFailure::BadName:
        return "Nome de plug-in inválido";
    case PluginFailure::Unsafe:
        return "O plug-in ou a sua pasta pode ser alterado por outros usuários";
    case PluginFailure::NotLoaded:
        return "Não foi possível carregar o plug-in";
    case PluginFailure::NoEntryPoint:
        return "O arquivo não é um plug-in do Fotello";
    case PluginFailure::NoClass:
        return "O plug-in não tem a classe clsPluginInterface desta versão";
    case PluginFailure::NotCreated:
        return "Não foi possível criar o plug-in";
    case PluginFailure::NoCaption:
        return "O plug-in não se identificou";
    case PluginFailure::RunFailed:
        return "O plug-in falhou";
    case PluginFailure::Threw:
        return "O plug-in terminou com uma exceção";
    }
    return {};
}

std::string PluginProgId(const std::string& fileName) {
    constexpr std::string_view suffix = ".so";
    if (fileName.size() <= suffix.size() || !fileName.ends_with(suffix) ||
        fileName.find('/') != std::string::npos)
        return {};
    return fileName.substr(0, fileName.size() - suffix.size()) + "." + kPluginClass;
}

std::optional<PluginRef> ParsePluginProgId(const std::string& progId) {
    const auto dot = progId.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == progId.size() ||
        progId.find('/') != std::string::npos || progId.find('\0') != std::string::npos)
        return std::nullopt;
    return PluginRef{progId.substr(0, dot) + ".so", progId.substr(dot + 1)};
}

PluginFailure CheckPluginFile(const std::string& folder, const std::string& fileName) {
    if (folder.empty() || folder.front() != '/' || fileName.empty() ||
        fileName.find('/') != std::string::npos)
        return PluginFailure::Unsafe;
    const std::string path = folder + "/" + fileName;
    struct stat file {};
    if (::lstat(path.c_str(), &file) != 0)
        return PluginFailure::NotLoaded;
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode) || !ownedAndClosed(dir) ||
        !S_ISREG(file.st_mode) || !ownedAndClosed(file))
        return PluginFailure::Unsafe;
    return definesEntryPoint(path) ? PluginFailure::None : PluginFailure::NoEntryPoint;
}

PluginCall IdentifyPlugin(const std::string& folder, const std::string& progId) {
    return withInstance(folder, progId,
                        [](const fotello_plugin_class& cls, fotello_plugin* self) -> PluginCall {
                            const char* caption = cls.identify(self);
                            if (!caption)
                                return {PluginFailure::NoCaption, {}};
                            return {PluginFailure::None, copyText(caption)};
                        });
}

PluginCall RunPluginWith(const std::string& folder, const std::string& progId,
                         const fotello_host& host) {
    return withInstance(
        folder, progId,
        [&host](const fotello_plugin_class& cls, fotello_plugin* self) -> PluginCall {
            const char* text = nullptr;
            const int status = cls.run(self, &host, &text);
            if (status != 0)
                return {PluginFailure::RunFailed, copyText(text)};
            return {PluginFailure::None, copyText(text)};
        });
}

} // namespace fotello
