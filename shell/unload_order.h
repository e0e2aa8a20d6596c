#pragma once
// Closing the program closes every window, the most recently opened first,
// and stops at the first one that refuses.

#include <cstddef>

namespace fotello {

// Forms: count() -> size_t, unload(index) (may leave the form loaded).
template <typename Forms> void UnloadAllFormsOf(Forms& forms) {
    std::size_t n = forms.count();
    while (n >= 1) {
        forms.unload(n - 1);
        if (forms.count() == n)
            return;
        n = n - 1;
    }
}

} // namespace fotello
