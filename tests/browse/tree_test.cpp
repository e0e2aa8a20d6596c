#include <cstdio>
#include <sys/stat.h>

#include <QComboBox>
#include <QTreeWidget>

#include "browse_fixture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "controls/toolbar_button.h"

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

QStringList childTexts(QTreeWidgetItem* node) {
    QStringList out;
    for (int i = 0; i < node->childCount(); ++i)
        out << node->child(i)->text(0);
    return out;
}

} // namespace

class TreeTest : public BrowseFixture {};

TEST_F(TreeTest, VolumesAtTheTopEachWithAPlaceholder) {
    start();
    ASSERT_GE(w->tView->topLevelItemCount(), 1);
    QTreeWidgetItem* root = w->tView->topLevelItem(0);
    EXPECT_EQ(root->data(0, Qt::UserRole).toString(), "/");
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), "");
    EXPECT_FALSE(root->icon(0).isNull());
}

TEST_F(TreeTest, ExpansionListsSubfoldersOnceWithPlaceholdersWhereNeeded) {
    QDir(dir).mkpath("Fotos");
    QDir(dir).mkpath("Viagens/2003");
    QDir(dir).mkpath(".oculta/x");
    write("solto.jpg", makers::EncodeJpeg(picture(8, 8)));
    start();
    QTreeWidgetItem* node = addNode(w->tView, dir + "/");
    w->tView->expandItem(node);
    EXPECT_EQ(childTexts(node), (QStringList{"Fotos", "Viagens"}));
    QTreeWidgetItem* fotos = node->child(0);
    QTreeWidgetItem* viagens = node->child(1);
    EXPECT_EQ(fotos->data(0, Qt::UserRole).toString(), dir + "/Fotos/");
    EXPECT_EQ(fotos->childCount(), 0) << "a leaf gets no placeholder";
    ASSERT_EQ(viagens->childCount(), 1);
    EXPECT_EQ(viagens->child(0)->text(0), "");

    w->tView->collapseItem(node);
    w->tView->expandItem(node);
    EXPECT_EQ(node->childCount(), 2) << "a second expansion adds nothing";

    w->tView->expandItem(viagens);
    EXPECT_EQ(childTexts(viagens), (QStringList{"2003"}));
    EXPECT_EQ(viagens->child(0)->data(0, Qt::UserRole).toString(), dir + "/Viagens/2003/");
}

TEST_F(TreeTest, UnreadableFolderShowsTheDeviceMessageAndLosesItsMark) {
    start();
    QTreeWidgetItem* node = addNode(w->tView, dir + "/sumiu/");
    w->tView->expandItem(node);
    QString title;
    QMessageBox::Icon icon{};
    EXPECT_EQ(takeMessage(&title, &icon), QString::fromUtf8("Dispositivo não disponível!"));
    EXPECT_EQ(title, "Agenda Orlano 0.09");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(node->childCount(), 0);
    EXPECT_EQ(node->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
}

TEST_F(TreeTest, SymlinkLoopsExpandOneLevelAtATime) {
    QDir(dir).mkpath("a");
    ASSERT_TRUE(QFile::link(dir + "/a", dir + "/a/volta"));
    start();
    QTreeWidgetItem* node = addNode(w->tView, dir + "/a/");
    for (int depth = 0; depth < 5; ++depth) {
        w->tView->expandItem(node);
        ASSERT_EQ(node->childCount(), 1);
        node = node->child(0);
    }
    EXPECT_TRUE(node->data(0, Qt::UserRole).toString().endsWith("volta/volta/volta/volta/volta/"));
}

TEST_F(TreeTest, NodeClickPointsTheFileListAndClickClearsTheLabels) {
    write("Fotos/praia.jpg", makers::EncodeJpeg(picture(16, 12)));
    start();
    w->lblNome->setText("antigo.jpg");
    w->lbltamanho->setText("10 bytes");
    w->ctbRename->setEnabled(true);
    QTreeWidgetItem* node = addNode(w->tView, dir + "/Fotos/");
    const QRect r = w->tView->visualItemRect(node);
    QTest::mouseClick(w->tView->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(w->File1->path(), dir + "/Fotos");
    EXPECT_EQ(w->File1->listCount(), 1);
    EXPECT_EQ(w->lblPath->text(), dir + "/Fotos") << "the thumbnail build leaves the bare folder";
    EXPECT_EQ(w->lblNome->text(), "");
    EXPECT_EQ(w->lbltamanho->text(), "");
    EXPECT_FALSE(w->ctbRename->isEnabled()) << "a folder change disables the file commands";

    // Any click in the tree clears them, also one on no node.
    w->lblNome->setText("outro.jpg");
    QTest::mouseClick(w->tView->viewport(), Qt::LeftButton, {},
                      QPoint(5, w->tView->viewport()->height() - 3));
    EXPECT_EQ(w->lblNome->text(), "");
}

TEST_F(TreeTest, UnreadableDriveRestoresTheDriveList) {
    start();
    ASSERT_GE(w->Drive1->count(), 1);
    w->Dir1Path = "/";
    w->Drive1->addItem("SUMIU", dir + "/sumiu/");
    w->Drive1->setCurrentIndex(w->Drive1->count() - 1);
    w->ctbimprime->setEnabled(true);
    w->Drive1_Change();
    EXPECT_FALSE(w->ctbimprime->isEnabled());
    EXPECT_EQ(takeMessage(), "Erro ao acessar o drive\r\nVerifique a unidade ou o disco");
    EXPECT_EQ(w->Drive1->currentData().toString(), "/") << "back to the folder list's volume";

    w->Drive1->setCurrentIndex(0);
    w->Drive1_Change();
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(w->Dir1Path, "/");
}

TEST_F(TreeTest, FoldersWhoseNamesAreNotUtf8OpenToo) {
    const QByteArray raw = QFile::encodeName(dir) + "/f\xe9rias";
    ASSERT_EQ(::mkdir(raw.constData(), 0755), 0);
    const QByteArray bmp = makers::EncodeBmp(picture(8, 6));
    FILE* f = std::fopen((raw + "/praia.bmp").constData(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bmp.constData(), 1, size_t(bmp.size()), f);
    std::fclose(f);
    start();
    QTreeWidgetItem* node = addNode(w->tView, dir + "/");
    w->tView->expandItem(node);
    ASSERT_EQ(node->childCount(), 1);
    w->tView_NodeClick(node->child(0));
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(w->File1->localFolder(), raw);
    ASSERT_EQ(w->File1->listCount(), 1);
    w->File1->setCurrentRow(0);
    w->File1_Click();
    // The picture is read on a worker; the hourglass goes once it is shown.
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::overrideCursor() == nullptr; }, 20000));
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(w->Image1->picture().size(), QSize(8, 6));
}
