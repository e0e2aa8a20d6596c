// The file dialog and the commands on the current file, on real files.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>

#include "../browse/browse_fixture.h"
#include "files/frm_copy_move.h"

using namespace fotello;
using namespace fotello::test;

class FileDialogTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        casa = makers::EncodeBmp(picture(40, 30, Qt::red));
        write("fotos/casa.bmp", casa);
        write("fotos/rua.bmp", makers::EncodeBmp(picture(20, 10, Qt::blue)));
        write("outra/casa.bmp", "already there");
        startIn("fotos");
        pick("casa.bmp");
    }
    void TearDown() override {
        delete FrmCopyMove::Loaded();
        BrowseFixture::TearDown();
    }
    // Runs a command of the main window and returns the dialog it opened.
    FrmCopyMove* command(const char* name) {
        QAction* a = w->action(QString(name));
        EXPECT_TRUE(a && a->isEnabled()) << name;
        if (a)
            a->trigger();
        return FrmCopyMove::Loaded();
    }
    template <class T> T* dlg(const QString& name) {
        return Control<T>(*FrmCopyMove::Loaded(), name);
    }
    // The dialog's last message, closed after reading.
    QString dialogMessage() {
        FrmCopyMove* d = FrmCopyMove::Loaded();
        if (!QTest::qWaitFor([d] { return !d->findChildren<QMessageBox*>("mensagem").isEmpty(); },
                             kWaitMs))
            return {};
        auto boxes = d->findChildren<QMessageBox*>("mensagem");
        const QString text = boxes.last()->text();
        qDeleteAll(boxes);
        return text;
    }
    void act(const QString& target) {
        dlg<QLineEdit>("txtTarget")->setText(target);
        QTest::mouseClick(dlg<QPushButton>("cmdCopy"), Qt::LeftButton);
    }
    // Whether the page is the one in front of its container.
    static bool inFront(QWidget* page) {
        const auto siblings = page->parentWidget()->children();
        for (auto it = siblings.rbegin(); it != siblings.rend(); ++it)
            if (auto* sw = qobject_cast<QWidget*>(*it);
                sw && sw->isVisible() && sw->geometry() == page->geometry())
                return sw == page;
        return false;
    }
    QString at(const QString& name) const { return dir + "/" + name; }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Deletes the current file, answering the question with OK, with the
    // desktop's data folder (and so its trash) at dataHome.
    void confirmDelete(const QString& dataHome) {
        qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
        w->action(QString("button1_3"))->trigger();
        auto* box = w->findChild<QMessageBox*>("mensagem");
        ASSERT_TRUE(box);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        qunsetenv("XDG_DATA_HOME");
    }
    QByteArray casa;
};

TEST_F(FileDialogTest, CopyReplacesTheTargetAndIgnoresBlanks) {
    FrmCopyMove* d = command("ctbCopyTo");
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->windowTitle(), "Copiar Arquivo");
    EXPECT_EQ(dlg<QPushButton>("cmdCopy")->text(), "&Copiar");
    EXPECT_EQ(dlg<QLabel>("LblArquivo")->text(), "casa.bmp");
    EXPECT_EQ(dlg<QLineEdit>("txtSource")->text(), at("fotos/casa.bmp"));
    EXPECT_TRUE(inFront(dlg<QWidget>("Picture1")));

    dlg<QLineEdit>("txtSource")->setText("  " + at("fotos/casa.bmp") + " ");
    act("  " + at("outra/casa.bmp") + "   ");
    EXPECT_EQ(dialogMessage(), "Arquivo Copiado!");
    EXPECT_EQ(Bytes(at("outra/casa.bmp")), casa);
    EXPECT_EQ(Bytes(at("fotos/casa.bmp")), casa);

    act(at("outra")); // a folder is not a target
    EXPECT_EQ(dialogMessage(), QString::fromUtf8("Erro. Impossível copiar arquivo!"));
    EXPECT_TRUE(d->isVisible()) << "the dialog stays for another copy";
}

TEST_F(FileDialogTest, MoveNeverReplacesAndKeepsTheDialogOpen) {
    FrmCopyMove* d = command("ctbMoveTo");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), "Mover Arquivo");
    EXPECT_EQ(dlg<QPushButton>("cmdCopy")->text(), "&Mover");
    act(at("outra/casa.bmp"));
    EXPECT_EQ(dialogMessage(), QString::fromUtf8("Erro. Impossível mover arquivo!"));
    EXPECT_EQ(Bytes(at("outra/casa.bmp")), "already there");
    EXPECT_EQ(Bytes(at("fotos/casa.bmp")), casa);

    act(" " + at("outra/nova.bmp") + " ");
    EXPECT_EQ(dialogMessage(), "Arquivo Movido!");
    EXPECT_EQ(Bytes(at("outra/nova.bmp")), casa);
    EXPECT_FALSE(QFile::exists(at("fotos/casa.bmp")));
    EXPECT_EQ(dlg<QLineEdit>("txtTarget")->text(), " " + at("outra/nova.bmp") + " ");
}

TEST_F(FileDialogTest, ReopeningRetargetsTheSameWindowAndKeepsChangedControls) {
    FrmCopyMove* first = command("ctbCopyTo");
    dlg<QLineEdit>("txtTarget")->setText(at("outra/x.bmp"));
    pick("rua.bmp");
    EXPECT_EQ(command("ctbMoveTo"), first);
    EXPECT_EQ(first->windowTitle(), "Mover Arquivo");
    EXPECT_EQ(dlg<QLineEdit>("txtSource")->text(), at("fotos/rua.bmp"));
    EXPECT_EQ(dlg<QLineEdit>("txtTarget")->text(), at("outra/x.bmp")) << "the target is kept";

    EXPECT_EQ(command("ctbProps"), first);
    EXPECT_FALSE(dlg<QPushButton>("cmdCopy")->isVisible());
    EXPECT_EQ(dlg<QPushButton>("cmdsair_0")->text(), "Ok");
    // A copy opened over the properties page does not bring the button back.
    EXPECT_EQ(command("ctbCopyTo"), first);
    EXPECT_FALSE(dlg<QPushButton>("cmdCopy")->isVisible());
    EXPECT_TRUE(inFront(dlg<QWidget>("Picture1")));

    // Closing discards the dialog; the next one starts from scratch.
    QTest::mouseClick(dlg<QPushButton>("cmdsair_0"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([] { return FrmCopyMove::Loaded() == nullptr; }));
    command("ctbCopyTo");
    EXPECT_TRUE(dlg<QPushButton>("cmdCopy")->isVisible());
    EXPECT_EQ(dlg<QLineEdit>("txtTarget")->text(), "");
}

TEST_F(FileDialogTest, EachCommandClearsTheHintLineAsItStarts) {
    auto* hint = ctl<QLabel>("lblstatus");
    // The last leaves no current file: it comes after the other.
    for (const char* name : {"ctbCopyTo", "ctbRefresh"}) {
        hint->setText("dica"); // the hint of the button under the pointer
        command(name);
        EXPECT_EQ(hint->text(), "") << name;
    }
    EXPECT_TRUE(Settled());
}

TEST_F(FileDialogTest, ControlsKeepTheirProportionsWhenTheDialogIsResized) {
    FrmCopyMove* d = command("ctbCopyTo");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
    // The scaling rule has its own tests; one control shows the dialog follows it.
    const QSize before = d->size();
    auto* target = dlg<QWidget>("txtTarget");
    const QRect was = target->geometry();
    d->resize(before.width() * 2, before.height() * 3 / 2);
    EXPECT_NEAR(target->x(), was.x() * 2, 1);
    EXPECT_NEAR(target->width(), was.width() * 2, 1);
    EXPECT_NEAR(target->y(), was.y() * 1.5, 1);
    EXPECT_NEAR(target->height(), was.height() * 1.5, 1);
    d->resize(before);
    EXPECT_EQ(target->geometry(), was);
    d->resize(before / 2);
    EXPECT_EQ(d->size(), before) << "no smaller than its design";
}

TEST_F(FileDialogTest, TabGoesRoundTheControlsOfThePageInFront) {
    // The chain from the control with the focus back to it.
    auto chain = [](QWidget* from) {
        QStringList names;
        QWidget* at = from;
        do {
            names << at->objectName();
            QTest::keyClick(at, Qt::Key_Tab);
            at = QApplication::focusWidget();
        } while (at && at != from && names.size() < 20);
        return names;
    };
    FrmCopyMove* d = command("ctbMoveTo");
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    QWidget* first = QApplication::focusWidget();
    ASSERT_TRUE(first);
    // Moving starts at the target.
    EXPECT_EQ(chain(first),
              (QStringList{"txtTarget", "txtSource", "cmdProcurar", "cmdCopy", "cmdsair_0"}));
}

TEST_F(FileDialogTest, ClosingTheProgramClosesAnOpenDialogToo) {
    FrmCopyMove* d = command("ctbCopyTo");
    ASSERT_TRUE(d && d->isVisible());
    QTest::mouseClick(ctl<QWidget>("cmdFechar"), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([] { return FrmCopyMove::Loaded() == nullptr; }, kWaitMs));
}

TEST_F(FileDialogTest, FolderPageBuildsTheTargetAndVoltarKeepsIt) {
    FrmCopyMove* d = command("ctbCopyTo");
    dlg<QLineEdit>("txtTarget")->setText("typed");
    QTest::mouseClick(dlg<QPushButton>("cmdProcurar"), Qt::LeftButton);
    EXPECT_TRUE(inFront(dlg<QWidget>("Picture2")));
    QTest::mouseClick(dlg<QPushButton>("cmdVoltar"), Qt::LeftButton);
    EXPECT_TRUE(inFront(dlg<QWidget>("Picture1")));
    EXPECT_EQ(dlg<QLineEdit>("txtTarget")->text(), "typed");

    // A root gets no second separator.
    for (const auto& [folder, target] : {std::pair{at("outra"), at("outra/casa.bmp")},
                                         {at("outra/"), at("outra/casa.bmp")},
                                         {QString("/"), QString("/casa.bmp")}}) {
        QTest::mouseClick(dlg<QPushButton>("cmdProcurar"), Qt::LeftButton);
        d->setDirPath(folder);
        QTest::mouseClick(dlg<QPushButton>("cmdOk"), Qt::LeftButton);
        EXPECT_EQ(dlg<QLineEdit>("txtTarget")->text(), target) << folder.toStdString();
        EXPECT_TRUE(inFront(dlg<QWidget>("Picture1")));
    }
}

TEST_F(FileDialogTest, AVolumeThatCannotBeReadLeavesTheFolderList) {
    FrmCopyMove* d = command("ctbCopyTo");
    auto* drives = dlg<QComboBox>("Drive1");
    ASSERT_GT(drives->count(), 0);
    d->setDirPath(at("outra"));
    const int before = drives->currentIndex();
    drives->addItem("sem disco", at("nenhum/"));
    drives->setCurrentIndex(drives->count() - 1);
    EXPECT_EQ(d->dirPath(), at("outra"));
    EXPECT_EQ(drives->currentIndex(), before);
}

TEST_F(FileDialogTest, RenameRefusesAnExistingNameAndStaysOpen) {
    write("fotos/outro.bmp", "other");
    FrmCopyMove* d = command("ctbRename");
    EXPECT_EQ(d->windowTitle(), "Renomear Arquivo");
    EXPECT_EQ(dlg<QPushButton>("cmdCopy")->text(), "&Renomear");
    EXPECT_EQ(dlg<QLabel>("Label3")->text(), "Renomear para:");
    EXPECT_FALSE(dlg<QScrollBar>("HScroll1")->isVisible());
    auto* text1 = dlg<QLineEdit>("Text1");
    EXPECT_EQ(text1->text(), at("fotos/casa.bmp"));
    EXPECT_EQ(text1->selectedText(), text1->text());

    text1->setText(at("fotos/outro.bmp"));
    QTest::mouseClick(dlg<QPushButton>("cmdCopy"), Qt::LeftButton);
    EXPECT_TRUE(dialogMessage().contains(QString::fromUtf8("já existe")));
    EXPECT_EQ(Bytes(at("fotos/outro.bmp")), "other");
    EXPECT_EQ(Bytes(at("fotos/casa.bmp")), casa);
    EXPECT_TRUE(d->isVisible());

    text1->setText(at("fotos/nova.bmp"));
    QTest::mouseClick(dlg<QPushButton>("cmdCopy"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([] { return FrmCopyMove::Loaded() == nullptr; }));
    EXPECT_EQ(Bytes(at("fotos/nova.bmp")), casa);
    EXPECT_FALSE(QFile::exists(at("fotos/casa.bmp")));
}

TEST_F(FileDialogTest, PropertiesShowSizesAndASmallPictureAtItsOwnSize) {
    command("ctbProps");
    EXPECT_EQ(FrmCopyMove::Loaded()->windowTitle(), "Propriedades do Arquivo");
    EXPECT_TRUE(inFront(dlg<QWidget>("Picture4")));
    EXPECT_EQ(dlg<QLabel>("lblInfo_2")->text(), " 3.56 Kb"); // 3654 bytes
    EXPECT_EQ(dlg<QLabel>("lblInfo_3")->text(), "30 pixels");
    EXPECT_EQ(dlg<QLabel>("lblInfo_4")->text(), "40 pixels");
    EXPECT_EQ(dlg<QLabel>("lblInfo_5")->text(), " 3.56 Kb"); // 54 + 120 x 30 bytes: 3.568 cut
    EXPECT_EQ(dlg<QLabel>("lblcaminho")->text(), at("fotos/casa.bmp"));
    EXPECT_EQ(dlg<QLabel>("Image1")->size(), QSize(40, 30));

    write("fotos/larga.bmp", makers::EncodeBmp(picture(2000, 1000)));
    w->action(QString("ctbRefresh"))->trigger();
    ASSERT_TRUE(Settled());
    pick("larga.bmp");
    command("ctbProps");
    EXPECT_EQ(dlg<QLabel>("Image1")->size(), QSize(81, 40)); // 40.5, half to even
    EXPECT_EQ(dlg<QLabel>("lblInfo_5")->text(), " 5.72 Mb"); // 54 + 6000 x 1000 bytes
}

TEST_F(FileDialogTest, DeleteAsksAndGoesToTheTrashWhereItCanBeRestored) {
    w->action(QString("button1_3"))->trigger();
    auto* box = w->findChild<QMessageBox*>("mensagem");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), QString::fromUtf8("Você quer realmente Excluir esse Arquivo?"));
    EXPECT_EQ(box->windowTitle(), "Excluir Arquivo");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Bytes(at("fotos/casa.bmp")), casa) << "cancelled";
    EXPECT_TRUE(w->action(QString("ctbCopyTo"))->isEnabled());

    const QString data = at("dados");
    ASSERT_NO_FATAL_FAILURE(confirmDelete(data));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the question
    EXPECT_EQ(takeMessage(), "");
    EXPECT_FALSE(QFile::exists(at("fotos/casa.bmp")));
    // The thumbnails view follows: nothing selected, the file commands off.
    EXPECT_FALSE(w->action(QString("ctbCopyTo"))->isEnabled());
    EXPECT_TRUE(w->action(QString("ctbRefresh"))->isEnabled());
    EXPECT_EQ(ctl<QLabel>("lblNome")->text(), "");

    // The desktop's trash knows where it came from.
    const QString trashed = data + "/Trash/files/casa.bmp";
    EXPECT_EQ(Bytes(trashed), casa);
    const QByteArray info = Bytes(data + "/Trash/info/casa.bmp.trashinfo");
    EXPECT_TRUE(info.contains("Path=" + QUrl::toPercentEncoding(at("fotos/casa.bmp"), "/")))
        << info.toStdString();
    ASSERT_TRUE(QFile::rename(trashed, at("fotos/casa.bmp")));
    EXPECT_EQ(Bytes(at("fotos/casa.bmp")), casa);
}

TEST_F(FileDialogTest, ADeleteThatFailsSaysSoAndLeavesTheFile) {
    const QString failed = QString::fromUtf8("Impossível apagar este Arquivo!\r\nVerifique se há "
                                             "algum atributo (Read-Only)");
    // A data folder that cannot be made (under a file): no trash anywhere.
    write("nada", "x");
    const QString work = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(at("outra")));
    confirmDelete(at("nada/dados"));
    QDir::setCurrent(work);
    EXPECT_EQ(takeMessage(), failed);
    EXPECT_EQ(Bytes(at("fotos/casa.bmp")), casa);
    EXPECT_EQ(QDir(at("outra")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"casa.bmp"});

    QFile::remove(at("fotos/casa.bmp")); // gone behind the program's back
    ASSERT_NO_FATAL_FAILURE(confirmDelete(at("dados")));
    EXPECT_EQ(takeMessage(), failed);
}
