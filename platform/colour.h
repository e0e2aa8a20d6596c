#pragma once
// Colours as the settings and the filters store them: 0x00BBGGRR.

#include <cstdint>

#include <QColor>

namespace fotello {

QColor ColorFromBgr(std::uint32_t bgr);

} // namespace fotello
