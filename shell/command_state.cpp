#include "shell/command_state.h"

namespace fotello {

const char* ControlName(Command c) {
    static constexpr std::array<const char*, kCommandCount> names = {
        "ctbRefresh", "ctbSlide",       "ctbSlideF", "ctbProps",    "ctbRename",
        "ctbCopyTo",  "ctbMoveTo",      "ctbClips",  "ctbTela",     "ctbTools",
        "ctbEfeito",  "ClarkTBButton2", "ctbmail",   "ctbpesquisa", "ctbimprime",
        "ctbajuda",   "cmdFechar",      "button1_0", "button1_1",   "button1_2",
        "button1_3",  "button1_4",      "mnuCBmp",   "mnuCJpg",     "mnuCIco",
    };
    return names[static_cast<std::size_t>(c)];
}

void BrowsingState::picking(bool inVolumeRoot) {
    if (!inVolumeRoot)
        mailReady = true;
}

void BrowsingState::pictureShownNow() {
    pictureShown = true;
    shownKind = {};
    slideShowSincePick = false;
    driveChangedSincePick = false;
}

void BrowsingState::kindKnown(const std::string& lowerPath) {
    shownKind = KindCommandsFor(lowerPath);
    auto keep = [](std::optional<bool>& so_far, const std::optional<bool>& now) {
        if (now)
            so_far = now;
    };
    keep(kindsSoFar.toBmp, shownKind.toBmp);
    keep(kindsSoFar.toJpg, shownKind.toJpg);
    keep(kindsSoFar.toIco, shownKind.toIco);
    keep(kindsSoFar.convert, shownKind.convert);
    keep(kindsSoFar.effects, shownKind.effects);
}

void BrowsingState::fileCommandsOff() {
    pictureShown = false;
}

void BrowsingState::driveChanged() {
    driveChangedSincePick = true;
}

void BrowsingState::slideShowStarted() {
    slideShowRunning = true;
    slideShowSincePick = true;
}

void BrowsingState::slideShowStopped() {
    slideShowRunning = false;
}

CommandStates EnabledCommands(const BrowsingState& s) {
    CommandStates on;
    // Never switched off.
    for (Command c : {Command::Slide, Command::SlideStop, Command::Settings, Command::WebPage,
                      Command::Zoom, Command::Help, Command::Close})
        on.set(c, true);

    on.set(Command::Album, !s.slideShowRunning);
    on.set(Command::Refresh, !s.slideShowRunning);
    on.set(Command::Mail, s.mailReady);

    const bool fileCommands = s.pictureShown && !s.slideShowSincePick;
    for (Command c : {Command::Properties, Command::Rename, Command::CopyTo, Command::MoveTo,
                      Command::Thumbnails, Command::FullScreen})
        on.set(c, fileCommands);
    on.set(Command::Print, fileCommands && !s.driveChangedSincePick);

    for (Command c : {Command::Edit, Command::Copy, Command::Delete})
        on.set(c, s.pictureShown);
    on.set(Command::Convert, s.pictureShown && s.shownKind.convert.value_or(true));

    // Items no picture has decided yet keep their first state, on.
    on.set(Command::Effects, s.kindsSoFar.effects.value_or(true));
    on.set(Command::ToBmp, s.kindsSoFar.toBmp.value_or(true));
    on.set(Command::ToJpg, s.kindsSoFar.toJpg.value_or(true));
    on.set(Command::ToIco, s.kindsSoFar.toIco.value_or(true));
    return on;
}

} // namespace fotello
