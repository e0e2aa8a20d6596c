#pragma once
// Which of the main window's commands are enabled. Browsing notes what
// happened (a picture picked and shown, a folder change, a slide show...)
// in a BrowsingState; EnabledCommands turns that into the on/off flag of
// every command. The window only applies the flags to its actions.

#include <array>
#include <cstddef>
#include <string>

#include "shell/kind_rules.h"

namespace fotello {

// The commands, each named in ControlName after the control that shows it.
enum class Command {
    Refresh,    // ctbRefresh
    Slide,      // ctbSlide
    SlideStop,  // ctbSlideF
    Properties, // ctbProps
    Rename,     // ctbRename
    CopyTo,     // ctbCopyTo
    MoveTo,     // ctbMoveTo
    Thumbnails, // ctbClips
    FullScreen, // ctbTela
    Settings,   // ctbTools
    Effects,    // ctbEfeito
    WebPage,    // ClarkTBButton2
    Mail,       // ctbmail
    Zoom,       // ctbpesquisa
    Print,      // ctbimprime
    Help,       // ctbajuda
    Close,      // cmdFechar
    Album,      // button1_0
    Edit,       // button1_1
    Copy,       // button1_2
    Delete,     // button1_3
    Convert,    // button1_4
    ToBmp,      // mnuCBmp
    ToJpg,      // mnuCJpg
    ToIco,      // mnuCIco
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::ToIco) + 1;

const char* ControlName(Command c);

// What browsing has reached, as far as the commands care. The flags that
// outlive a folder change say so.
struct BrowsingState {
    // A picture was picked and shown, and no folder change, refresh or
    // thumbnails view came after it.
    bool pictureShown = false;
    // The kind commands of that picture; nothing decided until its kind is known.
    KindCommands shownKind;
    // The kind commands as the pictures shown so far left them: a metafile or
    // cursor keeps the conversion items of the picture before it.
    KindCommands kindsSoFar;

    bool slideShowRunning = false;
    // A slide show started after the picture was shown: the toolbar's file
    // commands stay off until the next pick (the edit buttons do not).
    bool slideShowSincePick = false;
    // The drive was changed after the picture was shown: print stays off
    // until the next pick.
    bool driveChangedSincePick = false;
    // A pick in a folder other than a volume root has happened; mail stays on.
    bool mailReady = false;

    // The events, in the words of the window.
    void picking(bool inVolumeRoot);              // before the picture is read
    void pictureShownNow();                       // the pick succeeded
    void kindKnown(const std::string& lowerPath); // after pictureShownNow
    void fileCommandsOff();                       // folder change, refresh, thumbnails view
    void driveChanged();
    void slideShowStarted();
    void slideShowStopped();
};

class CommandStates {
public:
    bool operator[](Command c) const { return on_[static_cast<std::size_t>(c)]; }
    void set(Command c, bool on) { on_[static_cast<std::size_t>(c)] = on; }
    bool operator==(const CommandStates&) const = default;

private:
    std::array<bool, kCommandCount> on_{};
};

CommandStates EnabledCommands(const BrowsingState& state);

} // namespace fotello
