// Plug-ins of the main window: found at start-up in the program's folder,
// listed in the pop-up menu of the "Álbum" button, run on request.

#include <QAction>
#include <QDir>
#include <QMenu>

#include "controls/file_list_box.h"
#include "controls/toolbar_button.h"
#include "platform/log.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_loader.h"
#include "shell/main_window.h"

namespace fotello {

namespace {

// Code is loaded from the program's own folder only, never from the working
// folder the program was started in: anyone who can drop a file there would
// otherwise run code in the browser.
QString pluginFolder(const QString& programFolder) {
    return QDir::isAbsolutePath(programFolder) ? QDir::cleanPath(programFolder) : QString();
}

} // namespace

void FrmFotello::buildPluginMenu() {
    mnuAllPlugins = new QMenu(this);
    mnuAllPlugins->setObjectName("mnuAllPlugins");
    mnuAllPlugins->setTitle("Go!");
    AddPluginMenuItem(QString(), QString());
    connect(action(Command::Album), &QAction::triggered, this, &FrmFotello::button1_0_Click);
}

void FrmFotello::button1_0_Click() {
    const ToolbarButton* album = button1[0];
    mnuAllPlugins->popup(album->mapToGlobal(album->rect().bottomLeft()));
}

void FrmFotello::DiscoverPlugins() {
    const QString folder = pluginFolder(programFolder_);
    FileListHidden->setPattern(QString::fromLatin1(kPluginPattern));
    if (folder.isEmpty() || !FileListHidden->setPathQuietly(folder))
        return;
    const std::string where = folder.toStdString();
    for (int i = 0; i < FileListHidden->listCount(); ++i) {
        const QString name = FileListHidden->entry(i);
        const std::string progId = PluginProgId(name.toStdString());
        if (progId.empty())
            continue;
        const PluginCall found = IdentifyPlugin(where, progId);
        if (!found.ok()) {
            qCInfo(lcPlugins) << name << "passed over:"
                              << QString::fromStdString(PluginFailureText(found.failure));
            continue;
        }
        AddPluginMenuItem(QString::fromStdString(found.text), QString::fromStdString(progId));
    }
}

void FrmFotello::AddPluginMenuItem(const QString& caption, const QString& progId) {
    const int index = static_cast<int>(mnuPlugin.size());
    auto* item = new QAction(mnuAllPlugins);
    item->setObjectName(QString("mnuPlugin_%1").arg(index));
    item->setProperty("index", index);
    item->setText(caption);
    item->setVisible(true);
    item->setEnabled(true);
    item->setProperty("Tag", progId);
    mnuAllPlugins->addAction(item);
    mnuPlugin.append(item);
    connect(item, &QAction::triggered, this, [this, index] { mnuPlugin_Click(index); });
}

void FrmFotello::mnuPlugin_Click(int index) {
    if (index <= 0 || index >= mnuPlugin.size())
        return;
    RunPlugin(mnuPlugin[index]->property("Tag").toString(), *this);
}

void FrmFotello::RunPlugin(const QString& progId, MainWindowHost& host) {
    const PluginHost handle(host);
    const PluginCall run = RunPluginWith(pluginFolder(programFolder_).toStdString(),
                                         progId.toStdString(), handle.handle());
    if (run.ok()) {
        if (!run.text.empty())
            host.showMessage(QString::fromStdString(run.text));
        return;
    }
    const std::string description = run.failure == PluginFailure::RunFailed && !run.text.empty()
                                        ? run.text
                                        : PluginFailureText(run.failure);
    host.showMessage(progId + " - Erro ao executar PlugIn\r\n" +
                     QString::fromStdString(description));
}

} // namespace fotello
