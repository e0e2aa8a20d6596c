#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "shell/command_state.h"

using namespace fotello;

namespace {

using C = Command;

std::set<Command> onSet(const CommandStates& s) {
    std::set<Command> on;
    for (std::size_t i = 0; i < kCommandCount; ++i)
        if (s[static_cast<Command>(i)])
            on.insert(static_cast<Command>(i));
    return on;
}

std::string names(const std::set<Command>& cs) {
    std::string out;
    for (Command c : cs)
        out += std::string(ControlName(c)) + " ";
    return out;
}

// A picture of the given path picked in an ordinary folder and shown.
BrowsingState shown(const std::string& lowerPath) {
    BrowsingState s;
    s.picking(false);
    s.pictureShownNow();
    s.kindKnown(lowerPath);
    return s;
}

const std::set<Command> kAlwaysOn = {C::Slide, C::SlideStop, C::Settings, C::WebPage,
                                     C::Zoom,  C::Help,      C::Close};
const std::set<Command> kToolbarFile = {C::Properties, C::Rename,     C::CopyTo,
                                        C::MoveTo,     C::Thumbnails, C::FullScreen};

} // namespace

// A pick that then fails to read turns on mail alone.
TEST(CommandState, AtStartOnlyWhatNeedsNoPictureAndAFailedPickOnlyMail) {
    std::set<Command> expected = kAlwaysOn;
    expected.insert({C::Album, C::Refresh, C::Effects, C::ToBmp, C::ToJpg, C::ToIco});
    BrowsingState s;
    EXPECT_EQ(onSet(EnabledCommands(s)), expected) << names(onSet(EnabledCommands(s)));
    s.picking(false);
    expected.insert(C::Mail);
    EXPECT_EQ(onSet(EnabledCommands(s)), expected) << names(onSet(EnabledCommands(s)));

    const BrowsingState before = shown("/f/casa.bmp");
    s = before;
    s.picking(false);
    EXPECT_EQ(EnabledCommands(s), EnabledCommands(before));
}

TEST(CommandState, ControlNamesAreDistinct) {
    std::set<std::string> seen;
    for (std::size_t i = 0; i < kCommandCount; ++i)
        EXPECT_TRUE(seen.insert(ControlName(static_cast<Command>(i))).second)
            << ControlName(static_cast<Command>(i));
}

// Every kind, shown or after a folder change, with or without a slide show.
TEST(CommandState, KindPickedAndSlideShow) {
    const struct {
        const char* path;
        bool convert, effects, toBmp, toJpg, toIco;
    } kinds[] = {
        {"/f/casa.bmp", true, true, false, true, true},
        {"/f/anima.gif", true, false, true, false, false},
        {"/f/farol.jpg", true, true, true, false, false},
        // A metafile (or cursor) first: the conversion items keep their first state.
        {"/f/casa.wmf", false, false, true, true, true},
        // No known kind: everything as the pick left it.
        {"/f/texto.txt", true, true, true, true, true},
    };
    for (const auto& k : kinds)
        for (bool stillPicked : {true, false})
            for (bool slideShow : {false, true}) {
                BrowsingState s = shown(k.path);
                if (!stillPicked)
                    s.fileCommandsOff();
                if (slideShow)
                    s.slideShowStarted();
                const CommandStates on = EnabledCommands(s);
                SCOPED_TRACE(std::string(k.path) + (stillPicked ? " picked" : " folder changed") +
                             (slideShow ? ", slide show" : ""));

                for (Command c : kAlwaysOn)
                    EXPECT_TRUE(on[c]) << ControlName(c);
                EXPECT_TRUE(on[C::Mail]) << "a pick outside a volume root keeps mail on";
                EXPECT_EQ(on[C::Album], !slideShow);
                EXPECT_EQ(on[C::Refresh], !slideShow);
                for (Command c : kToolbarFile)
                    EXPECT_EQ(on[c], stillPicked && !slideShow) << ControlName(c);
                EXPECT_EQ(on[C::Print], stillPicked && !slideShow);
                for (Command c : {C::Edit, C::Copy, C::Delete})
                    EXPECT_EQ(on[c], stillPicked) << ControlName(c) << ": the show leaves it";
                EXPECT_EQ(on[C::Convert], stillPicked && k.convert);
                // The kind's own items outlive the pick.
                const bool kind[] = {on[C::Effects], on[C::ToBmp], on[C::ToJpg], on[C::ToIco]};
                EXPECT_THAT(kind, ::testing::ElementsAre(k.effects, k.toBmp, k.toJpg, k.toIco));
            }
}

TEST(CommandState, MetafileAfterBitmapKeepsTheBitmapsConversionItems) {
    BrowsingState s = shown("/f/casa.bmp");
    s.picking(false);
    s.pictureShownNow();
    s.kindKnown("/f/desenho.wmf");
    const CommandStates on = EnabledCommands(s);
    EXPECT_FALSE(on[C::ToBmp]);
    EXPECT_TRUE(on[C::ToJpg]);
    EXPECT_TRUE(on[C::ToIco]);
    EXPECT_FALSE(on[C::Convert]);
    EXPECT_FALSE(on[C::Effects]);
    EXPECT_TRUE(on[C::Edit]);
    // Convert comes back as the next picture shows, before its kind is known.
    s.pictureShownNow();
    EXPECT_TRUE(EnabledCommands(s)[C::Convert]);

    // A GIF then decides again, and its own effects ban goes with the next JPEG.
    s.kindKnown("/f/anima.gif");
    s.pictureShownNow();
    s.kindKnown("/f/farol.jpg");
    const CommandStates later = EnabledCommands(s);
    EXPECT_TRUE(later[C::ToBmp]);
    EXPECT_FALSE(later[C::ToJpg]);
    EXPECT_TRUE(later[C::Effects]);
    EXPECT_TRUE(later[C::Convert]);
}

TEST(CommandState, MailFollowsTheFirstPickOutsideAVolumeRoot) {
    BrowsingState s;
    s.picking(true);
    EXPECT_FALSE(EnabledCommands(s)[C::Mail]) << "a volume root leaves it off";
    s.picking(false);
    EXPECT_TRUE(EnabledCommands(s)[C::Mail]) << "even before the picture is read";
    s.fileCommandsOff();
    s.driveChanged();
    s.picking(true);
    EXPECT_TRUE(EnabledCommands(s)[C::Mail]) << "nothing switches it off again";
}

TEST(CommandState, DriveChangeTurnsPrintOffUntilTheNextPick) {
    BrowsingState s = shown("/f/casa.bmp");
    const CommandStates before = EnabledCommands(s);
    s.driveChanged();
    CommandStates after = EnabledCommands(s);
    EXPECT_FALSE(after[C::Print]);
    after.set(C::Print, true);
    EXPECT_EQ(after, before) << "only print";

    s.pictureShownNow();
    s.kindKnown("/f/farol.jpg");
    EXPECT_TRUE(EnabledCommands(s)[C::Print]);
}

TEST(CommandState, SlideShowStopLeavesTheToolbarsFileCommandsOff) {
    BrowsingState s = shown("/f/casa.bmp");
    s.slideShowStarted();
    s.slideShowStopped();
    const CommandStates on = EnabledCommands(s);
    EXPECT_TRUE(on[C::Album]);
    EXPECT_TRUE(on[C::Refresh]);
    EXPECT_TRUE(on[C::Slide]);
    for (Command c : kToolbarFile)
        EXPECT_FALSE(on[c]) << ControlName(c);
    EXPECT_FALSE(on[C::Print]);
    for (Command c : {C::Edit, C::Copy, C::Delete, C::Convert})
        EXPECT_TRUE(on[c]) << ControlName(c) << ": start and stop leave it";

    s.pictureShownNow();
    s.kindKnown("/f/casa.bmp");
    EXPECT_EQ(EnabledCommands(s), EnabledCommands(shown("/f/casa.bmp")));
}
