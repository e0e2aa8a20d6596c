// Folder tree and drives: volumes at the top, folders listed the first time
// their node is expanded, away from the window so that a folder of thousands
// of subfolders does not freeze it.

#include <functional>
#include <optional>
#include <unordered_map>

#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QPersistentModelIndex>
#include <QTreeWidget>

#include "controls/file_list_box.h"
#include "controls/icons.h"
#include "controls/toolbar_button.h"
#include "platform/paths.h"
#include "platform/volumes.h"
#include "shell/folder_listing.h"
#include "shell/folder_scanner.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/wait_pointer.h"

namespace fotello {

struct TreeState {
    FolderScanner* scanner = nullptr; // a child of the window, deleted first
    // Nodes whose subfolders are being read, by the generation of their scan.
    std::unordered_map<std::uint64_t, QPersistentModelIndex> expanding;
    std::optional<WaitPointer> wait; // while any node is being expanded
};

void TreeStateDeleter::operator()(TreeState* s) const {
    if (!s)
        return;
    delete s->scanner; // waits for the folders being read; drops their answers
    delete s;
}

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kOpenImageRole = Qt::UserRole + 1; // the open-folder picture, when it has one
constexpr int kLocalKeyRole = Qt::UserRole + 2;  // the key as the file system spells it

// The five tree pictures: removable, fixed, CD-ROM, folder, open folder.
const QIcon& treeImage(int index) {
    static const std::array<QIcon, 5> images = [] {
        const QColor grey(85, 87, 83);
        return std::array<QIcon, 5>{
            MakeToolbarPicture("drive-removable-media", "⏏", grey).normal,
            MakeToolbarPicture("drive-harddisk", "▭", grey).normal,
            MakeToolbarPicture("drive-optical", "◎", grey).normal,
            FolderPicture(false),
            FolderPicture(true),
        };
    }();
    return images[static_cast<std::size_t>(index - 1)];
}

int imageOf(VolumeKind k) {
    switch (k) {
    case VolumeKind::Removable:
        return 1;
    case VolumeKind::CdRom:
        return 3;
    case VolumeKind::Fixed:
        break;
    }
    return 2;
}

QString keyOf(const QTreeWidgetItem* node) {
    return node->data(0, kKeyRole).toString();
}

// Folder names need not be UTF-8: the tree keeps each key's own bytes too.
QByteArray localKeyOf(const QTreeWidgetItem* node) {
    const QByteArray local = node->data(0, kLocalKeyRole).toByteArray();
    return local.isEmpty() ? QFile::encodeName(keyOf(node)) : local;
}

void setKey(QTreeWidgetItem* node, const QByteArray& local) {
    node->setData(0, kKeyRole, QFile::decodeName(local));
    node->setData(0, kLocalKeyRole, local);
}

void addPlaceholder(QTreeWidgetItem* node) {
    node->addChild(new QTreeWidgetItem);
}

void showDeviceUnavailable(QWidget* parent) {
    ShowMessage(parent, QString::fromUtf8("Dispositivo não disponível!"), QMessageBox::Critical,
                "Agenda Orlano 0.09");
}

// Keys in the tree do what a click does: a node reached with the keys opens
// its folder, and Enter also expands it.
class TreeKeys : public QObject {
public:
    TreeKeys(QTreeWidget* tree, std::function<void(QTreeWidgetItem*)> open)
        : QObject(tree), open_(std::move(open)), tree_(tree) {
        tree->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != tree_ || e->type() != QEvent::KeyPress || inside_)
            return false;
        auto* key = static_cast<QKeyEvent*>(e);
        QTreeWidgetItem* before = tree_->currentItem();
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && before) {
            tree_->expandItem(before);
            open_(before);
            return true;
        }
        // The tree moves its highlight first; only then is it known where to.
        inside_ = true;
        QCoreApplication::sendEvent(tree_, e);
        inside_ = false;
        QTreeWidgetItem* after = tree_->currentItem();
        if (after && after != before)
            open_(after);
        e->accept(); // the tree's own dispatch already offered it to the parents
        return true;
    }

private:
    std::function<void(QTreeWidgetItem*)> open_;
    QTreeWidget* tree_;
    bool inside_ = false;
};

} // namespace

void FrmFotello::buildTree() {
    treeState_.reset(new TreeState);
    treeState_->scanner = new FolderScanner(this);
    connect(treeState_->scanner, &FolderScanner::scanned, this, &FrmFotello::fillExpandedNode);
    new TreeKeys(tView, [this](QTreeWidgetItem* node) {
        tView_Click();
        tView_NodeClick(node);
    });
    tView->setMouseTracking(true);
    tView->viewport()->installEventFilter(this);
    connect(tView, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        tView_Expand(node);
        if (!node->data(0, kOpenImageRole).isNull())
            node->setIcon(0, treeImage(5));
    });
    connect(tView, &QTreeWidget::itemCollapsed, this, [](QTreeWidgetItem* node) {
        if (!node->data(0, kOpenImageRole).isNull())
            node->setIcon(0, treeImage(4));
    });
    // tView_Click comes from the event filter: any click in the tree.
    connect(tView, &QTreeWidget::itemClicked, this, &FrmFotello::tView_NodeClick);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName("Drive1");
    Drive1->hide();
    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
}

void FrmFotello::FillDrives() {
    // Expansions under way belong to nodes about to go.
    treeState_->scanner->dropAll();
    treeState_->expanding.clear();
    treeState_->wait.reset();
    tView->clear();
    Drive1->clear();
    for (const Volume& v : ListVolumes()) {
        Drive1->addItem(QFile::decodeName(QByteArray::fromStdString(v.text)),
                        QFile::decodeName(QByteArray::fromStdString(v.key)));
        auto* node = new QTreeWidgetItem(tView);
        node->setText(0, QFile::decodeName(QByteArray::fromStdString(v.text)));
        setKey(node, QByteArray::fromStdString(v.key));
        node->setIcon(0, treeImage(imageOf(v.kind)));
        addPlaceholder(node);
    }
}

void FrmFotello::tView_Expand(QTreeWidgetItem* node) {
    if (!node || node->childCount() == 0 || !node->child(0)->text(0).isEmpty())
        return;
    delete node->takeChild(0);
    // The mark stays while the subfolders are read; a second expansion in the
    // meantime finds no placeholder and adds nothing.
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    TreeState& st = *treeState_;
    if (!st.wait)
        st.wait.emplace();
    const std::uint64_t generation = st.scanner->scan(localKeyOf(node));
    st.expanding.emplace(generation, QPersistentModelIndex(tView->indexFromItem(node)));
}

void FrmFotello::fillExpandedNode(const SubfolderScan& scan) {
    TreeState& st = *treeState_;
    const auto pending = st.expanding.find(scan.generation);
    if (pending == st.expanding.end())
        return; // the tree was filled again since
    const QPersistentModelIndex index = pending->second;
    st.expanding.erase(pending);
    if (st.expanding.empty())
        st.wait.reset();
    QTreeWidgetItem* node = index.isValid() ? tView->itemFromIndex(index) : nullptr;
    if (!node)
        return;

    if (!scan.ok) {
        // The placeholder is gone: the node stays without children and mark,
        // and shows the closed picture since it never opened.
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        if (!node->data(0, kOpenImageRole).isNull()) {
            node->setData(0, kOpenImageRole, QVariant());
            node->setIcon(0, treeImage(4));
        }
        showDeviceUnavailable(this);
        revealKey_.clear();
        return;
    }
    const QByteArray parent = localKeyOf(node);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(scan.entries.size()));
    for (const SubfolderEntry& entry : scan.entries) {
        const QByteArray name = QByteArray::fromStdString(entry.name);
        auto* child = new QTreeWidgetItem;
        child->setText(0, QFile::decodeName(name));
        setKey(child, parent + name + "/");
        child->setIcon(0, treeImage(4));
        if (entry.hasSubfolders) {
            addPlaceholder(child);
            child->setData(0, kOpenImageRole, 5);
        }
        children.push_back(child);
    }
    // One insertion for the whole folder.
    node->addChildren(children);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (!revealKey_.isEmpty())
        continueReveal();
}

void FrmFotello::revealInTree(const QByteArray& folderKey) {
    revealKey_ = folderKey;
    continueReveal();
}

void FrmFotello::continueReveal() {
    const QByteArray& target = revealKey_;
    // The volume holding the folder: the longest key it starts with.
    QTreeWidgetItem* node = nullptr;
    for (int i = 0; i < tView->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tView->topLevelItem(i);
        const QByteArray key = localKeyOf(top);
        if (target.startsWith(key) && (!node || key.size() > localKeyOf(node).size()))
            node = top;
    }
    while (node && localKeyOf(node) != target) {
        if (!node->isExpanded())
            tView->expandItem(node); // a first expansion reads the subfolders away from here
        for (const auto& pending : treeState_->expanding)
            if (tView->itemFromIndex(pending.second) == node)
                return; // fillExpandedNode comes back here
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i) {
            QTreeWidgetItem* child = node->child(i);
            const QByteArray key = localKeyOf(child);
            if (!child->text(0).isEmpty() && target.startsWith(key))
                next = child;
        }
        node = next;
    }
    // A folder the tree does not show (a hidden one) leaves its nearest shown
    // parent unselected: the selection names the folder listed or nothing.
    tView->clearSelection();
    if (node) {
        tView->setCurrentItem(node);
        tView->scrollToItem(node);
    }
    revealKey_.clear();
}

void FrmFotello::tView_NodeClick(QTreeWidgetItem* node) {
    if (!node || keyOf(node).isEmpty())
        return;
    revealKey_.clear(); // the user went elsewhere
    if (!File1->setLocalPath(localKeyOf(node)))
        showDeviceUnavailable(this);
}

void FrmFotello::tView_Click() {
    lblNome->setText(QString());
    lbltamanho->setText(QString());
}

void FrmFotello::Drive1_Change() {
    noteDriveChange();
    const QString drive = Drive1->currentData().toString();
    const auto listing = ListSubfolders(QFile::encodeName(drive).toStdString());
    if (listing.ok) {
        Dir1Path = drive;
        return;
    }
    ShowMessage(this,
                QString::fromUtf8("Erro ao acessar o drive\r\nVerifique a unidade ou o disco"));
    // Back to the volume that holds the folder list's path.
    int best = -1, bestLength = -1;
    for (int i = 0; i < Drive1->count(); ++i) {
        const QString key = Drive1->itemData(i).toString();
        if (WithSeparator(Dir1Path.toStdString()).rfind(key.toStdString(), 0) == 0 &&
            key.size() > bestLength) {
            best = i;
            bestLength = static_cast<int>(key.size());
        }
    }
    if (best >= 0)
        Drive1->setCurrentIndex(best);
}

} // namespace fotello
