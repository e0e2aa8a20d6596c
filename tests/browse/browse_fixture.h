#pragma once
// A started main window over a temporary folder of pictures.

#include <gtest/gtest.h>
#include <memory>

#include <QDir>
#include <QMessageBox>
#include <QTest>

#include "../shell/settings_db_maker.h"
#include "controls.h"
#include "platform/picture_reader.h"
#include "shell/main_window.h"
#include "tools/picture_makers.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace fotello::test {

class BrowseFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir = QString::fromStdString(MakeTempDir());
        SetHelperFolder(QString::fromLocal8Bit(qgetenv("FOTELLO_BIN_DIR")));
        program = QString::fromStdString(MakeTempDir());
    }
    void TearDown() override {
        w.reset();
        RemoveTree(dir.toStdString());
        RemoveTree(program.toStdString());
    }
    void start() {
        w = std::make_unique<FrmFotello>(program);
        w->resize(900, 600);
        w->Form_Load();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    // A control of the window, by its name.
    template <class T> T* ctl(const QString& name) const { return Control<T>(*w, name); }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir + "/" + name;
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(makers::WriteFile(path, bytes));
        return path;
    }
    static QImage picture(int w, int h, QColor c = QColor(200, 80, 40)) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(c);
        return img;
    }
    // The message box shown last, closed after reading; empty when none.
    QString takeMessage(QString* title = nullptr, QMessageBox::Icon* icon = nullptr) {
        auto boxes = w->findChildren<QMessageBox*>("mensagem");
        if (boxes.isEmpty())
            return {};
        QMessageBox* box = boxes.last();
        const QString text = box->text();
        if (title)
            *title = box->windowTitle();
        if (icon)
            *icon = box->icon();
        for (auto* b : boxes)
            delete b;
        return text;
    }

    QString dir;
    QString program;
    std::unique_ptr<FrmFotello> w;
};

} // namespace fotello::test
