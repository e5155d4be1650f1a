// The program as a whole: what ends it unexpectedly, and the order of the
// skin list.
#include <algorithm>
#include <new>
#include <stdexcept>

#include "shell/Program.h"
#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using Names = std::vector<std::string>;
using ProgramTest = SnickitTest;

// Whatever escapes a handler, or the building of the platform, ends the
// program with a message naming it and status 1.
TEST_F(ProgramTest, EveryUnexpectedErrorEndsWithAMessageAndAFailingStatus) {
    const struct { const char* what; std::function<void()> thrower; bool duringBuild; std::string message; } cases[] = {
        {"failure", [] { throw Failure(FailureKind::CannotRead, "C:\\x\\config.sn"); }, false,
         "The file cannot be read: C:\\x\\config.sn"},
        {"no memory", [] { throw std::bad_alloc(); }, false, "Out of memory."},
        {"std::exception", [] { throw std::logic_error("odd"); }, false, "Unexpected error: odd"},
        {"anything else", [] { throw 42; }, false, "Unexpected error."},
        {"no platform", [] { throw std::runtime_error("no display"); }, true, "Unexpected error: no display"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto make = [&]() -> std::unique_ptr<Platform> {
            if (c.duringBuild) c.thrower();
            auto platform = std::make_unique<RecordingPlatform>(folder.path(), 96);
            platform->script.push_back(c.thrower);  // inside the first dispatch, while OK is awaited
            return platform;
        };
        testing::internal::CaptureStderr();
        const int status = RunSnickit(make);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Snickit: " + c.message + "\n");
        EXPECT_EQ(status, 1);
    }
}

// Names sort as the desktop sorts them for people, letter case ignored;
// names equal but for case go by their bytes, whatever order they come in:
// at once into an empty list, or the second part into a list that has the
// first, or sorted all at once (which plain ASCII names do their own quicker
// way); given sorted, and reversed.
TEST_F(ProgramTest, TheSkinListSortsNamesAsPeopleReadThem) {
    const std::vector<Names> orders = {
        {"Abel", "Ábel", "blue", "Émile", "émile", "Zeta", "zeta", "Кот"},
        {"9lives", "a b", "a_b", "abc", "Abcdefgh", "abcdefgh", "abcdefgh1", "ABCDEFGH2", "ABD", "Z", "z"}};
    RecordingPlatform platform(folder.path(), 96);
    for (const Names& sorted : orders) {
        for (int turn = 0; turn < 6; ++turn) {
            Names given = sorted, shown;
            if (turn % 2) std::reverse(given.begin(), given.end());
            ListBox list(platform);
            const auto split = given.begin() + (turn < 2 ? 0 : 5);
            list.AddItems(Names(given.begin(), split));
            list.AddItems(Names(split, given.end()));
            for (int i = 0; i < list.ListCount(); ++i) shown.push_back(list.List(i));
            if (turn >= 4) platform.SortNames(shown = given);
            EXPECT_EQ(shown, sorted) << sorted[0] << " turn " << turn;
        }
    }
}

}  // namespace
}  // namespace snickit::test
