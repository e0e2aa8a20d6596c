#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "shell/unload_order.h"

namespace {

struct FakeForms {
    std::vector<std::string> loaded;
    std::vector<std::string> refusing;
    std::vector<std::string> asked;
    std::size_t count() const { return loaded.size(); }
    void unload(std::size_t i) {
        asked.push_back(loaded[i]);
        for (const auto& r : refusing)
            if (r == loaded[i])
                return;
        loaded.erase(loaded.begin() + static_cast<long>(i));
    }
};

} // namespace

TEST(UnloadAllForms, MostRecentFirstAndStopsAtTheFirstRefusal) {
    FakeForms all{{"frmFotello", "frmCopyMove", "frmEfeitos"}, {}, {}};
    fotello::UnloadAllFormsOf(all);
    EXPECT_TRUE(all.loaded.empty());
    EXPECT_EQ(all.asked, (std::vector<std::string>{"frmEfeitos", "frmCopyMove", "frmFotello"}));

    FakeForms refused{{"frmFotello", "frmCopyMove", "frmEfeitos"}, {"frmCopyMove"}, {}};
    fotello::UnloadAllFormsOf(refused);
    EXPECT_EQ(refused.asked, (std::vector<std::string>{"frmEfeitos", "frmCopyMove"}));
    EXPECT_EQ(refused.loaded, (std::vector<std::string>{"frmFotello", "frmCopyMove"}));

    FakeForms none;
    fotello::UnloadAllFormsOf(none);
    EXPECT_TRUE(none.asked.empty());
}
