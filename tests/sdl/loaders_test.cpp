// The SDL backend's picture loader and sound player on hostile files, each
// in a child process that may take no more than 64 MiB beyond what it
// inherits, in address space (a limit) and in memory touched: a picture must
// load or fail as a bad picture (a sound fall back to the default sound)
// within it.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "platform/NativeFilesPlatform.h"
#include "platform/sdl/SdlPicture.h"
#include "platform/sdl/SoundPlayer.h"
#include "skin/BitmapCheck.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {
namespace {

// ThreadSanitizer's shadow memory grows with every byte the program touches:
// the bound is held by the other builds.
#if defined(__SANITIZE_THREAD__)
constexpr long kBoundKb = 4 * 64 * 1024;
#else
constexpr long kBoundKb = 64 * 1024;
#endif

[[maybe_unused]] const int kDummyAudio = setenv("SDL_AUDIODRIVER", "dummy", 1);  // whichever test runs alone

// The exit status of `run` in a child process, or 100 + the signal that
// ended it. The child may take 64 MiB more than it starts with.
int InChild(const std::function<int()>& run) {
    long space = 0, resident = 0;  // in pages, then kilobytes
    std::ifstream("/proc/self/statm") >> space >> resident;
    space *= sysconf(_SC_PAGESIZE) / 1024;
    resident *= sysconf(_SC_PAGESIZE) / 1024;
    const pid_t child = fork();
    if (child == 0) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // they reserve terabytes of address space
        const rlim_t bytes = static_cast<rlim_t>(space + kBoundKb) * 1024;
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
#endif
        [&]() noexcept { _exit(run()); }();  // anything thrown ends it on SIGABRT
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    EXPECT_LT(usage.ru_maxrss - resident, kBoundKb)
        << "kilobytes at the peak beyond the " << resident << " at the start";
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(SdlLoaders, HostilePicturesFailAsBadPicturesWithinTheBound) {
    TempFolder folder;
    std::filesystem::create_directory(folder.root / "Blue");
    mkfifo((folder.path() + "/Blue/fifo.bmp").c_str(), 0600);
    // The program's picture loader over POSIX files and SDL's pictures, as
    // SdlPlatform and the skin checker give them (without a display).
    struct : MediaHost {
        BinaryFile ReadBinaryFile(const std::string& p, size_t max) override { return native::ReadFileBytes(p, max); }
        PictureRef MakePicture(const PicturePixels& pixels) override { return sdl::PictureFromPixels(pixels); }
    } host;
    std::vector<PictureRow> rows = CommonPictureRows();
    rows.push_back({"Blue\\fifo.bmp", "", Code(FailureKind::BadPicture)});
    for (auto& row : rows) {
        if (!row.file.empty()) folder.Write(row.path, row.file);
        if (row.growTo) folder.Grow(row.path, row.growTo);
        row.file = {};
        const std::string path = folder.path() + "\\" + row.path;
        EXPECT_EQ(InChild([&] { return Answer([&] { return LoadPictureFile(host, path); }); }), row.expected)
            << row.path;
    }
}

TEST(SdlLoaders, SoundsSdlCannotPlayWithinTheBoundFallBackToTheDefaultSound) {
    using Started = sdl::SoundPlayer::Started;
    const struct { const char* what; std::string file; Started expected; } rows[] = {
        {"16-bit mono", WavFile({}), Started::Wave},
        // Not checked here: the backend's own bound on the conversion.
        {"1 Hz, 8-bit mono, 20 KB", WavFile({.rate = 1, .bits = 8, .dataBytes = 20000}), Started::DefaultSound},
        // SDL refuses to decode it (as it refuses anything that is not a WAV file).
        {"MS ADPCM without its coefficients", WavFile({.tag = 2, .bits = 4, .blockAlign = 256, .dataBytes = 1024}),
         Started::DefaultSound},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(InChild([&] {
            sdl::SoundPlayer player;
            const auto wave = std::make_shared<const std::vector<unsigned char>>(Bytes(row.file));
            const Started first = player.Play(wave);  // twice: the second comes from the cache
            return first == player.Play(wave) ? static_cast<int>(first) : 99;
        }), static_cast<int>(row.expected)) << row.what;
    }
}

// Sounds started, cut off and parked while the audio thread plays them: the
// unit-tsan suite runs this under ThreadSanitizer, which fails on any access
// to the shared sound outside the device lock.
TEST(SdlLoaders, TheSoundPlayerHandsSoundsToTheAudioThreadUnderItsLock) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
    {
        sdl::SoundPlayer player;
        const auto wave = std::make_shared<const std::vector<unsigned char>>(Bytes(WavFile({.dataBytes = 2000})));
        int parks = 0;
        for (int i = 0; i < 40; ++i) {
            player.Play(i % 4 == 3 ? nullptr : wave);
            SDL_Delay(static_cast<Uint32>(i % 5) * 7);
            // Now and then the sound ends and the device runs idle: park it.
            for (SDL_Event event; i % 8 == 7 ? SDL_WaitEventTimeout(&event, 2000) : SDL_PollEvent(&event);) {
                if (event.type != player.IdleEventType()) continue;
                player.Park();
                ++parks;
                break;
            }
        }
        EXPECT_GE(parks, 5);  // so the device was opened, and went idle
    }
    SDL_Quit();
}

}  // namespace
}  // namespace snickit::test
