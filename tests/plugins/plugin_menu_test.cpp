// The plug-in menu of the main window: what start-up finds, and what a run shows.

#include <filesystem>
#include <thread>
#include <unistd.h>

#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>

#include "../browse/browse_fixture.h"
#include "controls/toolbar_button.h"
#include "plugins/plugin_host.h"

using namespace fotello;
using namespace fotello::test;

namespace {

const QString kProgId = "Plimsol.clsPluginInterface";

QString testPlugin(const char* name) {
    return QString(FOTELLO_TEST_PLUGINS) + "/" + name + ".so";
}

class PluginMenu : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        marker = dir + "/carregado";
        ::setenv("FOTELLO_PLUGIN_MARKER", marker.toLocal8Bit().constData(), 1);
    }
    void TearDown() override {
        ::unsetenv("FOTELLO_PLUGIN_MARKER");
        BrowseFixture::TearDown();
    }
    // A library under the name Plimsol.so in folder.
    static void place(const QString& library, const QString& folder) {
        const std::string target = (folder + "/Plimsol.so").toStdString();
        std::filesystem::copy_file(library.toStdString(), target,
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_EQ(::chmod(target.c_str(), 0644), 0);
    }
    QMenu* menu() { return ctl<QMenu>("mnuAllPlugins"); }
    QStringList captions() {
        QStringList out;
        for (QAction* a : menu()->actions())
            out << a->text();
        return out;
    }
    // Pops the menu up with the "Álbum" button and picks element `index`.
    void choose(int index) {
        QTest::mouseClick(ctl<ToolbarButton>("button1_0"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return menu()->isVisible(); }, kWaitMs));
        QAction* item = ctl<QAction>(QString("mnuPlugin_%1").arg(index));
        QTest::mouseClick(menu(), Qt::LeftButton, {}, menu()->actionGeometry(item).center());
        ASSERT_TRUE(QTest::qWaitFor([this] { return !menu()->isVisible(); }, kWaitMs));
    }
    bool loaded() const { return QFileInfo::exists(marker); }
    bool noMessage() const { return w->findChildren<QMessageBox*>("mensagem").isEmpty(); }

    QString marker;
};

} // namespace

TEST_F(PluginMenu, TheSampleSummarisesTheFolderOnShow) {
    place(QString::fromLocal8Bit(qgetenv("FOTELLO_BIN_DIR")) + "/Plimsol.so", program);
    const QString a = write("fotos/a.bmp", makers::EncodeBmp(picture(40, 30)));
    const QString b = write("fotos/b.JPG", makers::EncodeJpeg(picture(64, 48)));
    write("fotos/notas.txt", "não é imagem");
    write("fotos/.oculta.bmp", makers::EncodeBmp(picture(4, 4)));
    start();
    EXPECT_EQ(captions(), (QStringList{"", "Informações da pasta"}));

    showFolder("fotos");
    const qint64 total = QFileInfo(a).size() + QFileInfo(b).size();
    const QString summary =
        QString("Pasta: %1/fotos\n2 imagens, %2 bytes no total").arg(dir).arg(total);
    choose(1);
    EXPECT_EQ(takeMessage(), summary);
    pick("a.bmp");
    choose(1);
    EXPECT_EQ(takeMessage(),
              summary + QString("\nImagem atual: a.bmp (%1 bytes)").arg(QFileInfo(a).size()));
}

TEST_F(PluginMenu, FailedRunsNameTheProgIdAndTheCause) {
    place(testPlugin("tp_failing"), program);
    start();
    ASSERT_EQ(captions(), (QStringList{"", "Falha"}));
    const QString head = kProgId + " - Erro ao executar PlugIn\r\n";
    choose(1);
    EXPECT_EQ(takeMessage(), head + "Disco cheio");

    // Gone since start-up: the menu stays, the run fails.
    QFile::remove(program + "/Plimsol.so");
    choose(1);
    EXPECT_EQ(takeMessage(), head + "Não foi possível carregar o plug-in");
    EXPECT_EQ(captions(), (QStringList{"", "Falha"}));

    // A tag changed to leave the program's folder loads nothing from there.
    place(testPlugin("tp_quiet"), dir);
    ctl<QAction>("mnuPlugin_1")
        ->setProperty("Tag", "../" + QFileInfo(dir).fileName() + "/" + kProgId);
    choose(1);
    EXPECT_EQ(takeMessage(), ctl<QAction>("mnuPlugin_1")->property("Tag").toString() +
                                 " - Erro ao executar PlugIn\r\nNome de plug-in inválido");
    EXPECT_FALSE(loaded());
}

// The loader's own tests cover unsafe and broken libraries; here, only that
// the window searches the program's folder and never the working one.
TEST_F(PluginMenu, WithoutPlugInsInTheProgramsFolderTheMenuHoldsTheEmptyElementAlone) {
    const QString before = QDir::currentPath();
    place(testPlugin("tp_quiet"), dir);
    ASSERT_TRUE(QDir::setCurrent(dir));
    start();
    QDir::setCurrent(before);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(captions(), QStringList{""});
    EXPECT_FALSE(loaded());
    EXPECT_TRUE(ctl<ToolbarButton>("button1_0")->isEnabled()) << "no picture is needed";
    ctl<QLabel>("lblStat")->setText("antes");
    choose(0);
    EXPECT_TRUE(noMessage());
    EXPECT_EQ(ctl<QLabel>("lblStat")->text(), "antes");
}

TEST_F(PluginMenu, TheHostReadsAndWritesControlsByName) {
    place(testPlugin("tp_properties"), program);
    write("fotos/casa.bmp", makers::EncodeBmp(picture(40, 30)));
    startIn("fotos");
    pick("casa.bmp");
    choose(1);
    // The status text cut to 3 bytes stops before the two of "á".
    EXPECT_EQ(takeMessage(), "nome=casa.bmp/8 escrita=0 status=Ol/11 visivel=0 faltando=-1 "
                             "desconhecida=-1 somente_leitura=-1 numero_ruim=-1 numero=0 "
                             "sem_controle=-1");
    EXPECT_EQ(ctl<QLabel>("lblStat")->text(), "Olá, mundo");
    EXPECT_TRUE(ctl<QLabel>("lblStat")->isHidden());
    EXPECT_EQ(ctl<QScrollBar>("vScroll1")->value(), 70);
    EXPECT_FALSE(ctl<QLabel>("lblStat")->dynamicPropertyNames().contains("naoExiste"));
}

TEST_F(PluginMenu, EmptyTextShowsNoMessageAndTheHostAnswersOnItsOwnThreadOnly) {
    place(testPlugin("tp_quiet"), program);
    start();
    ASSERT_EQ(captions(), (QStringList{"", "Silencioso"}));
    choose(1);
    EXPECT_EQ(ctl<QLabel>("lblStat")->text(), "executado") << "the run happened";
    EXPECT_TRUE(noMessage());

    const PluginHost host(*w);
    const fotello_host& h = host.handle();
    // A dynamic property is written in its own type.
    EXPECT_EQ(h.set_property(&h, "mnuPlugin_1", "Tag", "Outro.clsPluginInterface"), 0);
    EXPECT_EQ(ctl<QAction>("mnuPlugin_1")->property("Tag").toString(), "Outro.clsPluginInterface");
    EXPECT_EQ(h.set_property(&h, "mnuPlugin_1", "index", "um"), -1);
    EXPECT_EQ(ctl<QAction>("mnuPlugin_1")->property("index").toInt(), 1);
    EXPECT_EQ(h.get_property(&h, "mnuPlugin_1", "text", nullptr, 0), 10);
    EXPECT_EQ(h.get_property(&h, nullptr, "text", nullptr, 0), -1);

    std::int64_t read = 0, wrote = 0;
    std::thread([&] {
        read = h.get_property(&h, "mnuPlugin_1", "text", nullptr, 0);
        wrote = h.set_property(&h, "lblStat", "text", "de outra thread");
    }).join();
    EXPECT_EQ(read, -1);
    EXPECT_EQ(wrote, -1);
    EXPECT_NE(ctl<QLabel>("lblStat")->text(), "de outra thread");
}
