#include <gtest/gtest.h>

#include <QCloseEvent>

#include "settings_db_maker.h"
#include "shell/forms.h"
#include "shell/main_window.h"

using namespace fotello;

namespace {

std::vector<QString> g_closed;

class TestForm : public QWidget {
public:
    explicit TestForm(const QString& name) {
        setObjectName(name);
        Forms::instance().add(this);
    }
    ~TestForm() override { Forms::instance().remove(this); }

protected:
    void closeEvent(QCloseEvent* e) override {
        g_closed.push_back(objectName());
        e->accept();
    }
};

} // namespace

TEST(UnloadAllForms, ClosingTheMainWindowUnloadsEveryWindowLastFirst) {
    g_closed.clear();
    const std::string dir = test::MakeTempDir();
    FrmFotello main(QString::fromStdString(dir));
    main.show();
    TestForm a("frmCopyMove"), b("frmEfeitos");
    a.show();
    b.show();
    EXPECT_EQ(Forms::instance().count(), 3u);
    EXPECT_TRUE(main.close());
    EXPECT_EQ(g_closed, (std::vector<QString>{"frmEfeitos", "frmCopyMove"}));
    EXPECT_EQ(Forms::instance().count(), 0u);
    EXPECT_FALSE(a.isVisible());
    EXPECT_FALSE(main.isVisible());
    test::RemoveTree(dir);
}
