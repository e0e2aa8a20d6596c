// Folder tree and drives: volumes at the top, folders listed the first time
// their node is expanded.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTreeWidget>

#include "controls/file_list_box.h"
#include "controls/icons.h"
#include "controls/toolbar_button.h"
#include "platform/paths.h"
#include "platform/volumes.h"
#include "shell/folder_listing.h"
#include "shell/main_window.h"
#include "shell/messages.h"

namespace fotello {

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

} // namespace

void FrmFotello::buildTree() {
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    delete node->takeChild(0);

    const QByteArray parent = localKeyOf(node);
    const auto listing = ListSubfolders(parent.toStdString());
    if (!listing.ok) {
        // The placeholder is gone: the node stays without children and mark.
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        QApplication::restoreOverrideCursor();
        ShowMessage(this, QString::fromUtf8("Dispositivo não disponível!"), QMessageBox::Critical,
                    "Agenda Orlano 0.09");
        return;
    }
    for (const std::string& name : listing.names) {
        const QByteArray key = parent + QByteArray::fromStdString(name) + "/";
        auto* child = new QTreeWidgetItem(node);
        child->setText(0, QFile::decodeName(QByteArray::fromStdString(name)));
        setKey(child, key);
        child->setIcon(0, treeImage(4));
        if (HasSubfolder(key.toStdString())) {
            addPlaceholder(child);
            child->setData(0, kOpenImageRole, 5);
        }
    }
    QApplication::restoreOverrideCursor();
}

void FrmFotello::tView_NodeClick(QTreeWidgetItem* node) {
    if (!node || keyOf(node).isEmpty())
        return;
    if (!File1->setLocalPath(localKeyOf(node)))
        ShowMessage(this, QString::fromUtf8("Dispositivo não disponível!"), QMessageBox::Critical,
                    "Agenda Orlano 0.09");
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
