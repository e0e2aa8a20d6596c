#include <QAction>

#include "browse_fixture.h"
#include "controls/toolbar_button.h"

using namespace fotello;
using namespace fotello::test;

class HintsTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        start();
        status = ctl<QLabel>("lblstatus");
        // The offscreen platform enters the window at its corner when it shows.
        away();
    }
    void hover(QWidget* b) { QTest::mouseMove(b, b->rect().center()); }
    void away() { QTest::mouseMove(w.get(), QPoint(w->width() / 2, w->height() / 2)); }
    QLabel* status = nullptr;
};

TEST_F(HintsTest, StraightFromOneButtonToTheNextShowsTheSecondAndAnExitClears) {
    const char* row[] = {"ctbRefresh", "ctbSlide", "ctbProps"};
    for (std::size_t i = 0; i + 1 < std::size(row); ++i) {
        auto* from = ctl<ToolbarButton>(row[i]);
        auto* to = ctl<ToolbarButton>(row[i + 1]);
        hover(from);
        ASSERT_EQ(status->text(), from->action()->statusTip()) << row[i];
        hover(to);
        EXPECT_EQ(status->text(), to->action()->statusTip()) << row[i] << " -> " << row[i + 1];
    }
    status->setText("outra coisa"); // a command wrote meanwhile: the exit clears it too
    away();
    EXPECT_EQ(status->text(), "");
}

TEST_F(HintsTest, TheWebButtonShowsTheAddressAndPointsLikeALink) {
    auto* web = ctl<ToolbarButton>("ClarkTBButton2");
    hover(web);
    EXPECT_TRUE(status->text().startsWith("https://")) << status->text().toStdString();
    EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor);
    away();
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor) << "the default pointer is back";
    EXPECT_EQ(status->text(), "");
}
