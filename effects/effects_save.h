#pragma once
// Writing the effects window's picture over its file. Safe on a worker thread.

#include <QByteArray>
#include <QImage>

#include "effects/effects_rules.h"

namespace fotello {

// The JPEG rate the effects window saves at.
inline constexpr int kEffectsJpegRate = 20;

// Encodes picture in kind and replaces targetLocal with it only once the new
// file is complete (its permissions are kept). False, with the old file as it
// was, when anything fails; a picture too big for an icon fails too.
bool SaveEffectsPicture(const QImage& picture, const QByteArray& targetLocal, EffectsSaveKind kind);

} // namespace fotello
