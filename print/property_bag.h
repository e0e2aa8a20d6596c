#pragma once
// What a control keeps of its properties between uses: values by key. A
// value equal to its default is not written, so a default change reaches
// every saved control.

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace fotello {

class PropertyBag {
public:
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const {
        return values_.value(key, defaultValue);
    }
    void WriteProperty(const QString& key, const QVariant& value, const QVariant& defaultValue) {
        if (value == defaultValue)
            values_.remove(key);
        else
            values_.insert(key, value);
    }
    bool contains(const QString& key) const { return values_.contains(key); }

private:
    QVariantMap values_;
};

} // namespace fotello
