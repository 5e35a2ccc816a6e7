// The website window's trumpet under Wine, from the title rule to the sound
// device: the window's behaviour given the home page's title, the real winmm
// sound with no trumpet1.wav to be found, and the clip that this test carries
// the way vantrel.exe carries it. The run's one sound device is an ALSA file
// sink (the .asoundrc in the HOME that ctest gives the test), so what reached
// the output can be read back. Only the browser is a stand-in: no web engine
// runs here to load the page and report its title.
#include "platform/sound.h"
#include "windows/design/recording_website_view.h"
#include "windows/design/website_behaviour.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace vantrel;

// The samples of the trumpet the program carries: the data chunk of its
// RIFF file.
std::string carriedTrumpetSamples()
{
    const HRSRC found = FindResourceW(nullptr, L"trumpet1.wav", L"WAVE");
    if (!found)
        return {};
    const std::string clip(static_cast<const char *>(LockResource(LoadResource(nullptr, found))),
                           SizeofResource(nullptr, found));
    // After "RIFF", its size and "WAVE": chunks of a name, a 32-bit size and
    // the data, padded to an even length.
    for (std::size_t at = 12; at + 8 <= clip.size();) {
        std::uint32_t size = 0;
        for (int byte = 3; byte >= 0; --byte)
            size = size << 8 | static_cast<unsigned char>(clip[at + 4 + static_cast<std::size_t>(byte)]);
        if (clip.compare(at, 4, "data") == 0)
            return clip.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return {};
}

std::string soundOutput()
{
    std::ifstream in(VANTREL_SOUND_SINK, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool silent(std::string::const_iterator from, std::string::const_iterator to)
{
    return std::all_of(from, to, [](char sample) { return sample == 0; });
}

TEST(WebsiteTrumpet, TheHomePagesTitlePlaysTheCarriedTrumpetWhereNoFileIsFound)
{
    const std::string trumpet = carriedTrumpetSamples();
    ASSERT_FALSE(trumpet.empty()) << "no trumpet carried";
    ASSERT_FALSE(silent(trumpet.begin(), trumpet.end()));
    DeleteFileA(VANTREL_SOUND_SINK);

    test::RecordingWebsiteView browser;
    browser.title = u"Morvak\u2122 Homepage Coming Soon...";
    // No data folder, and no trumpet1.wav in the working folder.
    const auto sound = platform::createSound({});
    design::WebsiteBehaviour window(browser, u"res://vantrel.exe/index.html", *sound);
    window.WB1_DocumentComplete();

    // The sound plays in the background, as fast as the device takes it.
    const std::boyer_moore_horspool_searcher clip(trumpet.begin(), trumpet.end());
    std::string played;
    auto found = played.cend();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    do {
        std::this_thread::sleep_for(50ms);
        played = soundOutput();
        found = std::search(played.cbegin(), played.cend(), clip);
    } while (found == played.cend() && std::chrono::steady_clock::now() < deadline);
    ASSERT_TRUE(found != played.cend()) << "the output got " << played.size() << " bytes; the trumpet has "
                                        << trumpet.size();
    // The trumpet alone, not the system's default sound beside it.
    EXPECT_TRUE(silent(played.cbegin(), found));
    EXPECT_TRUE(silent(found + static_cast<std::ptrdiff_t>(trumpet.size()), played.cend()));
}

} // namespace
