#pragma once
// frmTelaCheia: the current file alone on the screen the main window is on,
// at its natural size and centred; the mouse buttons zoom it, the arrow keys
// move it, Esc closes it.

#include <cstdint>
#include <optional>

#include <QWidget>

#include "shell/wait_pointer.h"
#include "view/zoom_rules.h"

namespace fotello {

class AnimatedPicture;
class ImageControl;
class MainWindowHost;
class PreviewLoader;
struct PreviewPicture;

class FrmTelaCheia : public QWidget {
    Q_OBJECT
public:
    explicit FrmTelaCheia(MainWindowHost& host);
    ~FrmTelaCheia() override;

    // The viewer as it exists now (shown, or created hidden by the settings'
    // apply), null when there is none.
    static FrmTelaCheia* existing();
    // Opens the viewer on the current file: the existing one, else a new one.
    static FrmTelaCheia* Open(MainWindowHost& host);
    // The settings page's apply: the colour goes onto the viewer as it exists,
    // which is created hidden when none is; the next opening after a close
    // starts black again.
    static void ApplyBackColor(MainWindowHost& host, std::uint32_t bgr);

    // Reads the current file (on a worker) and shows it.
    void Form_Load();
    void Form_KeyDown(int key);
    void Image1_MouseUp(Qt::MouseButton button);

    void setBackColor(std::uint32_t bgr);
    // The screen's size in pixels, as the viewer lays out on it.
    QSize screenSize() const { return screen_.size(); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void pictureRead(const PreviewPicture& read);
    void placeOnScreen();

    MainWindowHost& host_;
    ImageControl* Image1 = nullptr;
    AnimatedPicture* mcGif = nullptr;
    PreviewLoader* loader_ = nullptr;
    std::uint64_t generation_ = 0;
    std::optional<WaitPointer> wait_;
    QRect screen_;
    SizeF zoom_;
};

} // namespace fotello
