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
    TestForm(const QString& name, bool refuse) : refuse_(refuse) {
        setObjectName(name);
        Forms::instance().add(this);
    }
    ~TestForm() override { Forms::instance().remove(this); }

protected:
    void closeEvent(QCloseEvent* e) override {
        g_closed.push_back(objectName());
        if (refuse_)
            e->ignore();
        else
            e->accept();
    }

private:
    bool refuse_;
};

} // namespace

TEST(UnloadAllForms, ClosingTheMainWindowUnloadsEveryWindowLastFirst) {
    g_closed.clear();
    const std::string dir = test::MakeTempDir();
    FrmFotello main(QString::fromStdString(dir));
    main.show();
    TestForm a("frmCopyMove", false), b("frmEfeitos", false);
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

TEST(UnloadAllForms, ARefusingWindowStopsTheSweep) {
    g_closed.clear();
    TestForm first("primeira", false), refusing("recusa", true), last("ultima", false);
    for (QWidget* w : {static_cast<QWidget*>(&first), static_cast<QWidget*>(&refusing),
                       static_cast<QWidget*>(&last)})
        w->show();
    UnloadAllForms();
    EXPECT_EQ(g_closed, (std::vector<QString>{"ultima", "recusa"}));
    EXPECT_EQ(Forms::instance().count(), 2u);
    EXPECT_TRUE(first.isVisible());
    EXPECT_TRUE(refusing.isVisible());
    Forms::instance().remove(&first);
    Forms::instance().remove(&refusing);
}
