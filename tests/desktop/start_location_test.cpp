// Starting on a folder or file: the list, the tree, the title, the picture.

#include <sys/stat.h>

#include <QSignalSpy>
#include <QTreeWidget>

#include "browse_fixture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "platform/single_instance.h"
#include "shell/instance_server.h"

using namespace fotello;
using namespace fotello::test;

namespace {

class StartLocation : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        write("Fotos/Viagens/2003/praia.bmp", makers::EncodeBmp(picture(8, 6)));
        write("Fotos/Viagens/2003/serra.jpg", makers::EncodeJpeg(picture(1600, 1200)));
        write("Fotos/.ocultas/a.bmp", makers::EncodeBmp(picture(4, 4)));
    }
    QByteArray local(const QString& relative) const {
        return QFile::encodeName(dir + "/" + relative);
    }
    // The tree's selected node, once it is the folder's (its key ends in "/").
    QTreeWidgetItem* selectedNodeFor(const QString& key) {
        auto* tree = ctl<QTreeWidget>("tView");
        const auto isNode = [&](QTreeWidgetItem* i) {
            return i && i->isSelected() && i->data(0, Qt::UserRole).toString() == key;
        };
        return QTest::qWaitFor([&] { return isNode(tree->currentItem()); }, kWaitMs)
                   ? tree->currentItem()
                   : nullptr;
    }
};

TEST_F(StartLocation, AFolderOpensInTheListTheTreeAndTheTitleUnlessItCannotOrASlideShowRuns) {
    start();
    ASSERT_TRUE(Settled());
    // What cannot be opened is reported and changes nothing.
    const QString before = ctl<FileListBox>("File1")->path(), title = w->windowTitle();
    for (const QByteArray& path :
         {local("Fotos/nada"), QByteArray("relativa"), QByteArray("/dev/null")}) {
        w->openStartLocation(path);
        EXPECT_EQ(takeMessage(),
                  QString::fromUtf8("Não foi possível abrir ") + QFile::decodeName(path));
        EXPECT_EQ(ctl<FileListBox>("File1")->path(), before);
        EXPECT_EQ(w->windowTitle(), title);
    }

    w->openStartLocation(local("Fotos/Viagens/2003"));
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(ctl<FileListBox>("File1")->path(), dir + "/Fotos/Viagens/2003");
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("2003 — Fotello"));
    QTreeWidgetItem* node = selectedNodeFor(dir + "/Fotos/Viagens/2003/");
    ASSERT_TRUE(node);
    EXPECT_TRUE(node->parent()->isExpanded());
    EXPECT_EQ(ctl<QTreeWidget>("tView")->selectedItems().size(), 1);

    // A slide show keeps its folder.
    ASSERT_TRUE(Settled());
    w->action("ctbSlide")->trigger();
    w->openStartLocation(local("Fotos"));
    EXPECT_EQ(ctl<FileListBox>("File1")->path(), dir + "/Fotos/Viagens/2003");
    w->action("ctbSlideF")->trigger();
    w->openStartLocation(local("Fotos"));
    EXPECT_EQ(ctl<FileListBox>("File1")->path(), dir + "/Fotos");
}

TEST_F(StartLocation, AFileIsSelectedAndShownInItsFolder) {
    // As the command line does: set before start-up, opened by it.
    w = std::make_unique<FrmFotello>(program);
    w->setStartLocation(local("Fotos/Viagens/2003/serra.jpg"));
    w->resize(900, 600);
    w->Form_Load();
    w->show();
    auto* list = ctl<FileListBox>("File1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->selectedName() == "serra.jpg"; }, kWaitMs));
    ASSERT_TRUE(Settled());
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(list->path(), dir + "/Fotos/Viagens/2003");
    // Read once the window is laid out: as many pixels as its pane shows, not
    // a reduction made for the panes' sizes before the first showing.
    auto* image = ctl<ImageControl>("Image1");
    EXPECT_GT(image->width(), 400);
    EXPECT_EQ(image->picture().size(), image->size());
    EXPECT_EQ(ctl<QLabel>("lblPath")->text(), dir + "/Fotos/Viagens/2003/serra.jpg");
}

TEST_F(StartLocation, FoldersTheTreeDoesNotShowOrNamedInOtherBytesStillOpen) {
    const QByteArray raw = local("Fotos/f\xe9rias");
    ASSERT_EQ(::mkdir(raw.constData(), 0755), 0);
    start();
    w->openStartLocation(raw);
    EXPECT_EQ(ctl<FileListBox>("File1")->localFolder(), raw);
    QTreeWidgetItem* node = selectedNodeFor(QFile::decodeName(raw) + "/");
    ASSERT_TRUE(node);
    EXPECT_EQ(node->parent()->data(0, Qt::UserRole).toString(), dir + "/Fotos/");

    // A hidden folder opens in the list; the tree selects nothing rather than a parent.
    w->openStartLocation(local("Fotos/.ocultas"));
    EXPECT_EQ(ctl<FileListBox>("File1")->listCount(), 1);
    auto* tree = ctl<QTreeWidget>("tView");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree->selectedItems().isEmpty(); }, kWaitMs));
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8(".ocultas — Fotello"));
}

// The running instance's end of the socket: what a later start sends arrives
// whole, once; what is no path does not arrive.
TEST(InstanceServerTest, EachConnectionCarriesOnePath) {
    const std::string dir = MakeTempDir(), lockPath = dir + "/i.lock";
    SingleInstanceLock lock(lockPath);
    InstanceServer server(lock.takeServerSocket());
    ASSERT_TRUE(server.isListening());
    QSignalSpy arrived(&server, &InstanceServer::pathArrived);
    const std::string socket = InstanceSocketPath(lockPath);
    const struct {
        std::string sent;
        bool arrives;
    } cases[] = {
        {"/tmp/f\xe9rias/a b.jpg", true},
        {std::string(std::size_t(InstanceServer::kMaxPath), 'b'), true},
        {std::string(std::size_t(InstanceServer::kMaxPath) + 1, 'a'), false},
        {"", false},
    };
    for (const auto& c : cases) {
        arrived.clear();
        ASSERT_TRUE(SendToRunningInstance(socket, c.sent));
        // A later path that does arrive shows the one before was handled.
        ASSERT_TRUE(SendToRunningInstance(socket, "/fim"));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !arrived.isEmpty() && arrived.last().at(0).toByteArray() == "/fim"; },
            20000));
        ASSERT_EQ(arrived.size(), c.arrives ? 2 : 1) << c.sent.size();
        EXPECT_EQ(arrived.first().at(0).toByteArray().toStdString(), c.arrives ? c.sent : "/fim");
    }
    RemoveTree(dir);
}

} // namespace
