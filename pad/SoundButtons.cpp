// The four sound buttons: a press shows the pressed look, a release plays
// the button's sound and paints the normal look back. The mouse and the
// keypad come through the same two handlers.
#include "pad/WaveCheck.h"
#include "shell/FormMain.h"
#include "skin/SkinPaths.h"

namespace snickit {

namespace {

// A sound file that is missing, unreadable, too large or not a WAV the
// checks accept plays the built-in default sound: a release is always heard.
void PlaySoundFile(Platform& platform, const std::string& path) {
    BinaryFile file = platform.ReadBinaryFile(path, kMaxWaveFileBytes);
    if (file && CheckWave(file.bytes).ok) {
        platform.PlayWave(std::make_shared<const std::vector<unsigned char>>(std::move(file.bytes)));
    } else {
        platform.PlayDefaultSound();
    }
}

}  // namespace

void Form_Main::PaintButton(int index, const PictureBuffer& source) {
    const HotSpot& button = Image_BTN[static_cast<size_t>(index)];
    PixelRect rect{RoundHalfEven(button.Left()), RoundHalfEven(button.Top()), RoundHalfEven(button.Width()),
                   RoundHalfEven(button.Height())};
    window_.CopyFromPicture(source.Picture, rect);
    window_.DispatchPending();
}

void Form_Main::Image_BTN_MouseDown(int index, int, int, float, float) {
    PaintButton(index, Picture_Etat2);
}

// The sound starts before the normal look is painted back; its file is
// named afresh from CurrentSkin and read afresh at every release, so that a
// replaced file is heard at once.
void Form_Main::Image_BTN_MouseUp(int index, int, int, float, float) {
    // A current skin outside the skins folder has no sounds of its own.
    if (StaysInSkinsFolder(CurrentSkin)) {
        PlaySoundFile(platform_, SkinFilePath(programFolder_, CurrentSkin, SoundFileName(index)));
    } else {
        platform_.PlayDefaultSound();
    }
    PaintButton(index, Picture_Etat1);
}

}  // namespace snickit
