#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTreeWidget>

#include "browse_fixture.h"
#include "controls/image_control.h"
#include "controls/toolbar_button.h"
#include "shell/folder_scanner.h"
#include "unreadable_folder.h"

using namespace fotello;
using namespace fotello::test;

namespace {

QTreeWidgetItem* addNode(QTreeWidget* tree, const QString& key) {
    auto* node = new QTreeWidgetItem(tree);
    node->setText(0, key);
    node->setData(0, Qt::UserRole, key);
    node->addChild(new QTreeWidgetItem);
    return node;
}

// Expands a node and waits until its subfolders have been read (the expand
// mark it keeps meanwhile is settled).
bool expandAndWait(QTreeWidget* tree, QTreeWidgetItem* node) {
    tree->expandItem(node);
    return QTest::qWaitFor(
        [node] { return node->childIndicatorPolicy() != QTreeWidgetItem::ShowIndicator; }, 10000);
}

QStringList childTexts(QTreeWidgetItem* node) {
    QStringList out;
    for (int i = 0; i < node->childCount(); ++i)
        out << node->child(i)->text(0);
    return out;
}

} // namespace

class TreeTest : public BrowseFixture {
protected:
    // No hourglass left: the start-up thumbnails are built and every
    // expansion has been answered.
    static bool waitIdle() {
        return QTest::qWaitFor([] { return QApplication::overrideCursor() == nullptr; }, 10000);
    }
    void startIdle() {
        start();
        ASSERT_TRUE(waitIdle());
    }
    QTreeWidget* tree() const { return w->findChild<QTreeWidget*>("tView"); }
    FolderScanner* scanner() const { return w->findChild<FolderScanner*>("folderScanner"); }
};

TEST_F(TreeTest, ExpansionListsSubfoldersOnceWithPlaceholdersWhereNeeded) {
    QDir(dir).mkpath("Fotos");
    QDir(dir).mkpath("Viagens/2003");
    startIdle();
    // The volumes at the top, each with a placeholder.
    QTreeWidgetItem* root = tree()->topLevelItem(0);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->data(0, Qt::UserRole).toString(), "/");
    EXPECT_EQ(childTexts(root), QStringList{""});
    EXPECT_FALSE(root->icon(0).isNull());

    QTreeWidgetItem* node = addNode(tree(), dir + "/");
    tree()->expandItem(node);
    // Back from the expansion with nothing read yet: the listing is not the window's.
    EXPECT_EQ(node->childCount(), 0);
    EXPECT_NE(QApplication::overrideCursor(), nullptr) << "the hourglass while it is read";
    ASSERT_TRUE(expandAndWait(tree(), node));
    EXPECT_EQ(childTexts(node), (QStringList{"Fotos", "Viagens"}));
    QTreeWidgetItem* fotos = node->child(0);
    QTreeWidgetItem* viagens = node->child(1);
    EXPECT_EQ(fotos->data(0, Qt::UserRole).toString(), dir + "/Fotos/");
    EXPECT_EQ(fotos->childCount(), 0) << "a leaf gets no placeholder";
    ASSERT_EQ(viagens->childCount(), 1);
    EXPECT_EQ(viagens->child(0)->text(0), "");

    tree()->collapseItem(node);
    ASSERT_TRUE(expandAndWait(tree(), node));
    EXPECT_EQ(node->childCount(), 2) << "a second expansion adds nothing";

    // Expanded again before its subfolders arrive: one listing, not two.
    QSignalSpy scans(scanner(), &FolderScanner::scanned);
    tree()->expandItem(viagens);
    tree()->collapseItem(viagens);
    tree()->expandItem(viagens);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(scans.count(), 1);
    EXPECT_EQ(childTexts(viagens), (QStringList{"2003"}));
    EXPECT_EQ(viagens->child(0)->data(0, Qt::UserRole).toString(), dir + "/Viagens/2003/");
}

TEST_F(TreeTest, AFolderWhoseExpansionFailedShowsTheClosedPicture) {
    for (const char* folder : {"aberta/dentro", "sumira/dentro", "folha"})
        QDir(dir).mkpath(folder);
    startIdle();
    QTreeWidgetItem* top = addNode(tree(), dir + "/");
    ASSERT_TRUE(expandAndWait(tree(), top));
    ASSERT_EQ(childTexts(top), (QStringList{"aberta", "folha", "sumira"}));
    QTreeWidgetItem* opened = top->child(0);
    QTreeWidgetItem* leaf = top->child(1);
    QTreeWidgetItem* gone = top->child(2);
    const qint64 closedPicture = leaf->icon(0).cacheKey();
    ASSERT_TRUE(expandAndWait(tree(), opened));
    const qint64 openPicture = opened->icon(0).cacheKey();
    ASSERT_NE(openPicture, closedPicture);

    ASSERT_TRUE(QDir(dir + "/sumira").removeRecursively());
    ASSERT_TRUE(expandAndWait(tree(), gone));
    QString title;
    QMessageBox::Icon icon{};
    EXPECT_EQ(takeMessage(&title, &icon), QString::fromUtf8("Dispositivo não disponível!"));
    EXPECT_EQ(title, "Agenda Orlano 0.09");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(gone->childCount(), 0);
    EXPECT_EQ(gone->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass goes with the failure";
    EXPECT_EQ(gone->icon(0).cacheKey(), closedPicture);
    tree()->collapseItem(gone);
    tree()->expandItem(gone);
    EXPECT_TRUE(waitIdle());
    EXPECT_EQ(takeMessage(), "") << "nothing is read again";
    EXPECT_EQ(gone->icon(0).cacheKey(), closedPicture) << "it has nothing to open";
}

TEST_F(TreeTest, TheHourglassGoesWhenTheTreeOrTheWindowGoesMidExpansion) {
    QDir(dir).mkpath("a/b");
    startIdle();
    tree()->expandItem(addNode(tree(), dir + "/"));
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    w->FillDrives();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    tree()->expandItem(addNode(tree(), dir + "/"));
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    w.reset();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TreeTest, KeysAndClicksOpenTheFolderTheyReachAndEnterExpandsIt) {
    write("Fotos/praia.jpg", makers::EncodeJpeg(picture(16, 12)));
    QDir(dir).mkpath("Fotos/2003");
    write("Outra/rio.bmp", makers::EncodeBmp(picture(8, 6)));
    startIdle();
    auto* files = w->findChild<FileListBox*>("File1");
    auto* name = w->findChild<QLabel*>("lblNome");
    const int volumes = tree()->topLevelItemCount();
    QTreeWidgetItem* fotos = addNode(tree(), dir + "/Fotos/");
    QTreeWidgetItem* outra = addNode(tree(), dir + "/Outra/");
    tree()->setCurrentItem(tree()->topLevelItem(volumes - 1));
    name->setText("antigo.jpg");

    QTest::keyClick(tree(), Qt::Key_Down);
    EXPECT_EQ(tree()->currentItem(), fotos);
    EXPECT_EQ(files->path(), dir + "/Fotos");
    EXPECT_EQ(name->text(), "") << "as a click clears the labels";
    QTest::keyClick(tree(), Qt::Key_Down);
    EXPECT_EQ(files->path(), dir + "/Outra");
    QTest::keyClick(tree(), Qt::Key_Up);

    QTest::keyClick(tree(), Qt::Key_Return);
    EXPECT_TRUE(fotos->isExpanded());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(childTexts(fotos), (QStringList{"2003"}));
    EXPECT_EQ(files->path(), dir + "/Fotos");
    EXPECT_FALSE(outra->isExpanded());

    clickNode(outra);
    EXPECT_EQ(files->path(), dir + "/Outra");
    EXPECT_EQ(files->listCount(), 1);
    EXPECT_EQ(ctl<QLabel>("lblPath")->text(), dir + "/Outra")
        << "the thumbnail build leaves the bare folder";
    // Any click in the tree clears the labels, also one on no node.
    name->setText("outro.jpg");
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                      QPoint(5, tree()->viewport()->height() - 3));
    EXPECT_EQ(name->text(), "");
}

TEST_F(TreeTest, AFolderThatOpensButCannotBeReadIsUnavailable) {
    const char* kUnreadable = test::UnreadableFolder();
    if (!kUnreadable)
        GTEST_SKIP() << "no folder here refuses its listing";

    write("p/quadro.bmp", makers::EncodeBmp(picture(8, 6)));
    startIdle();
    auto* files = w->findChild<FileListBox*>("File1");
    ASSERT_TRUE(files->setPath(dir + "/p"));
    QTreeWidgetItem* node = addNode(tree(), QString(kUnreadable) + "/");
    clickNode(node);
    EXPECT_EQ(takeMessage(), QString::fromUtf8("Dispositivo não disponível!"));
    EXPECT_EQ(files->path(), dir + "/p") << "the file list stays as it was";
    EXPECT_EQ(files->listCount(), 1);
}

TEST_F(TreeTest, UnreadableDriveRestoresTheDriveList) {
    start();
    auto* drives = ctl<QComboBox>("Drive1");
    ASSERT_GE(drives->count(), 1);
    ASSERT_EQ(drives->itemData(0).toString(), "/");
    drives->setCurrentIndex(0);
    emit drives->activated(0); // the folder list is now on "/"
    EXPECT_EQ(takeMessage(), "");

    drives->addItem("SUMIU", dir + "/sumiu/");
    drives->setCurrentIndex(drives->count() - 1);
    w->action("ctbimprime")->setEnabled(true);
    emit drives->activated(drives->currentIndex());
    EXPECT_FALSE(ctl<ToolbarButton>("ctbimprime")->isEnabled());
    EXPECT_EQ(takeMessage(), "Erro ao acessar o drive\r\nVerifique a unidade ou o disco");
    EXPECT_EQ(drives->currentData().toString(), "/") << "back to the folder list's volume";
}

TEST_F(TreeTest, FoldersAndFilesWhoseNamesAreNotUtf8OpenToo) {
    const QByteArray raw = QFile::encodeName(dir) + "/f\xe9rias";
    ASSERT_EQ(::mkdir(raw.constData(), 0755), 0);
    const QByteArray bmp = makers::EncodeBmp(picture(8, 6));
    writeRaw(raw + "/praia\xff\xfe.bmp", bmp);
    start();
    QTreeWidgetItem* node = addNode(tree(), dir + "/");
    ASSERT_TRUE(expandAndWait(tree(), node));
    ASSERT_EQ(node->childCount(), 1);
    clickNode(node->child(0));
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(ctl<FileListBox>("File1")->localFolder(), raw);
    ASSERT_EQ(ctl<FileListBox>("File1")->listCount(), 1);
    ASSERT_TRUE(Settled());
    pick(ctl<FileListBox>("File1")->entry(0));
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(ctl<ImageControl>("Image1")->picture().size(), QSize(8, 6));
    EXPECT_EQ(ctl<QLabel>("lbltamanho")->text(), QString::number(bmp.size()) + " bytes");
}
