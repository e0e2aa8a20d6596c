#pragma once
// A label whose text is wider than the label shows its start and ends with
// "..." instead of being cut wherever its alignment puts the edge. The text
// itself is left whole: whoever reads the label gets all of it, and the
// pointer resting on a shortened label shows it in a tip.

#include <functional>

#include <QString>

class QLabel;

namespace fotello {

// The longest start of text that, followed by "...", is at most width wide
// (text itself when it fits). A character is never split.
QString ElideRight(const QString& text, int width,
                   const std::function<int(const QString&)>& measure);

// Makes the label paint its text shortened that way when it does not fit.
void ElideTextAtRight(QLabel* label);

} // namespace fotello
