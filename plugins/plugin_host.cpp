#include "plugins/plugin_host.h"

#include <cstring>

#include <QMetaProperty>
#include <QObject>
#include <QVariant>

#include "shell/main_window_host.h"

namespace fotello {

PluginHost::PluginHost(MainWindowHost& window)
    : window_(window), thread_(QThread::currentThread()) {
    handle_.abi_version = FOTELLO_PLUGIN_ABI_VERSION;
    handle_.size = sizeof(fotello_host);
    handle_.context = this;
    handle_.get_property = &PluginHost::getProperty;
    handle_.set_property = &PluginHost::setProperty;
}

PluginHost* PluginHost::of(const fotello_host* host) {
    if (!host || !host->context)
        return nullptr;
    auto* self = static_cast<PluginHost*>(host->context);
    // Widgets live on their own thread only.
    return QThread::currentThread() == self->thread_ ? self : nullptr;
}

int64_t PluginHost::getProperty(const fotello_host* host, const char* control, const char* property,
                                char* buf, size_t cap) noexcept {
    try {
        PluginHost* self = of(host);
        if (!self || !control || !property)
            return -1;
        const QObject* o = self->window_.control(QString::fromUtf8(control));
        if (!o)
            return -1;
        QVariant value = o->property(property);
        if (!value.isValid() || !value.convert(QMetaType::fromType<QString>()))
            return -1;
        const QByteArray text = value.toString().toUtf8();
        if (buf && cap > 0) {
            qsizetype n = std::min<qsizetype>(text.size(), static_cast<qsizetype>(cap - 1));
            // Never half a character: back off to the start of the one cut.
            while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
                --n;
            std::memcpy(buf, text.constData(), static_cast<std::size_t>(n));
            buf[n] = '\0';
        }
        return text.size();
    } catch (...) {
        return -1;
    }
}

int PluginHost::setProperty(const fotello_host* host, const char* control, const char* property,
                            const char* value) noexcept {
    try {
        PluginHost* self = of(host);
        if (!self || !control || !property || !value)
            return -1;
        QObject* o = self->window_.control(QString::fromUtf8(control));
        if (!o)
            return -1;
        QVariant text(QString::fromUtf8(value));
        const QMetaObject* meta = o->metaObject();
        const int index = meta->indexOfProperty(property);
        if (index >= 0) {
            const QMetaProperty p = meta->property(index);
            if (!p.isWritable() || !text.convert(p.metaType()))
                return -1;
            return p.write(o, text) ? 0 : -1;
        }
        // A dynamic property keeps its type; a new one is never made.
        if (!o->dynamicPropertyNames().contains(property))
            return -1;
        if (!text.convert(o->property(property).metaType()))
            return -1;
        o->setProperty(property, text);
        return 0;
    } catch (...) {
        return -1;
    }
}

} // namespace fotello
