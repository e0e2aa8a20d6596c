#pragma once
// A started main window over a temporary folder of pictures.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

#include "../shell/settings_db_maker.h"
#include "controls.h"
#include "controls/file_list_box.h"
#include "platform/picture_reader.h"
#include "shell/main_window.h"
#include "shell/preview_loader.h"
#include "shell/thumbnail_strip.h"
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
    // Starts the window listing a folder of dir ("" for dir itself).
    void startIn(const QString& folder) {
        start();
        showFolder(folder);
    }
    // Lists the folder and waits for its pictures.
    void showFolder(const QString& folder) {
        ASSERT_TRUE(
            ctl<FileListBox>("File1")->setPath(folder.isEmpty() ? dir : dir + "/" + folder));
        ASSERT_TRUE(Settled());
    }
    // Every picture asked for is shown or refused, nothing is being read, and
    // the hourglass is gone (the strip is built too).
    bool Settled() const {
        auto* loader = w->findChild<PreviewLoader*>("previewLoader");
        return loader &&
               QTest::qWaitFor(
                   [loader] { return loader->idle() && QApplication::overrideCursor() == nullptr; },
                   kWaitMs);
    }
    // Clicks a file name in the list, as the user does.
    void click(const QString& name) {
        auto* list = ctl<FileListBox>("File1");
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        list->scrollToItem(items.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.first()).center());
    }
    // Clicks it and waits for the picture.
    void pick(const QString& name) {
        click(name);
        ASSERT_TRUE(Settled());
    }
    // The strip's cell showing that file, or -1.
    int cellOf(const QString& name) const {
        auto* strip = ctl<ThumbnailStrip>("picFrame");
        for (int i = 0; i < strip->cellCount(); ++i)
            if (strip->cellTag(i) == name)
                return i;
        return -1;
    }
    // Clicks a node of the folder tree.
    void clickNode(QTreeWidgetItem* node) {
        auto* tree = ctl<QTreeWidget>("tView");
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(node).center());
    }
    static constexpr int kWaitMs = 20000;

    // A control of the window, by its name.
    template <class T> T* ctl(const QString& name) const { return Control<T>(*w, name); }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir + "/" + name;
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(makers::WriteFile(path, bytes));
        return path;
    }
    // Names need not be UTF-8: written by their bytes.
    static void writeRaw(const QByteArray& local, const QByteArray& bytes) {
        const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << local.constData();
        ASSERT_EQ(::write(fd, bytes.constData(), std::size_t(bytes.size())), bytes.size());
        ::close(fd);
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
